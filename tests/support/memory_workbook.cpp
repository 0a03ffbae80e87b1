#include "support/memory_workbook.h"

#include <stdexcept>

#include "model/numbers.h"

namespace tierwise {

namespace {

void checkCell(int sheet, int row, int column) {
    if (sheet < 1 || sheet > kSheetCount || row < 1 || column < 1) {
        throw std::out_of_range("no cell at sheet " + std::to_string(sheet) + ", row " + std::to_string(row) +
                                ", column " + std::to_string(column));
    }
}

template <class Map, class Key>
auto valueOr(const Map& map, const Key& key, typename Map::mapped_type otherwise) {
    const auto found = map.find(key);
    return found == map.end() ? otherwise : found->second;
}

}  // namespace

void MemoryWorkbook::setCell(int sheet, int row, int column, const CellValue& value) {
    checkCell(sheet, row, column);
    cells_.insert_or_assign({sheet, row, column}, value);
}

void MemoryWorkbook::nameSheet(int sheet, const std::string& name) {
    checkCell(sheet, 1, 1);
    names_.insert_or_assign(sheet, name);
}

void MemoryWorkbook::setHeadingRows(int sheet, int rows) {
    checkCell(sheet, 1, 1);
    headingRows_.insert_or_assign(sheet, rows);
}

void MemoryWorkbook::setColumnWidth(int sheet, int column, double width) {
    checkCell(sheet, 1, column);
    widths_.insert_or_assign({sheet, column}, width);
}

void MemoryWorkbook::setPrintSetup(int sheet, const PrintSetup& setup) {
    checkCell(sheet, 1, 1);
    printSetups_.insert_or_assign(sheet, setup);
}

const PrintSetup* MemoryWorkbook::printSetup(int sheet) const {
    const auto found = printSetups_.find(sheet);
    return found == printSetups_.end() ? nullptr : &found->second;
}

std::string MemoryWorkbook::sheetName(int sheet) const { return valueOr(names_, sheet, std::string()); }
int MemoryWorkbook::headingRows(int sheet) const { return valueOr(headingRows_, sheet, 0); }
double MemoryWorkbook::columnWidth(int sheet, int column) const {
    return valueOr(widths_, std::pair(sheet, column), 0.0);
}

const CellValue* MemoryWorkbook::cell(int sheet, int row, int column) const {
    const auto found = cells_.find({sheet, row, column});
    return found == cells_.end() ? nullptr : &found->second;
}

const char* cellTypeName(const CellValue& value) {
    switch (value.index()) {
        case 0:
            return "integer";
        case 1:
            return "number";
        default:
            return "text";
    }
}

std::string cellText(const CellValue& value) {
    if (const auto* whole = std::get_if<int32_t>(&value)) return std::to_string(*whole);
    if (const auto* number = std::get_if<float>(&value)) return formatSingle(*number);
    return std::get<std::string>(value);
}

std::string MemoryWorkbook::dump() const {
    std::string text;
    for (const auto& [at, value] : cells_) {
        const auto& [sheet, row, column] = at;
        text += std::to_string(sheet) + ',' + std::to_string(row) + ',' + std::to_string(column) + ',' +
                cellTypeName(value) + ',';
        text += std::holds_alternative<std::string>(value) ? '"' + cellText(value) + '"' : cellText(value);
        text += '\n';
    }
    return text;
}

}  // namespace tierwise
