#include "drawing/section_cell.h"

#include <algorithm>
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

namespace {

// A crosstie from the bar at `from` to the bar at `to` (centres, section mm), its straight run `r`
// to the side `side` of both, and at each end the bend round the bar and a hook tail of `tail`
// leaving it at 135 degrees to the run, back into the core.
std::vector<Point> crosstie(Point from, Point to, Point side, double r, double tail) {
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    const Point u{(to.x - from.x) / length, (to.y - from.y) / length};
    const double k = std::numbers::sqrt2 / 2;
    const auto plus = [](Point p, double a, Point v, double b = 0, Point w = {}) {
        return Point{p.x + a * v.x + b * w.x, p.y + a * v.y + b * w.y};
    };
    const Point startBend = plus(from, -r * k, u, -r * k, side);
    const Point endBend = plus(to, r * k, u, -r * k, side);
    return {plus(startBend, tail * k, u, -tail * k, side),
            startBend,
            plus(from, -r, u),
            plus(from, r, side),
            plus(to, r, side),
            plus(to, r, u),
            endBend,
            plus(endBend, -tail * k, u, -tail * k, side)};
}

}  // namespace

void drawSection(Shapes& sheet, Point centre, double scale, const Section& section, double cover,
                 const BarArrangement& bars, const Ties& ties, const TieLayout& layout) {
    // The larger side D runs across the sheet: a section point (x along b, y along D) lies at
    // (y, x) on paper.
    const auto at = [&](double x, double y) { return Point{centre.x + y * scale, centre.y + x * scale}; };
    // The tie's centre line lies half its diameter outside the cover, so that it wraps the bars.
    const double tieInset = cover - ties.diameter / 2.0;
    const std::vector<Point> centres = barCentres(section, bars, cover);
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
        if (ties.diameter > 0 && !centres.empty()) {
            // barCentres' order: 4 corners, a bars on each short face (bottom, top), d on each long
            // face (left, right).
            const int a = bars.shortFaceBars;
            const int d = bars.longFaceBars;
            const double r = (bars.diameter + ties.diameter) / 2.0;
            const double tail = hookExtension(ties.diameter);
            const auto draw = [&](const Point& from, const Point& to, Point side) {
                std::vector<Point> points;
                for (const Point& p : crosstie(from, to, side, r, tail)) points.push_back(at(p.x, p.y));
                sheet.polylines.push_back({std::move(points), false, Layer::Ties});
            };
            for (const int i : layout.longFaceHeld) {
                const size_t k = static_cast<size_t>(4 + 2 * a + i - 1);
                draw(centres[k], centres[k + static_cast<size_t>(d)], {0, 1});
            }
            for (const int i : layout.shortFaceHeld) {
                const size_t k = static_cast<size_t>(4 + i - 1);
                draw(centres[k], centres[k + static_cast<size_t>(a)], {1, 0});
            }
        }
    }
    for (const Point& bar : centres) {
        sheet.circles.push_back({at(bar.x, bar.y), bars.diameter * scale, true, Layer::Bars});
    }
}

}  // namespace tierwise
