// Levels named in metres, as --split names them, matched to the model's levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/levels.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

Model withLevels(std::vector<int32_t> centimetres) {
    Model model;
    model.gridY = std::move(centimetres);
    return model;
}

struct MatchCase {
    std::string name;
    std::vector<std::string> metres;
    LevelTicks ticks;     // expected, when found
    std::string message;  // expected LevelNotFound text, when not
};

class LevelMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(LevelMatchTest, Ticks) {
    const MatchCase& c = GetParam();
    const Model model = withLevels({-350, 0, 400, 720, 1360});
    if (c.message.empty()) {
        EXPECT_EQ(ticksAtLevels(model, c.metres), c.ticks);
    } else {
        try {
            ticksAtLevels(model, c.metres);
            FAIL() << "matched";
        } catch (const LevelNotFound& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LevelMatchTest,
    ::testing::Values(MatchCase{"None", {}, {false, false, false, false, false}, ""},
                      MatchCase{"Exact", {"7.2"}, {false, false, false, true, false}, ""},
                      MatchCase{"Basement", {"-3.5", "0"}, {true, true, false, false, false}, ""},
                      MatchCase{"WithinHalfACentimetre", {"4.005", "7.195"}, {false, false, true, true, false}, ""},
                      MatchCase{"JustOutside",
                                {"4.0051"},
                                {},
                                "the model has no level at 4.0051 m; its levels are -3.5, 0, 4, 7.2, 13.6 (m)"},
                      MatchCase{"NotANumber", {"4m"}, {}, "\"4m\" is not a level in metres"},
                      MatchCase{"Empty", {""}, {}, "\"\" is not a level in metres"},
                      MatchCase{"Infinite", {"inf"}, {}, "\"inf\" is not a level in metres"}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(Levels, LongLevelListsAreCut) {
    std::vector<int32_t> levels;
    for (int32_t i = 0; i < 100000; ++i) levels.push_back(300 * i);
    try {
        ticksAtLevels(withLevels(levels), {"1.5"});
        FAIL() << "matched";
    } catch (const LevelNotFound& e) {
        EXPECT_EQ(std::string(e.what()),
                  "the model has no level at 1.5 m; its levels are 0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33 "
                  "\u2026 and 99,988 more (m)");
    }
}

struct SplitCase {
    std::string text;
    std::vector<std::string> items;
};

TEST(Levels, SplitLevelList) {
    for (const SplitCase& c : {SplitCase{"", {}}, SplitCase{"3.5", {"3.5"}}, SplitCase{"3.5,7", {"3.5", "7"}},
                               SplitCase{"-3.5,,0", {"-3.5", "", "0"}}, SplitCase{"7,", {"7", ""}}}) {
        EXPECT_EQ(splitLevelList(c.text), c.items) << c.text;
    }
}

}  // namespace
}  // namespace tierwise
