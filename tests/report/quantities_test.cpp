// Steel quantities worked by hand: one 300 X 450 line needing 1100 mm² (6 - 16 dia, 8 dia ties @ 250)
// on levels 0, 3.5, 7 and 10.5 m, no grades in the blocks (laps for M20 / Fe415: tau 1.2 x 1.6,
// Ld = 16 x 0.87 x 415 / (4 x 1.92) = 752.2 mm, the tension lap the same as over 30 x 16), cover 40.
// A tie set: perimeter 2 (228 + 378) + 2 hooks of max(8 x 8, 75) = 1362, a crosstie for the 450
// faces' middle bar 228 + 150 = 378: 1.74 m. Unit masses 16: 1.580 kg/m, 8: 0.395 kg/m.
#include <gtest/gtest.h>

#include <string>

#include "frame_builder.h"
#include "report/quantities_sheet.h"
#include "report/schedule.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

struct QuantityCase {
    std::string name;
    LevelTicks ticks;
    size_t range;
    double barLength, barMass;  // m, kg
    int tieSets;
    double tieMass;  // kg
};

class QuantityTest : public ::testing::TestWithParam<QuantityCase> {};

TEST_P(QuantityTest, ByHand) {
    const QuantityCase& c = GetParam();
    const Model model = support::buildFrame(
        {0, 350, 700, 1050},
        {{1, 1, 7, {{2, 101, 300, 450, 1100}, {3, 201, 300, 450, 1100}, {4, 301, 300, 450, 1100}}}});
    const ColumnLines lines = groupColumnLines(model);
    const ColumnDetailing detailing = detailColumns(lines, c.ticks, DetailOptions{});
    const std::vector<QuantityRow> rows = steelQuantities(model, lines.lines, detailing);
    ASSERT_GT(rows.size(), c.range);
    const QuantityRow& row = rows[c.range];
    EXPECT_EQ(row.bars, 6);
    EXPECT_NEAR(row.barLength, c.barLength, 0.001);
    EXPECT_NEAR(row.barMass, c.barMass, 0.01);
    EXPECT_EQ(row.tieSets, c.tieSets);
    EXPECT_NEAR(row.tieLength, 1.74, 1e-9);
    EXPECT_NEAR(row.tieMass, c.tieMass, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Quantities, QuantityTest,
    ::testing::Values(
        // 0 to 7: 7000 + Ld into the footing = 7752.2; 6 x 1.580 x 7.752 = 73.50; 7000 / 250 + 1 = 29 sets,
        // 29 x 0.395 x 1.74 = 19.93.
        QuantityCase{"LowestRange", {true, false, true, true}, 0, 7.7522, 73.50, 29, 19.93},
        // 7 to 10.5: 3500 + a lap at 7 m + Ld into the beams = 5004.4; 47.45 kg; 15 sets, 10.31 kg.
        QuantityCase{"TopRangeLappedAtItsFoot", {true, false, true, true}, 1, 5.0044, 47.45, 15, 10.31},
        // 0 to 10.5 in one range: 10500 + 2 Ld = 12004.4 passes 12 m, so one lap more: 12756.6;
        // 120.95 kg; 10500 / 250 + 1 = 43 sets, 29.56 kg.
        QuantityCase{"PastTheStockLength", {true, false, false, true}, 0, 12.7566, 120.95, 43, 29.56}),
    [](const auto& testCase) { return testCase.param.name; });

// Ductile with M25 / Fe415 given: 12 dia hoops @ 75 for lo = max(450, 3000 / 6) = 500 at each end,
// @ 150 between, one crosstie (detailing_test's Ductile300x450). Per 3500 storey 2 ceil(500 / 75) =
// 14 in the zones and ceil(2500 / 150) = 17 between; 0 to 7: 2 x 31 + 1 = 63 sets. A set: hooks
// max(8 x 12, 75) = 96, perimeter 2 (232 + 382) + 192 = 1420, crosstie 232 + 192: 1.844 m;
// 63 x 1.844 x 144 / 162 = 103.26 kg.
TEST(Quantities, DuctileHoopsPerStorey) {
    const Model model = support::buildFrame(
        {0, 350, 700, 1050},
        {{1, 1, 7, {{2, 101, 300, 450, 1100}, {3, 201, 300, 450, 1100}, {4, 301, 300, 450, 1100}}}});
    const ColumnLines lines = groupColumnLines(model);
    const DetailOptions options{.ductile = true, .fallbackGrades = {25, 415}};
    const ColumnDetailing detailing = detailColumns(lines, {true, false, true, true}, options);
    const QuantityRow row = steelQuantities(model, lines.lines, detailing).at(0);
    EXPECT_EQ(row.tieDiameter, 12);
    EXPECT_EQ(row.tieSets, 63);
    EXPECT_NEAR(row.tieLength, 1.844, 1e-9);
    EXPECT_NEAR(row.tieMass, 103.26, 0.01);
}

}  // namespace
}  // namespace tierwise
