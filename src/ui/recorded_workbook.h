// The workbook of a run: made at start-up with its worksheets, it records every cell and
// every layout call that the report makes and hands them on, in the same order, to the workbook
// that is saved on "Send To Excel". A run that ends any other way so leaves nothing on disk.
#pragma once

#include <string>
#include <vector>

#include "report/workbook.h"

namespace tierwise::ui {

class RecordedWorkbook final : public Workbook {
public:
    // Throws std::out_of_range for a sheet other than 1 to kSheetCount or a row or column below 1.
    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void nameSheet(int sheet, const std::string& name) override;
    void setHeadingRows(int sheet, int rows) override;
    void setColumnWidth(int sheet, int column, double width) override;
    void setPrintSetup(int sheet, const PrintSetup& setup) override;

    // Makes every recorded call on `book`, in the order they were made here.
    void replay(Workbook& book) const;
    [[nodiscard]] bool empty() const { return writes_.empty(); }

private:
    enum class Call { Cell, Name, HeadingRows, Width, Print };
    struct Write {
        Call call;
        int sheet;
        int row;           // Cell; the heading rows for HeadingRows
        int column;        // Cell, Width
        CellValue value;   // Cell; the name for Name
        double width;      // Width
        PrintSetup print;  // Print
    };
    std::vector<Write> writes_;
};

}  // namespace tierwise::ui
