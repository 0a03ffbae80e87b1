#include "ui/recorded_workbook.h"

#include <stdexcept>
#include <string>

namespace tierwise::ui {

namespace {

void checkCell(int sheet, int row, int column) {
    if (sheet < 1 || sheet > kSheetCount || row < 1 || column < 1) {
        throw std::out_of_range("no cell (" + std::to_string(row) + ", " + std::to_string(column) + ") on worksheet " +
                                std::to_string(sheet));
    }
}

}  // namespace

void RecordedWorkbook::setCell(int sheet, int row, int column, const CellValue& value) {
    checkCell(sheet, row, column);
    writes_.push_back(Write{Call::Cell, sheet, row, column, value, 0, {}});
}

void RecordedWorkbook::nameSheet(int sheet, const std::string& name) {
    checkCell(sheet, 1, 1);
    writes_.push_back(Write{Call::Name, sheet, 0, 0, name, 0, {}});
}

void RecordedWorkbook::setHeadingRows(int sheet, int rows) {
    checkCell(sheet, 1, 1);
    writes_.push_back(Write{Call::HeadingRows, sheet, rows, 0, 0, 0, {}});
}

void RecordedWorkbook::setColumnWidth(int sheet, int column, double width) {
    checkCell(sheet, 1, column);
    writes_.push_back(Write{Call::Width, sheet, 0, column, 0, width, {}});
}

void RecordedWorkbook::setPrintSetup(int sheet, const PrintSetup& setup) {
    checkCell(sheet, 1, 1);
    writes_.push_back(Write{Call::Print, sheet, 0, 0, 0, 0, setup});
}

void RecordedWorkbook::replay(Workbook& book) const {
    for (const Write& write : writes_) {
        switch (write.call) {
            case Call::Cell:
                book.setCell(write.sheet, write.row, write.column, write.value);
                break;
            case Call::Name:
                book.nameSheet(write.sheet, std::get<std::string>(write.value));
                break;
            case Call::HeadingRows:
                book.setHeadingRows(write.sheet, write.row);
                break;
            case Call::Width:
                book.setColumnWidth(write.sheet, write.column, write.width);
                break;
            case Call::Print:
                book.setPrintSetup(write.sheet, write.print);
                break;
        }
    }
}

}  // namespace tierwise::ui
