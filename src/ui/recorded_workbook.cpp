#include "ui/recorded_workbook.h"

#include <stdexcept>
#include <string>

namespace tierwise::ui {

void RecordedWorkbook::setCell(int sheet, int row, int column, const CellValue& value) {
    if (sheet < 1 || sheet > kSheetCount || row < 1 || column < 1) {
        throw std::out_of_range("no cell (" + std::to_string(row) + ", " + std::to_string(column) + ") on worksheet " +
                                std::to_string(sheet));
    }
    writes_.push_back(Write{sheet, row, column, value});
}

void RecordedWorkbook::replay(Workbook& book) const {
    for (const Write& write : writes_) book.setCell(write.sheet, write.row, write.column, write.value);
}

}  // namespace tierwise::ui
