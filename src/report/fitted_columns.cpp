#include "report/fitted_columns.h"

#include <algorithm>
#include <charconv>

namespace tierwise {

int shownWidth(const CellValue& value) {
    char text[32];
    if (const auto* whole = std::get_if<int32_t>(&value)) {
        return static_cast<int>(std::to_chars(text, text + sizeof text, *whole).ptr - text);
    }
    if (const auto* number = std::get_if<float>(&value)) {
        return static_cast<int>(std::to_chars(text, text + sizeof text, *number, std::chars_format::general, 7).ptr -
                                text);
    }
    const auto* string = std::get_if<std::string>(&value);
    if (string == nullptr) return 0;
    // Continuation bytes of UTF-8 (10xxxxxx) add no character.
    return static_cast<int>(std::count_if(string->begin(), string->end(),
                                          [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }));
}

void FittedColumns::setCell(int sheet, int row, int column, const CellValue& value) {
    book_.setCell(sheet, row, column, value);
    if (sheet < 1 || column < 1) return;  // the book has refused it already
    if (widest_.size() <= static_cast<size_t>(sheet)) widest_.resize(static_cast<size_t>(sheet) + 1);
    std::vector<int>& columns = widest_[static_cast<size_t>(sheet)];
    if (columns.size() <= static_cast<size_t>(column)) columns.resize(static_cast<size_t>(column) + 1, 0);
    int& widest = columns[static_cast<size_t>(column)];
    widest = std::max(widest, shownWidth(value));
}

void FittedColumns::finish() {
    for (size_t sheet = 1; sheet < widest_.size(); ++sheet) {
        for (size_t column = 1; column < widest_[sheet].size(); ++column) {
            const int widest = widest_[sheet][column];
            // Two characters of margin: bold headings run a little wider.
            if (widest > 0) {
                book_.setColumnWidth(static_cast<int>(sheet), static_cast<int>(column),
                                     std::clamp(widest + 2.0, kMinWidth, kMaxWidth));
            }
        }
    }
}

}  // namespace tierwise
