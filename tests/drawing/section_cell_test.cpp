#include "drawing/section_cell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "support/case_name.h"

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
    // The larger side across: the outline is 45 x 30 mm round (100, 50); the tie's centre line 3.6 mm inside it.
    EXPECT_NEAR(outline.points[0].x, 77.5, 1e-9);
    EXPECT_NEAR(outline.points[0].y, 35, 1e-9);
    EXPECT_NEAR(outline.points[2].x, 122.5, 1e-9);
    EXPECT_NEAR(outline.points[2].y, 65, 1e-9);
    EXPECT_NEAR(tie.points[0].x, 77.5 + 3.6, 1e-9);
    EXPECT_NEAR(tie.points[2].y, 65 - 3.6, 1e-9);
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

using support::PrintTo;

struct CrosstieCase {
    std::string name;
    Section section;
    BarArrangement bars;
    // Paper offsets from the centre of the crossties' runs, across the sheet (x) for crossties
    // running up it, and up it (y) for those running across.
    std::vector<double> runsAt;
};

class CrosstieTest : public ::testing::TestWithParam<CrosstieCase> {};

// Each crosstie runs straight between the bars it holds, just past them (bar and tie radii), over
// the whole core, and ends in two hooks whose tails turn back into the section at 135 degrees.
TEST_P(CrosstieTest, RunPastTheHeldBarsWithHooks) {
    const CrosstieCase& c = GetParam();
    Sheet sheet;
    const double scale = 0.1;
    // The crossties the detailing counts are the ones drawn.
    drawSection(sheet, {0, 0}, scale, c.section, kCover, c.bars, {8, 150}, tieLayout(c.section, c.bars, kCover, true));
    std::vector<double> runs;
    const double r = (c.bars.diameter + 8) / 2.0 * scale;
    for (const Polyline& tie : sheet.polylines) {
        if (tie.layer != Layer::Ties || tie.closed) continue;
        ASSERT_EQ(tie.points.size(), 8u);
        const Point from = tie.points[3];
        const Point to = tie.points[4];
        const bool up = std::abs(from.x - to.x) < 1e-9;
        runs.push_back(up ? from.x : from.y);
        // Across b (up the sheet) the run spans the bars' centres b - 2 cover - phi apart; across D
        // (along the sheet) D - 2 cover - phi.
        const double span = (up ? c.section.b : c.section.D) - 2 * kCover - c.bars.diameter;
        EXPECT_NEAR(std::hypot(to.x - from.x, to.y - from.y), span * scale, 1e-9);
        for (const auto& [bend, tail] : {std::pair{tie.points[1], tie.points[0]}, {tie.points[6], tie.points[7]}}) {
            const Point leg{tail.x - bend.x, tail.y - bend.y};
            const Point run{to.x - from.x, to.y - from.y};
            const double cosine = (leg.x * run.x + leg.y * run.y) / std::hypot(leg.x, leg.y) / std::hypot(run.x, run.y);
            EXPECT_NEAR(std::abs(cosine), std::numbers::sqrt2 / 2, 1e-9) << "hook at 135 degrees to the run";
            EXPECT_NEAR(std::hypot(leg.x, leg.y), 75 * scale, 1e-9);
            EXPECT_LT(std::abs(tail.x), c.section.D / 2.0 * scale);
            EXPECT_LT(std::abs(tail.y), c.section.b / 2.0 * scale);
        }
    }
    std::sort(runs.begin(), runs.end());
    ASSERT_EQ(runs.size(), c.runsAt.size());
    for (size_t i = 0; i < runs.size(); ++i) EXPECT_NEAR(runs[i], c.runsAt[i] * scale + r, 1e-9) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CrosstieTest,
    ::testing::Values(
        // 300 X 450, 8 - 16: long-face bars at y = -177 + 354 k / 3 (cover 40 + 8); a crosstie
        // across b at each intermediate pair, y = -59 and 59 (drawn up the sheet at x = y + r).
        CrosstieCase{"two_across_b", {300, 450}, {8, 16, 0, 2, 1608}, {-59, 59}},
        // 600 X 600, 12 - 20: two intermediate bars a face, 500 / 3 apart: two crossties each way,
        // at -83.3 and 83.3.
        CrosstieCase{
            "four_both_ways", {600, 600}, {12, 20, 2, 2, 3770}, {-250.0 / 3, -250.0 / 3, 250.0 / 3, 250.0 / 3}},
        // 300 X 350, 10 - 12: three intermediate bars 258 / 4 = 64.5 mm apart, at most 75: the
        // middle one alone is held (alternate).
        CrosstieCase{"alternate", {300, 350}, {10, 12, 0, 3, 1131}, {0}},
        CrosstieCase{"round_hoop_alone", {0, 450}, {8, 16, 0, 0, 1608}, {}}),
    [](const auto& testCase) { return testCase.param.name; });

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
