// Where the schedule goes: worksheets of cells addressed by (sheet, row, column), all 1-based.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace tierwise {

// The number of worksheets of the schedule workbook.
constexpr int kSheetCount = 3;

// A cell's value: a whole number, a single-precision number as printed in the analysis file, or a text.
using CellValue = std::variant<int32_t, float, std::string>;

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual void setCell(int sheet, int row, int column, const CellValue& value) = 0;
};

}  // namespace tierwise
