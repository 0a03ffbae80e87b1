// A workbook held in memory: the schedule without a file, for tests, fuzzers and benchmarks.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "report/workbook.h"

namespace tierwise {

class MemoryWorkbook final : public Workbook {
public:
    // Throws std::out_of_range for a sheet other than 1 to kSheetCount or a row or column below 1.
    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void nameSheet(int sheet, const std::string& name) override;
    void setHeadingRows(int sheet, int rows) override;
    void setColumnWidth(int sheet, int column, double width) override;
    void setPrintSetup(int sheet, const PrintSetup& setup) override;
    void describe(const std::string& title, const std::string& comments) override {
        title_ = title;
        comments_ = comments;
    }

    // The cell's value, or nullptr when nothing was written there.
    [[nodiscard]] const CellValue* cell(int sheet, int row, int column) const;
    [[nodiscard]] size_t cellCount() const { return cells_.size(); }

    // Every written cell, one line each, by sheet, row and column:
    //   1,2,4,number,2160.37   1,1,1,text," Node "   1,2,1,integer,1
    [[nodiscard]] std::string dump() const;

    // The layout: empty for an unnamed worksheet, 0 for none, 0 for a column of default width.
    [[nodiscard]] std::string sheetName(int sheet) const;
    [[nodiscard]] int headingRows(int sheet) const;
    [[nodiscard]] double columnWidth(int sheet, int column) const;
    // The worksheet's print setup, or nullptr when none was given.
    [[nodiscard]] const PrintSetup* printSetup(int sheet) const;
    // The document properties.
    [[nodiscard]] const std::string& title() const { return title_; }
    [[nodiscard]] const std::string& comments() const { return comments_; }

private:
    std::map<std::tuple<int, int, int>, CellValue> cells_;
    std::map<int, std::string> names_;
    std::map<int, int> headingRows_;
    std::map<std::pair<int, int>, double> widths_;
    std::map<int, PrintSetup> printSetups_;
    std::string title_, comments_;
};

// "integer", "number" or "text".
const char* cellTypeName(const CellValue& value);
// An integer's digits, a number in general format with up to 7 digits, a text as it is.
std::string cellText(const CellValue& value);

}  // namespace tierwise
