#include "drawing/section_cell.h"

#include <cmath>
#include <numbers>

namespace tierwise {

std::vector<Point> barCentres(const Section& section, const BarArrangement& bars, double cover) {
    std::vector<Point> centres;
    if (bars.count <= 0) return centres;
    const double inset = cover + bars.diameter / 2.0;
    if (section.circular()) {
        const double radius = section.D / 2.0 - inset;
        for (int k = 0; k < bars.count; ++k) {
            const double angle = std::numbers::pi / 2 + 2 * std::numbers::pi * k / bars.count;
            centres.push_back({radius * std::cos(angle), radius * std::sin(angle)});
        }
        return centres;
    }
    const double hx = section.b / 2.0 - inset;
    const double hy = section.D / 2.0 - inset;
    centres = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
    const int a = bars.shortFaceBars;
    const int d = bars.longFaceBars;
    for (const double y : {-hy, hy}) {
        for (int k = 1; k <= a; ++k) centres.push_back({-hx + 2 * hx * k / (a + 1), y});
    }
    for (const double x : {-hx, hx}) {
        for (int k = 1; k <= d; ++k) centres.push_back({x, -hy + 2 * hy * k / (d + 1)});
    }
    return centres;
}

void drawSection(Shapes& sheet, Point centre, double scale, const Section& section, double cover,
                 const BarArrangement& bars, const Ties& ties) {
    const auto at = [&](double x, double y) { return Point{centre.x + x * scale, centre.y + y * scale}; };
    // The tie's centre line lies half its diameter outside the cover, so that it wraps the bars.
    const double tieInset = cover - ties.diameter / 2.0;
    if (section.circular()) {
        sheet.circles.push_back({centre, section.D * scale, false, Layer::Outline});
        if (ties.diameter > 0) {
            sheet.circles.push_back({centre, (section.D - 2 * tieInset) * scale, false, Layer::Ties});
        }
    } else {
        const auto rectangle = [&](double inset, Layer layer) {
            const double hx = section.b / 2.0 - inset;
            const double hy = section.D / 2.0 - inset;
            sheet.polylines.push_back({{at(-hx, -hy), at(hx, -hy), at(hx, hy), at(-hx, hy)}, true, layer});
        };
        rectangle(0, Layer::Outline);
        if (ties.diameter > 0) rectangle(tieInset, Layer::Ties);
    }
    for (const Point& bar : barCentres(section, bars, cover)) {
        sheet.circles.push_back({at(bar.x, bar.y), bars.diameter * scale, true, Layer::Bars});
    }
}

}  // namespace tierwise
