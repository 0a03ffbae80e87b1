// The drawing as AutoCAD R12 ASCII DXF: every sheet side by side in one model space, on the
// layers GRID, OUTLINE, BARS, TIES and TEXT. Only the entities the drawing uses are written:
// LINE, POLYLINE (outlines), CIRCLE, TEXT, an INSERT of the filled-disc block BAR per bar, and
// the sheets' symbols as blocks CELL<sheet>_<symbol> inserted on layer OUTLINE where placed (the
// shapes inside keep their own layers).
#pragma once

#include <ostream>
#include <string>

#include "drawing/drawing.h"

namespace tierwise {

// Space between neighbouring sheets in the DXF's model space, mm.
inline constexpr double kDxfSheetGap = 50;

void writeDxf(const Drawing& drawing, std::ostream& out);
std::string dxfText(const Drawing& drawing);

}  // namespace tierwise
