// Worksheet 4, "Column schedule": one row per column mark, three cells per storey range.
#pragma once

#include <string>
#include <vector>

#include "report/detailing.h"
#include "report/workbook.h"

namespace tierwise {

inline constexpr const char* kColumnScheduleName = "Column schedule";

// Columns the worksheet needs for `ranges` storey ranges, and rows for `marks` column marks.
int64_t columnScheduleColumns(int64_t ranges);
int64_t columnScheduleRows(int64_t marks);

// Row 1: "Mark", "Grid", "Lines", then each range's caption over its three columns; row 2:
// "Size", "Bars", "Ties" under each range; from row 3 one row per mark, in mark order.
void writeColumnScheduleSheet(const ColumnDetailing& schedule, Workbook& book);

// The grid references joined by ", ", shortened to `limit` characters (by default what a cell
// holds) with a count of those left out.
std::string joinedRefs(const std::vector<std::string>& refs, size_t limit = 32767);

}  // namespace tierwise
