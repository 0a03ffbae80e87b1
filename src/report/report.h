// writeReport: the column schedule, one row per column line on each of three worksheets.
#pragma once

#include <vector>

#include "model/model.h"
#include "report/workbook.h"

namespace tierwise {

// Tick state of the level boxes: element i - 1 is level i (1 = lowest). The lowest and the
// highest level always count as ticked.
using LevelTicks = std::vector<bool>;

// Throws Rejection, before anything is written, for a model the schedule cannot be made from
// (fewer than two levels, a circular section of diameter 0, more rows or columns than a worksheet holds).
void checkReportable(const Model& model);

// Writes the heading row, the storey-range captions and one row per column line into `book`.
// `model` must have been through makeCube; calls checkReportable first.
void writeReport(const Model& model, const LevelTicks& ticks, Workbook& book);

}  // namespace tierwise
