// Where the schedule goes: worksheets of cells addressed by (sheet, row, column), all 1-based.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace tierwise {

// The worksheets of the schedule workbook, numbered from 1 in the order they stand. A new
// worksheet is one entry here (before kSheetEnd) and its writer, called from writeWorkbook.
enum WorksheetNumber : int {
    kSheetPercent = 1,     // steel percentage, then the area of every column of each line
    kSheetMembers,         // the area of every column with its member number
    kSheetRanges,          // the largest area of each line in each storey range
    kSheetColumnSchedule,  // "Column schedule": bars, ties and marks per storey range
    kSheetQuantities,      // "Steel quantities": bars and ties by mark and storey range, in kg
    kSheetEnd
};
inline constexpr int kSheetCount = kSheetEnd - 1;

// What one worksheet holds.
inline constexpr int64_t kWorksheetRows = 1048576;
inline constexpr int64_t kWorksheetColumns = 16384;

// A cell's value: a whole number, a single-precision number as printed in the analysis file, or a text.
using CellValue = std::variant<int32_t, float, std::string>;

// How a worksheet prints: landscape on A4, its heading rows (setHeadingRows) at the top of every
// page and its first `titleColumns` columns at the left of every page. One page wide when that
// stays legible; otherwise across pages, each starting at a block: from `firstBlockColumn` on the
// columns go in blocks of `blockColumns` that no page splits, and the columns before stand alone.
struct PrintSetup {
    int titleColumns = 0;
    int firstBlockColumn = 1;
    int blockColumns = 1;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual void setCell(int sheet, int row, int column, const CellValue& value) = 0;
    // A line of text below a worksheet's table, in its first column: it runs on over the cells to
    // its right and does not make its column wider.
    virtual void setNote(int sheet, int row, const std::string& text) { setCell(sheet, row, 1, text); }

    // Layout, which changes no value; a workbook that keeps values only may ignore it.
    // The worksheet's tab name, given before anything reaches that worksheet or a later one;
    // a worksheet without one keeps the default ("Sheet1").
    virtual void nameSheet(int /*sheet*/, const std::string& /*name*/) {}
    // Rows 1 to `rows` are headings: bold, and kept in view when scrolling. Given before row 1.
    virtual void setHeadingRows(int /*sheet*/, int /*rows*/) {}
    // A column's width in characters of the default font; at any time before the workbook is finished.
    virtual void setColumnWidth(int /*sheet*/, int /*column*/, double /*width*/) {}
    // How the worksheet prints; at any time before the workbook is finished.
    virtual void setPrintSetup(int /*sheet*/, const PrintSetup& /*setup*/) {}
    // The document properties: title and comments (empty: none); at any time before the workbook
    // is finished.
    virtual void describe(const std::string& /*title*/, const std::string& /*comments*/) {}
};

}  // namespace tierwise
