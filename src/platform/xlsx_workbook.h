// The schedule as an .xlsx file, written with libxlsxwriter.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_safety.h"
#include "report/workbook.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tierwise {

// Writes the cells of four worksheets, each worksheet's rows in ascending order (a cell above
// the row in hand is refused), and finishes the file on commit(). Worksheets are added in order
// when first used (all four by commit()), so a name must come before anything reaches that
// worksheet or a later one. The file appears complete or not at all: the workbook goes to a
// temporary file in the target's folder, is read back (every part whole, every row the library
// was given on the disk), flushed to the disk, and only then replaces the target, keeping the
// target's permissions. Without commit(), and when interrupted (Ctrl-C), nothing is left behind.
//
// A target that is a symbolic link is followed: the file it names is replaced, the link stays.
// A target that exists and is not a regular file (a folder, a device such as /dev/null, a pipe)
// is refused before anything is written. Every failure throws Rejection naming the target.
class XlsxWorkbook final : public Workbook {
public:
    explicit XlsxWorkbook(std::filesystem::path target);
    ~XlsxWorkbook() override;
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void nameSheet(int sheet, const std::string& name) override;
    void setHeadingRows(int sheet, int rows) override;
    void setColumnWidth(int sheet, int column, double width) override;
    void commit();

private:
    [[noreturn]] void fail(const std::string& reason) const;
    void checkRowsWritten(int sheet);
    void checkInterrupt();
    void finishRows();
    void discardTemporary();
    void closeRowFiles(bool emptyOnly);
    void checkSheet(int sheet) const;
    // The worksheet, added (with those before it) when first used.
    lxw_worksheet* worksheet(int sheet);

    struct BookDeleter {
        void operator()(lxw_workbook* book) const;
    };
    // Declared first, so that a held interrupt ends the process only after the rest is cleaned up.
    InterruptHold interrupts_;
    std::filesystem::path target_;  // as named, for messages
    std::filesystem::path file_;    // the file replaced: the target, its links followed
    std::filesystem::path temporary_;
    std::unique_ptr<lxw_workbook, BookDeleter> book_;
    // Owned by the workbook. Whole numbers (nodes, serial numbers, counts) are centred, so that
    // they do not run into the text of the next column.
    lxw_format* bold_ = nullptr;
    lxw_format* centred_ = nullptr;
    lxw_format* boldCentred_ = nullptr;
    std::array<lxw_worksheet*, kSheetCount> sheets_{};
    std::array<std::string, kSheetCount> names_{};  // empty: the default name
    std::array<int, kSheetCount> headingRows_{};
    std::array<int, kSheetCount> rowInHand_{};     // per worksheet: the row written last, 0 = none yet
    std::array<int64_t, kSheetCount> rowBytes_{};  // per worksheet: bytes of rows on the disk
    int64_t cellsSinceInterruptCheck_ = 0;
    bool committed_ = false;
};

// The number a single-precision value shows in a cell: the double nearest to its general-format
// text of up to 7 significant digits, so that 1080.37f reads 1080.37 and not 1080.369995117188.
double cellNumber(float value);

// The file a path names once symbolic links are followed (the last link's target need not
// exist yet); the path itself when it is no link. Throws Rejection for a loop of links.
std::filesystem::path followLinks(const std::filesystem::path& path);

}  // namespace tierwise
