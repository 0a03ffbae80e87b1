#include "drawing/section_cell.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tierwise {
namespace {

constexpr double kCover = 40;

TEST(BarCentres, IssueExampleSitsWhereTheArrangementPutsIt) {
    // 300 X 450 with 8 - 20 dia: four corners and two bars on each 450 face.
    const std::vector<Point> bars = barCentres({300, 450}, {8, 20, 0, 2, 2513}, kCover);
    const std::vector<Point> expected{{-100, -175},
                                      {100, -175},
                                      {100, 175},
                                      {-100, 175},
                                      {-100, -175 + 350.0 / 3},
                                      {-100, 175 - 350.0 / 3},
                                      {100, -175 + 350.0 / 3},
                                      {100, 175 - 350.0 / 3}};
    ASSERT_EQ(bars.size(), expected.size());
    for (size_t i = 0; i < bars.size(); ++i) {
        EXPECT_NEAR(bars[i].x, expected[i].x, 1e-9) << i;
        EXPECT_NEAR(bars[i].y, expected[i].y, 1e-9) << i;
    }
}

struct Arrangement {
    Section section;
    BarArrangement bars;
};

// Every arrangement: the stated count, every bar at least cover + phi/2 inside each face, the
// extreme bars exactly there, bars on one face evenly spaced, no two bars touching.
TEST(BarCentres, ArrangementsKeepCoverAndSpacing) {
    const Arrangement cases[] = {
        {{230, 230}, {4, 12, 0, 0, 0}},  {{300, 450}, {8, 20, 0, 2, 0}},  {{300, 600}, {12, 16, 1, 3, 0}},
        {{450, 450}, {16, 25, 3, 3, 0}}, {{230, 750}, {10, 16, 0, 3, 0}}, {{0, 450}, {6, 16, 0, 0, 0}},
        {{0, 600}, {12, 20, 0, 0, 0}},
    };
    for (const Arrangement& c : cases) {
        SCOPED_TRACE(std::to_string(c.section.b) + " X " + std::to_string(c.section.D) + ", " +
                     std::to_string(c.bars.count) + " bars");
        const std::vector<Point> bars = barCentres(c.section, c.bars, kCover);
        ASSERT_EQ(static_cast<int>(bars.size()), c.bars.count);
        const double inset = kCover + c.bars.diameter / 2.0;
        double extreme = 0;
        for (const Point& bar : bars) {
            if (c.section.circular()) {
                EXPECT_NEAR(std::hypot(bar.x, bar.y), c.section.D / 2.0 - inset, 1e-9);
            } else {
                EXPECT_LE(std::abs(bar.x), c.section.b / 2.0 - inset + 1e-9);
                EXPECT_LE(std::abs(bar.y), c.section.D / 2.0 - inset + 1e-9);
                extreme = std::max(extreme, std::abs(bar.x));
            }
        }
        if (!c.section.circular()) {
            EXPECT_NEAR(extreme, c.section.b / 2.0 - inset, 1e-9);
        }
        double closest = 1e9;
        for (size_t i = 0; i < bars.size(); ++i) {
            for (size_t j = i + 1; j < bars.size(); ++j) {
                closest = std::min(closest, std::hypot(bars[i].x - bars[j].x, bars[i].y - bars[j].y));
            }
        }
        EXPECT_GT(closest, c.bars.diameter);
        // Evenly spaced: on a rectangular face the gaps between neighbours are all equal, and on
        // a circle every neighbour is as far as the first two.
        if (c.section.circular()) {
            const double chord = std::hypot(bars[1].x - bars[0].x, bars[1].y - bars[0].y);
            EXPECT_NEAR(closest, chord, 1e-9);
        } else {
            const double shortGap = (c.section.b - 2 * inset) / (c.bars.shortFaceBars + 1);
            const double longGap = (c.section.D - 2 * inset) / (c.bars.longFaceBars + 1);
            EXPECT_NEAR(closest, std::min(shortGap, longGap), 1e-9);
        }
    }
}

TEST(DrawSection, BarsInsideTheTieInsideTheOutline) {
    Sheet sheet;
    const double scale = 0.1;
    drawSection(sheet, {100, 50}, scale, {300, 450}, kCover, {8, 20, 0, 2, 2513}, {8, 150});
    ASSERT_EQ(sheet.polylines.size(), 2u);
    const Polyline& outline = sheet.polylines[0];
    const Polyline& tie = sheet.polylines[1];
    EXPECT_EQ(outline.layer, Layer::Outline);
    EXPECT_EQ(tie.layer, Layer::Ties);
    EXPECT_TRUE(tie.closed);
    // The outline is 30 x 45 mm round (100, 50); the tie's centre line 3.6 mm inside it.
    EXPECT_NEAR(outline.points[0].x, 85, 1e-9);
    EXPECT_NEAR(outline.points[2].y, 72.5, 1e-9);
    EXPECT_NEAR(tie.points[0].x, 85 + 3.6, 1e-9);
    EXPECT_NEAR(tie.points[2].y, 72.5 - 3.6, 1e-9);
    ASSERT_EQ(sheet.circles.size(), 8u);
    const double tieInner = 0.4;  // the tie's inner face, 4 mm inside its centre line at 1:10
    for (const Circle& bar : sheet.circles) {
        EXPECT_TRUE(bar.filled);
        EXPECT_EQ(bar.layer, Layer::Bars);
        EXPECT_DOUBLE_EQ(bar.diameter, 2.0);
        EXPECT_GE(bar.centre.x - 1, tie.points[0].x + tieInner - 1e-9);
        EXPECT_LE(bar.centre.x + 1, tie.points[2].x - tieInner + 1e-9);
        EXPECT_GE(bar.centre.y - 1, tie.points[0].y + tieInner - 1e-9);
        EXPECT_LE(bar.centre.y + 1, tie.points[2].y - tieInner + 1e-9);
    }
}

TEST(DrawSection, WithoutBarsOnlyTheOutline) {
    Sheet sheet;
    drawSection(sheet, {0, 0}, 0.1, {0, 500}, kCover, {}, {});
    ASSERT_EQ(sheet.circles.size(), 1u);
    EXPECT_FALSE(sheet.circles[0].filled);
    EXPECT_DOUBLE_EQ(sheet.circles[0].diameter, 50);
    EXPECT_TRUE(sheet.polylines.empty());
}

}  // namespace
}  // namespace tierwise
