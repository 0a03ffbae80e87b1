// A column's cross-section as it is drawn in a schedule cell: the concrete outline, the tie, its
// crossties and the longitudinal bars where the arrangement places them.
#pragma once

#include <vector>

#include "drawing/drawing.h"
#include "report/detailing.h"
#include "report/ties.h"

namespace tierwise {

// Bar centres in the section's own millimetres, origin at the section's centre, x along b and
// y along D. Rectangular: the four corner bars first, cover + phi/2 from both faces, then `a` bars
// evenly between the corners on each short face (bottom, then top) and `d` on each long face
// (left, then right). Circular: `count` bars evenly on a circle of diameter D - 2 cover - phi,
// the first at the top.
std::vector<Point> barCentres(const Section& section, const BarArrangement& bars, double cover);

// Draws `section` centred at `centre`, `scale` paper mm to a section mm, its larger side D across
// the sheet and b up it: the outline, the tie with its inner face at the cover (none when
// ties.diameter is 0), the crossties of `layout` (straight across between the bars they hold,
// just past them, with a 135 degree hook mark at both ends) and the bars as filled circles (none
// when bars.count is 0). A round section has its hoop alone.
void drawSection(Shapes& sheet, Point centre, double scale, const Section& section, double cover,
                 const BarArrangement& bars, const Ties& ties, const TieLayout& layout = {});

}  // namespace tierwise
