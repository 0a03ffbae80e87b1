// writeReport: the column schedule, one row per column line on each of three worksheets, and the
// column marks with their bars and ties on a fourth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"
#include "report/workbook.h"

namespace tierwise {

struct DetailOptions;

// Tick state of the level boxes: element i - 1 is level i (1 = lowest). The lowest and the
// highest level always count as ticked; levels beyond the end of the vector count as ticked,
// as every box is when the window opens.
using LevelTicks = std::vector<bool>;

// Whether level `levelIndex` (1-based) of `levelCount` levels counts as ticked.
bool levelTicked(const LevelTicks& ticks, int32_t levelIndex, int32_t levelCount);

// Required steel area of the column that reaches level `levelIndex` from below.
struct LevelArea {
    int32_t levelIndex = 0;
    float area = 0;
    int32_t col = 0;  // its colTab entry (1-based): the column's own section
};

// A column line: the designed columns standing one above another at one plan position.
struct ColGroup {
    int32_t node = 0;                // joint at the lowest level of the plan position, 0 where none stands
    int32_t firstCol = 0;            // colTab entry (1-based) of the lowest collected column
    std::vector<int32_t> memb{0};    // [1..nCols] member numbers bottom up; [0] the one with the largest area
    int32_t dimMin = 0;              // smaller dimension of the lowest collected column, rounded
    int32_t dimMax = 0;              // larger dimension of the lowest collected column, rounded
    std::vector<float> area{0};      // [1..nCols] required steel areas bottom up; [0] the largest of them
    std::vector<LevelArea> levelArea;  // one entry per collected column, bottom up; levels without one hold 0
    int32_t nCols = 0;
    int32_t xIndex = 0;  // plan position of the line
    int32_t zIndex = 0;

    // levelArea element y: the area of the column collected at level y, 0 where none was.
    [[nodiscard]] float levelAreaAt(int32_t levelIndex) const;
};

// Gathers the column lines (plan positions by xIndex, then zIndex, columns bottom up, those
// without a design entry or with a width of 0 left out) and sorts them by dimMin, dimMax and
// largest area, keeping plan order among equals. `model` must have been through makeCube.
// Throws Rejection for a member number or a rounded dimension that is not a 32-bit whole number,
// or a required steel area that is not a finite number.
std::vector<ColGroup> groupColumns(const Model& model);

// Steel percentage text of worksheet 1: "2 %", "1.25 %". A section with dimMin above 0 is
// rectangular; otherwise it is circular with diameter dimMax.
std::string steelPercentText(float maxArea, int32_t dimMin, int32_t dimMax);

// Throws Rejection, before anything is written, for a model the schedule cannot be made from
// (a file cut off before its design results, fewer than two levels, a circular section of diameter 0,
// more rows or columns than a worksheet holds).
// The first form counts every level as ticked.
void checkReportable(const Model& model);
void checkReportable(const Model& model, const LevelTicks& ticks);

// Writes the heading row, the storey-range captions and one row per column line into worksheets
// 1 to 3 of `book`, and the column schedule (marks, bars and ties) into worksheet 4; column widths
// fit the texts. `model` must have been through makeCube; calls checkReportable first, and details
// every line before the first cell is written. The first form details with the default options.
void writeReport(const Model& model, const LevelTicks& ticks, Workbook& book);
void writeReport(const Model& model, const LevelTicks& ticks, const DetailOptions& options, Workbook& book);

}  // namespace tierwise
