// The road from a read model to the written schedule. The window and tierwise-batch both take it,
// so they cannot disagree: buildPlanGrid, the column lines grouped and sorted once, the checks, then
// for the levels the engineer ticked the detailing (bars, ties, marks) and the worksheets.
//
// Four things are easily called "the schedule"; each has a name of its own:
//   ColumnLines       the column lines of a model, found once (this header)
//   ColumnDetailing   bars, ties and marks of every line in every storey range (report/detailing.h)
//   worksheet 4       "Column schedule", written from a ColumnDetailing (report/column_schedule_sheet.h)
//   schedule drawing  the sheets drawn from a ColumnDetailing (drawing/schedule_drawing.h)
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"
#include "report/detailing.h"
#include "report/grouping.h"
#include "report/levels.h"
#include "report/workbook.h"

namespace tierwise {

// A model made ready for its schedule: the column lines do not depend on the ticks, so they are
// found once, however often the workbook or the drawing is written.
struct ColumnLines {
    const Model* model = nullptr;   // the model the lines were gathered from; it must outlive the schedule
    std::vector<ColumnLine> lines;  // column lines in schedule order

    // The number of collected columns over all lines.
    [[nodiscard]] int64_t columnCount() const;
};

// buildPlanGrid, then groupColumnLines. Throws Rejection for a model no schedule can be made from.
ColumnLines prepareColumnLines(Model& model);

// The column lines of a model that has been through buildPlanGrid, checked. Throws Rejection.
ColumnLines groupColumnLines(const Model& model);

// Throws Rejection when `ticks` give more storey ranges than a worksheet holds.
void checkTicks(const ColumnLines& schedule, const LevelTicks& ticks);

// checkTicks, then every line detailed in every storey range of `ticks`: what worksheet 4 shows,
// and what a drawing of the schedule is made from.
ColumnDetailing detailColumns(const ColumnLines& schedule, const LevelTicks& ticks, const DetailOptions& options);

// Every worksheet into `book`: the area worksheets 1 to 3 and the column schedule from `detailed`
// (made by detailColumns for the same ticks), with bold, frozen heading rows and column widths
// that fit their texts. Throws Rejection before the first cell when the column schedule has more
// rows than a worksheet holds.
void writeWorkbook(const ColumnLines& schedule, const LevelTicks& ticks, const ColumnDetailing& detailed,
                   Workbook& book);
// detailColumns with `options`, then the above.
void writeWorkbook(const ColumnLines& schedule, const LevelTicks& ticks, Workbook& book,
                   const DetailOptions& options = {});

}  // namespace tierwise
