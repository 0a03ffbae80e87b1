#include "report/schedule.h"

#include <string>

#include "grid/grid.h"
#include "model/rejection.h"
#include "report/column_schedule_sheet.h"
#include "report/fitted_columns.h"
#include "report/worksheets.h"

namespace tierwise {

int64_t Schedule::columnCount() const {
    int64_t columns = 0;
    for (const ColGroup& line : lines) columns += line.nCols;
    return columns;
}

Schedule prepareSchedule(Model& model) {
    makeCube(model);
    return groupSchedule(model);
}

Schedule groupSchedule(const Model& model) {
    Schedule schedule{&model, groupColumns(model)};
    checkSchedule(model, schedule.lines);
    return schedule;
}

void checkTicks(const Schedule& schedule, const LevelTicks& ticks) { checkRanges(*schedule.model, ticks); }

DetailedSchedule detailSchedule(const Schedule& schedule, const LevelTicks& ticks, const DetailOptions& options) {
    checkTicks(schedule, ticks);
    return detailSchedule(*schedule.model, schedule.lines, ticks, options);
}

void writeSchedule(const Schedule& schedule, const LevelTicks& ticks, const DetailedSchedule& detailed,
                   Workbook& book) {
    checkTicks(schedule, ticks);
    constexpr size_t kMaxRows = 1048576;
    if (detailed.marks.size() > kMaxRows - 2) {
        throw Rejection("The column schedule needs " + std::to_string(detailed.marks.size() + 2) +
                        " rows, more than the " + std::to_string(kMaxRows) + " a worksheet holds.");
    }
    FittedColumns fitted(book);
    writeReport(*schedule.model, schedule.lines, ticks, fitted);
    writeColumnSchedule(detailed, fitted);
    fitted.finish();
}

void writeSchedule(const Schedule& schedule, const LevelTicks& ticks, Workbook& book, const DetailOptions& options) {
    writeSchedule(schedule, ticks, detailSchedule(schedule, ticks, options), book);
}

}  // namespace tierwise
