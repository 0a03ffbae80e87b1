#include "report/schedule.h"

#include "grid/grid.h"
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

void writeSchedule(const Schedule& schedule, const LevelTicks& ticks, Workbook& book) {
    checkTicks(schedule, ticks);
    writeReport(*schedule.model, schedule.lines, ticks, book);
}

}  // namespace tierwise
