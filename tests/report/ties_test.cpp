// Ties that hold every bar (IS 456 cl. 26.5.3.2 b) and ductile hoops (IS 13920 cl. 7.4, 7.6),
// each case worked by hand in its comment. Grades M25 / Fe415 (fck / fy = 0.060241), cover 40,
// design length 4000 (lo from length / 6 = 667, up to 700).
#include <gtest/gtest.h>

#include <string>

#include "report/ties.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

struct TiesCase {
    std::string name;
    Section section;
    BarArrangement bars;
    std::string is456;    // worksheet 4's Ties text by IS 456 alone
    std::string ductile;  // and by IS 13920
};

class TiesTest : public ::testing::TestWithParam<TiesCase> {};

TEST_P(TiesTest, TextsByBothCodes) {
    const TiesCase& c = GetParam();
    const DetailOptions options;
    EXPECT_EQ(
        tiesText(chooseTies(c.section, c.bars.diameter, options), tieLayout(c.section, c.bars, options.cover, false)),
        c.is456);
    EXPECT_EQ(confinementText(confine(c.section, c.bars, Grades{25, 415}, 4000, options)), c.ductile);
}

INSTANTIATE_TEST_SUITE_P(
    Ties, TiesTest,
    ::testing::Values(
        // 8 - 16 on 300 X 450: two bars on each 450 face, centres 354 / 3 = 118 apart (> 75): both
        // held, 2 crossties. Ductile: h = 204 (short side) + 16 + 2 dh; Ak = (300 - 2(40 - dh)) (450 - ...).
        // 8: h 236, Ak 91096, 0.18 (Ag/Ak - 1) = 0.0868, s = 50.3 / (236 x 0.0602 x 0.0868) = 40.8 < 75;
        // 10: s = 68.2 < 75; 12: s = 105.7, bound min(300 / 4, 6 x 16, 100) = 75: 12 @ 75.
        // Between: min(IS 456 256 -> 250, 300 / 2 = 150) = 150.
        TiesCase{"Rect300x450With8x16",
                 {300, 450},
                 {8, 16, 0, 2, 1608.5},
                 "8 dia @ 250 c/c + 2 crossties",
                 "12 dia @ 75 c/c for 700 at each end, @ 150 c/c between, + 2 crossties"},
        // 230 X 600: a quarter of 230 is 57.5, below the practical 75 mm for every hoop.
        TiesCase{
            "Rect230x600NoHoopFits", {230, 600}, {6, 16, 0, 1, 1206.4}, "8 dia @ 225 c/c + 1 crosstie", "no hoop fits"},
        // 450 dia with 8 - 16: hoops alone. 8: Dk 386, 0.09 (Ag/Ak - 1) = 0.0323, s = 66.9 < 75;
        // 10: Dk 390, s = 112.1, bound min(112.5, 96, 100) = 96: 10 @ 75. Between: min(250, 225) = 225.
        TiesCase{"Round450With8x16",
                 {0, 450},
                 {8, 16, 0, 0, 1608.5},
                 "8 dia @ 250 c/c",
                 "10 dia @ 75 c/c for 700 at each end, @ 225 c/c between"},
        // 12 - 20 on 600 X 600, two bars on each face 500 / 3 = 167 apart: 4 crossties.
        // 8: h = 167 + 20 + 16 = 203, Ak 287296, 0.18 (Ag/Ak - 1) = 0.0456 < 0.05: s = 82.3; bound
        // min(150, 120, 100) = 100: 8 @ 75. Between: min(IS 456 300, 600 / 2) = 300.
        TiesCase{"Square600With12x20",
                 {600, 600},
                 {12, 20, 2, 2, 3769.9},
                 "8 dia @ 300 c/c + 4 crossties",
                 "8 dia @ 75 c/c for 700 at each end, @ 300 c/c between, + 4 crossties"},
        // Six bars on each 600 face, 504 / 7 = 72 apart (<= 75): alternate bars held, 3 crossties;
        // legs 144 apart are within 300. Ductile h = 204 + 16 + 2 dh as above; 10: Ak 240 x 540,
        // 0.18 (Ag/Ak - 1) = 0.07, s = 78.5 / (240 x 0.0602 x 0.07) = 77.6: 10 @ 75.
        TiesCase{"CloseBarsAlternateTies",
                 {300, 600},
                 {16, 16, 0, 6, 3217.0},
                 "8 dia @ 250 c/c + 3 crossties",
                 "10 dia @ 75 c/c for 700 at each end, @ 150 c/c between, + 3 crossties"}),
    [](const auto& testCase) { return testCase.param.name; });

// lo = max(larger side, length / 6, 450 mm), up to a multiple of 50.
TEST(Ties, ConfiningLengthTakesTheLargest) {
    EXPECT_EQ(confiningLength({300, 450}, 3000), 500);  // max(450, 500, 450)
    EXPECT_EQ(confiningLength({300, 750}, 3000), 750);  // the larger side
    EXPECT_EQ(confiningLength({300, 450}, 2400), 450);  // 450 mm at least
    EXPECT_EQ(confiningLength({300, 450}, 3030), 550);  // 505 up to 550
}

}  // namespace
}  // namespace tierwise
