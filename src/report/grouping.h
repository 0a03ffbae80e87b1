// groupColumns: the column lines of the schedule, gathered from the cube and sorted by section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"

namespace tierwise {

// Required steel area of the column that reaches level `levelIndex` from below.
struct LevelArea {
    int32_t levelIndex = 0;
    float area = 0;
    int32_t col = 0;  // its colTab entry (1-based): the column's own section
};

// A column line: the designed columns standing one above another at one plan position. The
// name, memb, nCols and the 1-based arrays with a summary in element 0 are those of the program
// Tierwise replaces, kept so that a line can be traced back to it.
struct ColGroup {
    int32_t node = 0;              // joint at the lowest level of the plan position, 0 where none stands
    int32_t firstCol = 0;          // colTab entry (1-based) of the lowest collected column
    std::vector<int32_t> memb{0};  // [1..nCols] member numbers bottom up; [0] the one with the largest area
    int32_t dimMin = 0;            // smaller dimension of the lowest collected column, rounded
    int32_t dimMax = 0;            // larger dimension of the lowest collected column, rounded
    std::vector<float> area{0};    // [1..nCols] required steel areas bottom up; [0] the largest of them
    // The collected columns by the level each one reaches, bottom up: one entry per column, so a
    // level that no collected column reaches has no entry (levelAreaAt gives 0 there).
    std::vector<LevelArea> levelArea;
    int32_t nCols = 0;   // number of collected columns
    int32_t xIndex = 0;  // plan position of the line
    int32_t zIndex = 0;

    // The area of the column collected at level `levelIndex`, 0 where none was.
    [[nodiscard]] float levelAreaAt(int32_t levelIndex) const;
};

// Gathers the column lines (plan positions by xIndex, then zIndex, columns bottom up, those
// without a design entry or with a width of 0 left out) and sorts them by dimMin, dimMax and
// largest area, keeping plan order among equals. `model` must have been through makeCube.
// Throws Rejection for a member number or a rounded dimension that is not a 32-bit whole number,
// or a required steel area that is not a finite number.
std::vector<ColGroup> groupColumns(const Model& model);

// Member number of a design block as the schedule prints it ("101", "7.5").
std::string memberText(const ColEntry& entry);

}  // namespace tierwise
