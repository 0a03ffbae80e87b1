// Column widths that fit their texts, measured as the cells go by.
#pragma once

#include <vector>

#include "report/workbook.h"

namespace tierwise {

// Passes everything on to `book` and notes each column's widest text; finish() then gives every
// column that holds a cell the width of its widest text, within bounds, so that a long list of
// grid references does not make a column wider than the window.
class FittedColumns final : public Workbook {
public:
    static constexpr double kMinWidth = 4;
    static constexpr double kMaxWidth = 60;

    explicit FittedColumns(Workbook& book) : book_(book) {}

    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void setNote(int sheet, int row, const std::string& text) override { book_.setNote(sheet, row, text); }
    void nameSheet(int sheet, const std::string& name) override { book_.nameSheet(sheet, name); }
    void setHeadingRows(int sheet, int rows) override { book_.setHeadingRows(sheet, rows); }
    void setColumnWidth(int sheet, int column, double width) override { book_.setColumnWidth(sheet, column, width); }
    void setPrintSetup(int sheet, const PrintSetup& setup) override { book_.setPrintSetup(sheet, setup); }
    void describe(const std::string& title, const std::string& comments) override { book_.describe(title, comments); }

    void finish();

private:
    Workbook& book_;
    std::vector<std::vector<int>> widest_;  // [sheet][column]: characters, 0 for an empty column
};

// Characters a cell shows: a text's (UTF-8) characters, a number's digits in general format.
int shownWidth(const CellValue& value);

}  // namespace tierwise
