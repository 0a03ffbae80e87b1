// The elevation diagram and the storey height labels, checked without any widget.
#include "ui/diagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/rejection.h"
#include "support/case_name.h"

namespace tierwise::diagram {
namespace {

using support::PrintTo;

const std::vector<int32_t> kFourStoreys{0, 300, 600, 900};

TEST(LayOutDiagram, WindowOf9200TwipsWithFourEvenLevels) {
    const DiagramLayout layout = layOutDiagram(9200, kFourStoreys);
    EXPECT_EQ(layout.diagTop, 920);
    EXPECT_EQ(layout.diagBottom, 8280);
    EXPECT_EQ(layout.diagScale, 8.177778f);
    EXPECT_EQ(layout.barTop(), 920);
    EXPECT_EQ(layout.barHeight(), 7360);

    const std::vector<double> lines{8280, 5826.67, 3373.33, 920};
    const std::vector<std::string> captions{"0", "3", "6", "9"};
    ASSERT_EQ(layout.levels.size(), 4u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("level " + std::to_string(i + 1));
        EXPECT_NEAR(layout.levels[i].lineY, lines[i], i == 3 ? 0.001 : 0.005);
        EXPECT_FLOAT_EQ(layout.levels[i].boxTop, layout.levels[i].lineY - 150);
        EXPECT_EQ(layout.levels[i].caption, captions[i]);
    }
    EXPECT_EQ(layout.levels[0].lineY, 8280.0f);  // the lowest level sits exactly on diagBottom
    EXPECT_FALSE(layout.anySpread());
    EXPECT_EQ(layout.boxLeft, WindowLayout::levelBoxLeft);
}

TEST(LayOutDiagram, UnevenLevelsAreSpacedInProportion) {
    // A basement below 0: it is the lowest level and sits on diagBottom like any other.
    const std::vector<int32_t> levels{-300, 0, 400, 1400};
    const DiagramLayout layout = layOutDiagram(9195, levels);
    const double height = layout.diagBottom - layout.diagTop;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        SCOPED_TRACE("level " + std::to_string(i + 1));
        const double share = (levels[i] - levels[0]) / 1700.0;
        EXPECT_NEAR(layout.levels[i].lineY, layout.diagBottom - share * height, 0.001);
    }
    EXPECT_EQ(layout.levels[0].lineY, static_cast<float>(layout.diagBottom));
    EXPECT_NEAR(layout.levels[3].lineY, layout.diagTop, 0.001);
    EXPECT_EQ(layout.levels[0].caption, "-3");
}

struct CaptionCase {
    const char* name;
    int32_t levelCm;
    const char* caption;
};

void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }

class LevelCaption : public testing::TestWithParam<CaptionCase> {};

TEST_P(LevelCaption, ReadsTheLevelInMetres) {
    const CaptionCase& c = GetParam();
    // The level under test is the highest of two, so it also proves the caption of the top box.
    const DiagramLayout layout = layOutDiagram(9195, {c.levelCm - 500, c.levelCm});
    EXPECT_EQ(layout.levels[1].caption, c.caption);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelCaption,
                         testing::Values(CaptionCase{"HalfMetre", 350, "3.5"}, CaptionCase{"WholeTen", 1000, "10"},
                                         CaptionCase{"Ground", 0, "0"}, CaptionCase{"Basement", -150, "-1.5"},
                                         CaptionCase{"Centimetres", 1333, "13.33"},
                                         CaptionCase{"OfficeBlockThird", 720, "7.2"},
                                         CaptionCase{"FarAbove", 32767, "327.67"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct TooFewCase {
    const char* name;
    std::vector<int32_t> levels;
};

void PrintTo(const TooFewCase& c, std::ostream* os) { *os << c.name; }

class TooFewLevels : public testing::TestWithParam<TooFewCase> {};

TEST_P(TooFewLevels, AreRefusedWithAMessage) {
    try {
        layOutDiagram(9195, GetParam().levels);
        FAIL() << "laid out";
    } catch (const Rejection& rejection) {
        EXPECT_STREQ(rejection.what(), "The analysis file holds fewer than two levels.");
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, TooFewLevels,
                         testing::Values(TooFewCase{"None", {}}, TooFewCase{"One", {400}},
                                         TooFewCase{"TwoEqual", {400, 400}}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct LabelCase {
    const char* name;
    std::vector<int32_t> levels;
    std::vector<bool> ticked;
    // Per level from the lowest: the label's caption, or "" for a hidden label.
    std::vector<std::string> captions;
    std::vector<int32_t> tops;  // per level; only compared for shown labels
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class StoreyLabels : public testing::TestWithParam<LabelCase> {};

TEST_P(StoreyLabels, ShowTheHeightFromTheTickedLevelBelow) {
    const LabelCase& c = GetParam();
    const DiagramLayout layout = layOutDiagram(9200, c.levels);
    const std::vector<StoreyLabel> labels = storeyLabels(c.levels, layout, c.ticked);
    ASSERT_EQ(labels.size(), c.levels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE("label " + std::to_string(i + 1));
        EXPECT_EQ(labels[i].visible, !c.captions[i].empty());
        if (!labels[i].visible) continue;
        EXPECT_EQ(labels[i].caption, c.captions[i]);
        EXPECT_EQ(labels[i].top, c.tops[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, StoreyLabels,
    testing::Values(
        LabelCase{
            "AllTicked", kFourStoreys, {true, true, true, true}, {"", "3 M", "3 M", "3 M"}, {0, 7053, 4600, 2147}},
        LabelCase{"ThirdUnticked", kFourStoreys, {true, true, false, true}, {"", "3 M", "", "6 M"}, {0, 7053, 0, 2147}},
        LabelCase{"OnlyEndsTicked", kFourStoreys, {true, false, false, true}, {"", "", "", "9 M"}, {0, 0, 0, 2147}},
        LabelCase{"TwoLevels", {0, 333}, {true, true}, {"", "3.33 M"}, {0, 4600}},
        LabelCase{"OddStoreys", {0, 275, 1275}, {true, true, true}, {"", "2.75 M", "10 M"}, {0, 7486, 3806}},
        LabelCase{"Basement", {-300, 0, 300}, {true, true, true}, {"", "3 M", "3 M"}, {0, 6440, 2760}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct ClickCase {
    const char* name;
    int32_t index;
    bool clickedState;
    bool kept;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }

class LevelBoxClick : public testing::TestWithParam<ClickCase> {};

TEST_P(LevelBoxClick, KeepsTheEndsTicked) {
    const ClickCase& c = GetParam();
    EXPECT_EQ(tickAfterClick(c.index, 5, c.clickedState), c.kept);
}

INSTANTIATE_TEST_SUITE_P(Clicks, LevelBoxClick,
                         testing::Values(ClickCase{"LowestUnticked", 1, false, true},
                                         ClickCase{"HighestUnticked", 5, false, true},
                                         ClickCase{"MiddleUnticked", 3, false, false},
                                         ClickCase{"MiddleTicked", 3, true, true},
                                         ClickCase{"BelowHighestUnticked", 4, false, false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct PixelCase {
    const char* name;
    double twips;
    double dpi;
    int pixels;
};

void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.name; }

class TwipsToPixels : public testing::TestWithParam<PixelCase> {};

TEST_P(TwipsToPixels, UseTheLogicalDpi) {
    const PixelCase& c = GetParam();
    EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TwipsToPixels,
                         testing::Values(PixelCase{"OneInch", 1440, 96, 96},
                                         PixelCase{"ClientWidth", WindowLayout::clientWidth, 96, 1077},
                                         PixelCase{"ClientHeight", WindowLayout::clientHeight, 96, 575},
                                         PixelCase{"BoxAt144Dpi", 300, 144, 30},
                                         PixelCase{"NoDpiReported", 2880, 0, 192},
                                         PixelCase{"FractionalLine", 5826.67f, 96, 388}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(PixelsToTwips, IsTheInverseAtWholePixels) {
    EXPECT_EQ(pixelsToTwips(38, 96), 570);
    EXPECT_EQ(pixelsToTwips(613, 0), 9195);
    EXPECT_EQ(pixelsToTwips(92, 144), 920);
}

TEST(OuterHeightForLayout, IsTheFrameOrTheClientWithAnEstimatedFrame) {
    EXPECT_EQ(outerHeightForLayout(std::nullopt, WindowLayout::clientHeight),
              WindowLayout::clientHeight + WindowLayout::frameHeightEstimate);
    EXPECT_EQ(outerHeightForLayout(9200, WindowLayout::clientHeight), 9200);
}

class FrameHeight : public testing::TestWithParam<std::optional<int32_t>> {};

// Whatever the window system reports, every box and label lies inside the client area, even the
// label of a storey of 1 cm, which starts right at the lowest level line.
TEST_P(FrameHeight, KeepsTheWholeDiagramInsideTheClientArea) {
    const std::vector<int32_t> levels{0, 1, 400, 2000};
    const int32_t outer = outerHeightForLayout(GetParam(), WindowLayout::clientHeight);
    const DiagramLayout layout = layOutDiagram(outer, levels);
    const std::vector<StoreyLabel> labels = storeyLabels(levels, layout, std::vector<bool>(4, true));
    EXPECT_GE(layout.levels.back().boxTop, 0);
    EXPECT_LE(layout.levels.front().boxTop + WindowLayout::levelBoxHeight, WindowLayout::clientHeight);
    EXPECT_LE(layout.diagBottom, WindowLayout::clientHeight);
    for (const StoreyLabel& label : labels) {
        if (!label.visible) continue;
        EXPECT_GE(label.top, 0);
        EXPECT_LE(label.top + WindowLayout::storeyLabelHeight, WindowLayout::clientHeight);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameHeight,
                         testing::Values(std::nullopt, std::optional<int32_t>{WindowLayout::clientHeight},
                                         std::optional<int32_t>{9200}, std::optional<int32_t>{9300},
                                         std::optional<int32_t>{9700}, std::optional<int32_t>{12000},
                                         std::optional<int32_t>{32767}));

struct SpreadCase {
    const char* name;
    std::vector<double> wanted;  // bottom up
    double low;
    double high;
    std::vector<double> rows;
};

class SpreadRows : public testing::TestWithParam<SpreadCase> {};

TEST_P(SpreadRows, MoveCloseRowsJustApart) {
    const SpreadCase& c = GetParam();
    const std::vector<double> rows = spreadRows(c.wanted, 300, c.low, c.high);
    ASSERT_EQ(rows.size(), c.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_NEAR(rows[i], c.rows[i], 1e-9) << "row " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpreadRows,
    testing::Values(
        SpreadCase{"FarApartStay", {900, 600, 300}, 0, 1000, {900, 600, 300}},
        SpreadCase{"ExactlyOneGapApartStay", {8000, 7700}, 0, 9000, {8000, 7700}},
        SpreadCase{"TwoCloseSplitAroundTheirMiddle", {500, 450}, 0, 1000, {625, 325}},
        // Four levels within 15 cm between far ones: only the bunch moves.
        SpreadCase{
            "BunchAmongFarLevels", {8000, 5000, 4990, 4980, 4970, 1000}, 0, 9000, {8000, 5435, 5135, 4835, 4535, 1000}},
        SpreadCase{"BunchPushesItsNeighbour", {5000, 4700, 4690}, 0, 9000, {15290.0 / 3, 14390.0 / 3, 13490.0 / 3}},
        SpreadCase{"BunchAtTheTopStaysInside", {1500, 910, 900}, 900, 9000, {1500, 1200, 900}},
        SpreadCase{"BunchAtTheBottomStaysInside", {9000, 8990, 5000}, 0, 9000, {9000, 8700, 5000}},
        SpreadCase{"TooManyHangDownFromTheTop", {100, 100, 100}, 0, 300, {600, 300, 0}},
        SpreadCase{"One", {42}, 0, 100, {42}}, SpreadCase{"None", {}, 0, 100, {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// Levels in cm: `storeys` storeys of `storey` cm above a first of `first` cm from `base`.
std::vector<int32_t> tower(int32_t base, int32_t first, int32_t storey, int storeys) {
    std::vector<int32_t> levels{base, base + first};
    for (int i = 1; i < storeys; ++i) levels.push_back(levels.back() + storey);
    return levels;
}

// A mezzanine 40 cm above every tenth level.
std::vector<int32_t> withMezzanines(std::vector<int32_t> levels) {
    for (std::size_t i = levels.size() - 1; i > 0; --i) {
        if (i % 10 == 0) levels.insert(levels.begin() + static_cast<std::ptrdiff_t>(i) + 1, levels[i] + 40);
    }
    return levels;
}

struct CrowdCase {
    const char* name;
    std::vector<int32_t> levels;
    int32_t outerHeight;
    bool spread;  // some boxes leave their lines
    bool taller;  // the diagram is taller than the window
};

class CrowdedLevels : public testing::TestWithParam<CrowdCase> {};

// However close or many the levels, no two boxes or labels overprint, the order is kept, and
// every box still belongs to one tick.
TEST_P(CrowdedLevels, NeverOverprint) {
    const CrowdCase& c = GetParam();
    const DiagramLayout layout = layOutDiagram(c.outerHeight, c.levels);
    const std::vector<StoreyLabel> labels = storeyLabels(c.levels, layout, std::vector<bool>(c.levels.size(), true));
    EXPECT_EQ(layout.anySpread(), c.spread);
    EXPECT_EQ(layout.boxLeft, c.spread ? WindowLayout::spreadLevelBoxLeft : WindowLayout::levelBoxLeft);
    EXPECT_EQ(layout.diagBottom > std::lround(c.outerHeight * 0.9), c.taller);
    EXPECT_GE(layout.levels.back().boxTop, WindowLayout::topBandHeight - 0.01);
    EXPECT_EQ(layout.levels.front().lineY, static_cast<float>(layout.diagBottom));
    EXPECT_NEAR(layout.levels.back().lineY, layout.diagTop, 0.01);
    for (std::size_t i = 1; i < layout.levels.size(); ++i) {
        SCOPED_TRACE("level " + std::to_string(i + 1));
        const LevelMark& below = layout.levels[i - 1];
        const LevelMark& above = layout.levels[i];
        EXPECT_LT(above.lineY, below.lineY);
        EXPECT_GE(below.boxTop - above.boxTop, WindowLayout::levelBoxHeight - 0.01);
        EXPECT_LE(below.boxTop + WindowLayout::levelBoxHeight, layout.contentHeight());
        EXPECT_EQ(above.spread(), std::abs(above.rowY() - above.lineY) >= 0.5);
        if (i >= 2) {
            EXPECT_GE(labels[i - 1].top - labels[i].top, WindowLayout::storeyLabelHeight);
        }
        EXPECT_LE(labels[i].top + WindowLayout::storeyLabelHeight, layout.contentHeight());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, CrowdedLevels,
    testing::Values(CrowdCase{"OfficeBlock", {0, 400, 720, 1040, 1360}, 9195, false, false},
                    CrowdCase{"FourWithin15cm", {52700, 53061, 53066, 53071, 53076, 53400}, 9195, true, false},
                    CrowdCase{"FourWithin15cmAtTheTop", {52000, 53061, 53066, 53071, 53076}, 9195, true, false},
                    CrowdCase{"Tower20", tower(0, 400, 320, 20), 9195, false, false},
                    CrowdCase{"Tower60", tower(0, 400, 320, 60), 9195, false, true},
                    CrowdCase{"Tower60WithMezzanines", withMezzanines(tower(0, 400, 320, 60)), 9195, true, true},
                    CrowdCase{"Tower112", tower(-600, 450, 300, 112), 9195, false, true},
                    CrowdCase{"ShortWindow", {0, 400, 720, 1040, 1360}, 2000, false, true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ButtonLeft, KeepsTheButtonInsideTheClientArea) {
    EXPECT_EQ(buttonLeft(20000), WindowLayout::buttonLeft);
    EXPECT_EQ(buttonLeft(WindowLayout::clientWidth),
              WindowLayout::clientWidth - WindowLayout::buttonWidth - WindowLayout::buttonMargin);
    EXPECT_EQ(buttonLeft(9000) + WindowLayout::buttonWidth + WindowLayout::buttonMargin, 9000);
}

}  // namespace
}  // namespace tierwise::diagram
