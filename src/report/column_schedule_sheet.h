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

// Row 1: "Mark", "Grid", "Lines", then each range's caption over its three columns; row 2: the
// rules used under Mark (rulesText: "IS 456:2000"),
// "Size", "Bars", "Ties" under each range; from row 3 one row per mark, in mark order; the notes
// follow (writeColumnScheduleNotes).
void writeColumnScheduleSheet(const ColumnDetailing& schedule, Workbook& book);

// The notes (report/notes.h) below the table after one empty row, in the first column: "Notes",
// then "1. ...", one note a row. Written past the column widths' fitting, so that a long note
// does not widen the Mark column.
void writeColumnScheduleNotes(size_t marks, const std::vector<std::string>& notes, Workbook& book);

// A cell's Bars text, with the heights whose columns have no design results: "8 - 20 dia (1.86 %);
// 6 to 9 m: no design results".
std::string cellBarsText(const RangeDetail& detail);

// The grid references joined by ", ", shortened to `limit` characters (by default what a cell
// holds) with a count of those left out.
std::string joinedRefs(const std::vector<std::string>& refs, size_t limit = 32767);

}  // namespace tierwise
