// The building's grid lines on plan, and every column position with its outline: the grid the
// schedule's references, the layout plan and its dimensions all use.
//
// Grid lines come from every column position of the model (every vertical member, designed or
// not). Positions within the plan tolerance of a line's first position share that line, which
// stands where most of its columns stand. A line carrying at least two columns is named (letters
// along X skipping I and O, numbers along Z); a column on no named line is referred to by its
// coordinates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"

namespace tierwise {

// Column positions within this of each other along X (or Z) stand on one grid line, mm.
inline constexpr int32_t kPlanToleranceMm = 50;
// Columns a line must carry to be lettered or numbered.
inline constexpr int32_t kNamedLineColumns = 2;

struct GridLine {
    int32_t at = 0;    // cm, as Model holds X or Z after buildPlanGrid
    std::string name;  // "A", "J", "AA" along X; "1", "2" along Z
};

// The named grid lines, each axis ascending.
struct GridAxes {
    std::vector<GridLine> x, z;
};

// A plan position holding a vertical member, with the outline of its lowest column.
struct ColumnPosition {
    int32_t xIndex = 0;  // plan position, as PlanLine
    int32_t zIndex = 0;
    int32_t member = 0;       // the lowest column's member
    int32_t designBlock = 0;  // its designBlocks entry (1-based), 0 without design results
    // Outline in mm: along global X and along global Z; a round column's diameter in both. 0 where
    // neither a design block nor the member property echo gives the section.
    double alongX = 0;
    double alongZ = 0;
    bool circular = false;
};

// Every plan position holding a vertical member, in planLines order. A design block's first
// printed dimension runs along Z and its second along X (the BETA 90 exchange is already made);
// the echo's YD runs along X and ZD along Z, exchanged for a member listed an odd number of
// times under BETA 90. `model` must have been through buildPlanGrid.
std::vector<ColumnPosition> columnPositions(const Model& model);

// The named grid lines of `positions`.
GridAxes gridAxes(const Model& model, const std::vector<ColumnPosition>& positions);

// The named line `value` (cm) stands on, within the plan tolerance, or nothing.
std::optional<size_t> lineAt(const std::vector<GridLine>& axis, int32_t value);

// The reference of plan position (xIndex, zIndex): "B-3"; a coordinate in metres, as the file
// gives it, for an axis with no named line there: "(X 3.5)-3", "B-(Z 12.35)", "(X 3.5 Z 12.35)"; no comma, which
// separates the references of a list.
std::string gridReference(const Model& model, const GridAxes& axes, int32_t xIndex, int32_t zIndex);

// Grid line letters, I and O skipped: 1 gives "A", 8 "H", 9 "J", 24 "Z", 25 "AA", 26 "AB".
std::string gridLetters(int index);

}  // namespace tierwise
