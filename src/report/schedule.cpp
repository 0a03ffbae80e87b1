#include "report/schedule.h"

#include <string>

#include "grid/grid.h"
#include "model/rejection.h"
#include "report/column_schedule_sheet.h"
#include "report/fitted_columns.h"
#include "report/quantities_sheet.h"
#include "report/notes.h"
#include "report/worksheets.h"

namespace tierwise {

int64_t ColumnLines::columnCount() const {
    int64_t columns = 0;
    for (const ColumnLine& line : lines) columns += static_cast<int64_t>(line.columns.size());
    return columns;
}

ColumnLines prepareColumnLines(Model& model) {
    buildPlanGrid(model);
    return groupColumnLines(model);
}

ColumnLines groupColumnLines(const Model& model) {
    ColumnLines schedule{&model, groupColumns(model)};
    checkColumnLines(model, schedule.lines);
    return schedule;
}

void checkTicks(const ColumnLines& schedule, const LevelTicks& ticks) { checkRanges(*schedule.model, ticks); }

ColumnDetailing detailColumns(const ColumnLines& schedule, const LevelTicks& ticks, const DetailOptions& options) {
    checkTicks(schedule, ticks);
    return detailColumns(*schedule.model, schedule.lines, ticks, options);
}

void writeWorkbook(const ColumnLines& schedule, const LevelTicks& ticks, const ColumnDetailing& detailed,
                   Workbook& book) {
    checkTicks(schedule, ticks);
    const std::vector<std::string> notes = scheduleNotes(*schedule.model, schedule.lines, detailed);
    const int64_t rows =
        columnScheduleRows(static_cast<int64_t>(detailed.marks.size())) + 2 + static_cast<int64_t>(notes.size());
    if (rows > kWorksheetRows) {
        throw Rejection("The column schedule needs " + std::to_string(rows) + " rows, more than the " +
                        std::to_string(kWorksheetRows) + " a worksheet holds.");
    }
    book.describe(kColumnScheduleName,
                  fromIncompleteFile(*schedule.model) ? std::string("Made ") + kIncompleteFileText : std::string());
    FittedColumns fitted(book);
    writeAreaSheets(*schedule.model, schedule.lines, ticks, fitted);
    writeColumnScheduleSheet(detailed, fitted);
    writeColumnScheduleNotes(detailed.marks.size(), notes, fitted);
    writeQuantitiesSheet(detailed, steelQuantities(*schedule.model, schedule.lines, detailed), fitted);
    fitted.finish();
}

void writeWorkbook(const ColumnLines& schedule, const LevelTicks& ticks, Workbook& book, const DetailOptions& options) {
    writeWorkbook(schedule, ticks, detailColumns(schedule, ticks, options), book);
}

}  // namespace tierwise
