// The schedule as an .xlsx file, written with libxlsxwriter.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "report/workbook.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tierwise {

// Writes the cells of four worksheets, each worksheet's rows in ascending order (a cell above
// the row in hand is refused), and finishes the file on commit(). Worksheets are added in order
// when first used (all four by commit()), so a name must come before anything reaches that
// worksheet or a later one. The file appears
// complete or not at all: the workbook goes to a temporary file in the target's folder, which
// replaces the target only once it is fully written. Without commit() nothing is left behind.
// Every failure throws Rejection naming the target file.
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
    void discardTemporary();
    void checkSheet(int sheet) const;
    // The worksheet, added (with those before it) when first used.
    lxw_worksheet* worksheet(int sheet);

    struct BookDeleter {
        void operator()(lxw_workbook* book) const;
    };
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::unique_ptr<lxw_workbook, BookDeleter> book_;
    // Owned by the workbook. Whole numbers (nodes, serial numbers, counts) are centred, so that
    // they do not run into the text of the next column.
    lxw_format* bold_ = nullptr;
    lxw_format* centred_ = nullptr;
    lxw_format* boldCentred_ = nullptr;
    std::array<lxw_worksheet*, kSheetCount> sheets_{};
    std::array<std::string, kSheetCount> names_{};   // empty: the default name
    std::array<int, kSheetCount> headingRows_{};
    std::array<int, kSheetCount> rowInHand_{};  // per worksheet: the row written last, 0 = none yet
    bool committed_ = false;
};

// The number a single-precision value shows in a cell: the double nearest to its general-format
// text of up to 7 significant digits, so that 1080.37f reads 1080.37 and not 1080.369995117188.
double cellNumber(float value);

}  // namespace tierwise
