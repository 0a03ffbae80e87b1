// Development and lap lengths by IS 456 cl. 26.2.1 and 26.2.5.1, worked by hand.
#include <gtest/gtest.h>

#include <string>

#include "report/anchorage.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

struct LapCase {
    std::string name;
    int diameter;
    Grades grades;
    double tension, compression;  // 0: no lap
};

class LapTest : public ::testing::TestWithParam<LapCase> {};

TEST_P(LapTest, ByTheCode) {
    const LapCase& c = GetParam();
    const std::optional<LapLengths> laps = lapLengths(c.diameter, c.grades);
    if (c.tension == 0) {
        EXPECT_FALSE(laps);
        return;
    }
    ASSERT_TRUE(laps);
    EXPECT_NEAR(laps->tension, c.tension, 0.1);
    EXPECT_NEAR(laps->compression, c.compression, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Anchorage, LapTest,
                         ::testing::Values(
                             // 16, Fe415, M25: tau = 1.4 x 1.6 = 2.24; Ld = 16 x 0.87 x 415 / (4 x 2.24) = 644.7 > 30 x
                             // 16; compression tau 2.8: 515.8 > 24 x 16 = 384.
                             LapCase{"Bar16Fe415M25", 16, {25, 415}, 644.7, 515.8},
                             // 12, Fe500, M30: tau = 1.5 x 1.6 = 2.4; Ld = 12 x 435 / 9.6 = 543.75; compression 435.0.
                             LapCase{"Bar12Fe500M30", 12, {30, 500}, 543.75, 435.0},
                             // M27 takes M25's 1.4 (the highest tabulated grade not above it).
                             LapCase{"BetweenGradesTakesTheLower", 16, {27, 415}, 644.7, 515.8},
                             // Fe250 plain bars: tau 1.2 at M20; Ld = 20 x 217.5 / 4.8 = 906.3; compression 725.0.
                             LapCase{"PlainBarsFe250M20", 20, {20, 250}, 906.3, 725.0},
                             // M40 and above, 1.9 x 1.6 = 3.04: Ld = 10 x 361.05 / 12.16 = 296.9 < 30 x 10 = 300.
                             LapCase{"ThirtyDiametersGovern", 10, {45, 415}, 300.0, 240.0},
                             LapCase{"NoLapOver36", 40, {25, 415}, 0, 0},
                             LapCase{"NoTableBelowM20", 16, {15, 415}, 0, 0}),
                         [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace tierwise
