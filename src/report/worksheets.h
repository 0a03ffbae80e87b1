// writeAreaSheets: the required areas, one row per column line on each of worksheets 1 to 3.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"
#include "report/grouping.h"
#include "report/levels.h"
#include "report/workbook.h"

namespace tierwise {

// Steel percentage text of worksheet 1: "2 %", "1.25 %". A section with dimMin above 0 is
// rectangular; otherwise it is circular with diameter dimMax.
std::string steelPercentText(float maxArea, int32_t dimMin, int32_t dimMax);

// Throws Rejection, before anything is written, for a model the schedule cannot be made from:
// a file cut off before its design results, fewer than two levels, a circular section of
// diameter 0, more rows or columns than a worksheet holds.
void checkColumnLines(const Model& model, const std::vector<ColumnLine>& lines);
// Throws Rejection when the ticked levels give more storey ranges than worksheet 3 or the column
// schedule has columns for.
void checkRanges(const Model& model, const LevelTicks& ticks);

// Writes the heading rows, the storey-range captions and one row per column line into `book`,
// every worksheet top down. The checks above must have passed.
void writeAreaSheets(const Model& model, const std::vector<ColumnLine>& lines, const LevelTicks& ticks, Workbook& book);

}  // namespace tierwise
