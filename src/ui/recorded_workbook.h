// The workbook of a run: made at start-up with its three worksheets, it records every cell that
// the report writes and hands them on, in the same order, to the workbook that is saved on
// "Send To Excel". A run that ends any other way so leaves nothing on disk.
#pragma once

#include <vector>

#include "report/workbook.h"

namespace tierwise::ui {

class RecordedWorkbook final : public Workbook {
public:
    // Throws std::out_of_range for a sheet other than 1 to 3 or a row or column below 1.
    void setCell(int sheet, int row, int column, const CellValue& value) override;

    // Writes every recorded cell into `book`, in the order they were written here.
    void replay(Workbook& book) const;
    [[nodiscard]] bool empty() const { return writes_.empty(); }

private:
    struct Write {
        int sheet;
        int row;
        int column;
        CellValue value;
    };
    std::vector<Write> writes_;
};

}  // namespace tierwise::ui
