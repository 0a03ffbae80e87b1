// groupColumns: the column lines of the schedule, gathered from the plan grid and sorted by section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"

namespace tierwise {

// A column's cross-section in whole millimetres: b <= D; circular when b == 0, D the diameter.
struct Section {
    int b = 0;
    int D = 0;
    [[nodiscard]] bool circular() const { return b == 0; }
    friend bool operator==(const Section&, const Section&) = default;
};

// The section of one design block, rounded to whole millimetres, smaller dimension first; nothing
// for a dimension that is not a 32-bit whole number.
std::optional<Section> columnSection(const DesignBlock& block);

// One designed column of a line: the column that reaches `levelIndex` from below.
struct LineColumn {
    int32_t levelIndex = 0;
    int32_t member = 0;       // its member number, rounded
    int32_t designBlock = 0;  // its entry in Model::designBlocks (0-based): its own section
    float area = 0;           // its required steel area, mm2
};

// A column line: the designed columns standing one above another at one plan position.
struct ColumnLine {
    int32_t node = 0;    // joint at the lowest level of the plan position, 0 where none stands
    int32_t xIndex = 0;  // plan position of the line
    int32_t zIndex = 0;
    Section section;                  // of the lowest column, by which the lines are sorted
    std::vector<LineColumn> columns;  // bottom up, one per designed column; never empty

    // The column with the largest required area, the lowest of several equal ones; nothing when
    // no area is above 0.
    [[nodiscard]] const LineColumn* governing() const;
    // Its area, 0 when there is none.
    [[nodiscard]] float largestArea() const;
    // The area of the column collected at level `levelIndex`, 0 where none was.
    [[nodiscard]] float areaAt(int32_t levelIndex) const;
};

// Gathers the column lines (plan positions by xIndex, then zIndex, columns bottom up, those
// that leftOutColumns names left out) and sorts them by section and largest
// area, keeping plan order among equals. `model` must have been through buildPlanGrid.
// Throws Rejection for a member number or a rounded dimension that is not a 32-bit whole number,
// or a required steel area that is not a finite number.
std::vector<ColumnLine> groupColumns(const Model& model);

// A column of the frame that no column line holds, and why.
enum class LeftOutReason {
    NoDesignResults,  // a vertical member between two grid points with no design block
    NoSection,        // its design block gives a width of 0 or less
    NegativeArea,     // its design block gives a required steel area below 0
    SharesPosition,   // another column reaches the same grid point, with the larger required area
};
struct LeftOutColumn {
    int32_t member = 0;
    int32_t levelIndex = 0;  // the level it reaches from below
    LeftOutReason reason = LeftOutReason::NoDesignResults;
    int32_t kept = 0;  // SharesPosition: the member scheduled there instead
};

// Every column that groupColumns leaves out, plan position by plan position, bottom up; then
// those sharing a grid point (Model::sharedPositions).
std::vector<LeftOutColumn> leftOutColumns(const Model& model);

// One line per reason that `left` holds, with the count and the first few members and the level
// each reaches: "98 columns without design results, left out of the schedule: members 12 (to 3 m), ...".
std::vector<std::string> leftOutWarnings(const Model& model, const std::vector<LeftOutColumn>& left);

// Member number of a design block as the schedule prints it ("101", "7.5").
std::string memberText(const DesignBlock& entry);

}  // namespace tierwise
