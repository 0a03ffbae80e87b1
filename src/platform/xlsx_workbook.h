// The schedule as an .xlsx file, written with libxlsxwriter.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/output_set.h"
#include "report/workbook.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tierwise {

// Writes the cells of the worksheets (kSheetCount), each worksheet's rows in ascending order (a
// cell above the row in hand is refused), and finishes the file on commit(). Worksheets are added
// in order when first used (all by commit()), so a name must come before anything reaches that
// worksheet or a later one. The file is one output of an OutputSet (output_set.h), which says how
// it appears complete or not at all; commit() reads the finished workbook back (every part whole,
// every row the library was given on the disk) before the set may put it in place. Without
// commit(), and when interrupted (Ctrl-C), nothing is left behind. Every failure throws
// Rejection naming the target.
class XlsxWorkbook final : public Workbook {
public:
    // A workbook of its own: commit() puts it in place.
    explicit XlsxWorkbook(const std::filesystem::path& target);
    // Output `output` of `outputs`, which must outlive the workbook: commit() finishes it, and
    // the set's commit() puts it in place with the set's other files.
    XlsxWorkbook(OutputSet& outputs, size_t output);
    ~XlsxWorkbook() override;
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void nameSheet(int sheet, const std::string& name) override;
    void setHeadingRows(int sheet, int rows) override;
    void setColumnWidth(int sheet, int column, double width) override;
    void setPrintSetup(int sheet, const PrintSetup& setup) override;
    void describe(const std::string& title, const std::string& comments) override;
    void commit();

private:
    void open();
    [[noreturn]] void fail(const std::string& reason) const;
    void checkRowsWritten(int sheet);
    void checkInterrupt();
    void finishRows();
    void closeRowFiles(bool emptyOnly);
    void checkSheet(int sheet) const;
    void applyPrintSetups();
    // The worksheet, added (with those before it) when first used.
    lxw_worksheet* worksheet(int sheet);

    struct BookDeleter {
        void operator()(lxw_workbook* book) const;
    };
    // Declared first, so that the set ends (and a held interrupt ends the process) only after the
    // library has let go of its files.
    std::unique_ptr<OutputSet> own_;  // for a workbook of its own
    OutputSet& outputs_;
    size_t output_ = 0;
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
    std::array<std::vector<double>, kSheetCount> widths_{};  // per worksheet, [0] column 1; 0 = default width
    std::array<int, kSheetCount> lastColumn_{};              // per worksheet: the rightmost column written
    std::array<std::optional<PrintSetup>, kSheetCount> printSetups_{};
    std::array<int, kSheetCount> rowInHand_{};     // per worksheet: the row written last, 0 = none yet
    std::array<int64_t, kSheetCount> rowBytes_{};  // per worksheet: bytes of rows on the disk
    int64_t cellsSinceInterruptCheck_ = 0;
};

// How a worksheet prints on A4 landscape: fitted to one page wide (scale 0) when it holds at
// kLegiblePrintScale per cent, otherwise at that scale with a page starting at each of
// `pageStarts` (1-based columns, each the first of a block, at most what a worksheet allows).
struct PrintPages {
    int scale = 0;
    std::vector<int> pageStarts;
};
inline constexpr int kLegiblePrintScale = 55;  // 11 pt text prints at 6 pt
// `widths` are the used columns' widths in characters of the default font, [0] for column 1.
PrintPages printPages(std::span<const double> widths, const PrintSetup& setup);

// The number a single-precision value shows in a cell: the double nearest to its general-format
// text of up to 7 significant digits, so that 1080.37f reads 1080.37 and not 1080.369995117188.
double cellNumber(float value);

}  // namespace tierwise
