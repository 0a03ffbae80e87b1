// The named grid lines, the plan tolerance, grid references and every column position's outline.
#include "grid/grid_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "grid/grid.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

// One storey: a vertical member from level 0 to 350 cm at each plan position (cm, as in the file),
// designed or not; member k + 1 at positions[k].
Model frameAt(const std::vector<std::pair<int32_t, int32_t>>& positions) {
    Model model;
    for (size_t k = 0; k < positions.size(); ++k) {
        const auto joint = static_cast<int32_t>(2 * k + 1);
        model.joints.push_back({joint, positions[k].first, 0, positions[k].second});
        model.joints.push_back({joint + 1, positions[k].first, 350, positions[k].second});
        model.members.push_back({static_cast<int32_t>(k + 1), joint, joint + 1});
    }
    buildPlanGrid(model);
    return model;
}

std::string referenceAt(const Model& model, const GridAxes& axes, std::pair<int32_t, int32_t> at) {
    const auto index = [](const std::vector<int32_t>& list, int32_t value) {
        return static_cast<int32_t>(std::find(list.begin(), list.end(), value) - list.begin()) + 1;
    };
    return gridReference(model, axes, index(model.gridX, at.first + model.xShift),
                         index(model.gridZ, at.second + model.zShift));
}

struct LinesCase {
    std::string name;
    std::vector<std::pair<int32_t, int32_t>> positions;  // X, Z in cm
    std::vector<std::string> xNames, zNames;
    std::vector<std::string> refs;  // per position
};

class GridLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(GridLinesTest, NamesAndReferences) {
    const LinesCase& c = GetParam();
    const Model model = frameAt(c.positions);
    const GridAxes axes = gridAxes(model, columnPositions(model));
    std::vector<std::string> xNames, zNames, refs;
    for (const GridLine& line : axes.x) xNames.push_back(line.name);
    for (const GridLine& line : axes.z) zNames.push_back(line.name);
    for (const auto& at : c.positions) refs.push_back(referenceAt(model, axes, at));
    EXPECT_EQ(xNames, c.xNames);
    EXPECT_EQ(zNames, c.zNames);
    EXPECT_EQ(refs, c.refs);
}

// Ten lines along X, each with two columns (Z 0 and 500).
std::vector<std::pair<int32_t, int32_t>> tenByTwo() {
    std::vector<std::pair<int32_t, int32_t>> positions;
    for (int32_t i = 0; i < 10; ++i) {
        positions.emplace_back(600 * i, 0);
        positions.emplace_back(600 * i, 500);
    }
    return positions;
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridLinesTest,
    ::testing::Values(LinesCase{"LettersSkipIAndO",
                                tenByTwo(),
                                {"A", "B", "C", "D", "E", "F", "G", "H", "J", "K"},
                                {"1", "2"},
                                {"A-1", "A-2", "B-1", "B-2", "C-1", "C-2", "D-1", "D-2", "E-1", "E-2",
                                 "F-1", "F-2", "G-1", "G-2", "H-1", "H-2", "J-1", "J-2", "K-1", "K-2"}},
                      // 1 cm off line B is on line B (which stands where most of its columns stand), and the
                      // lines after it keep their names.
                      LinesCase{"WithinToleranceOnTheLine",
                                {{0, 0}, {0, 500}, {600, 0}, {600, 500}, {601, 1000}, {1200, 0}, {1200, 500}},
                                {"A", "B", "C"},
                                {"1", "2"},
                                {"A-1", "A-2", "B-1", "B-2", "B-(Z 10)", "C-1", "C-2"}},
                      // 5 cm is the tolerance's edge; 6 cm off and alone, a column is referred to by its X.
                      LinesCase{"ToleranceEdge",
                                {{0, 0}, {0, 500}, {5, 1000}, {606, 0}},
                                {"A"},
                                {"1"},
                                {"A-1", "A-(Z 5)", "A-(Z 10)", "(X 6.06)-1"}},
                      LinesCase{"ScatteredColumnsByCoordinates",
                                {{0, 0}, {350, 725}, {-120, 1410}},
                                {},
                                {},
                                {"(X 0 Z 0)", "(X 3.5 Z 7.25)", "(X -1.2 Z 14.1)"}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(GridLines, Letters) {
    const std::vector<std::pair<int, std::string>> cases{{1, "A"},   {8, "H"},    {9, "J"},    {13, "N"},
                                                         {14, "P"},  {24, "Z"},   {25, "AA"},  {48, "AZ"},
                                                         {49, "BA"}, {600, "ZZ"}, {601, "AAA"}};
    for (const auto& [index, letters] : cases) EXPECT_EQ(gridLetters(index), letters) << index;
}

struct OutlineCase {
    std::string name;
    std::vector<DesignBlock> blocks;
    std::vector<MemberSection> sections;
    std::vector<int32_t> rotated;
    double alongX, alongZ;
    bool circular;
};

class OutlineTest : public ::testing::TestWithParam<OutlineCase> {};

// The design block prints the dimension along Z first once the BETA 90 exchange is made; the
// echo's YD runs along X and ZD along Z, the other way round under BETA 90.
TEST_P(OutlineTest, AsTheColumnStands) {
    const OutlineCase& c = GetParam();
    Model model = frameAt({{0, 0}});
    model.designBlocks = c.blocks;
    model.sectionTab = c.sections;
    model.rotatedMembers = c.rotated;
    buildPlanGrid(model);
    const std::vector<ColumnPosition> positions = columnPositions(model);
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0].alongX, c.alongX);
    EXPECT_EQ(positions[0].alongZ, c.alongZ);
    EXPECT_EQ(positions[0].circular, c.circular);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, OutlineTest,
    ::testing::Values(OutlineCase{"DesignBlock", {{1, 3200, 300, 600, 1000}}, {{1, 450, 300}}, {}, 600, 300, false},
                      OutlineCase{
                          "RoundDesignBlock", {{1, 3200, 450, 0, 1000, 40, 0, 0, 0, true}}, {}, {}, 450, 450, true},
                      OutlineCase{"EchoOnly", {}, {{1, 450, 300}}, {}, 450, 300, false},
                      OutlineCase{"EchoUnderBeta90", {}, {{1, 450, 300}}, {1}, 300, 450, false},
                      OutlineCase{"EchoListedTwiceUnderBeta90", {}, {{1, 450, 300}}, {1, 1}, 450, 300, false},
                      OutlineCase{"RoundEcho", {}, {{1, 500, 0}}, {1}, 500, 500, true},
                      OutlineCase{"NoSectionGiven", {}, {{2, 450, 300}}, {}, 0, 0, false}),
    [](const auto& testCase) { return testCase.param.name; });

// Two stacks read to the same centimetre: the column with the larger required area is scheduled
// and the other recorded, whichever the file lists last.
TEST(GridLines, SharedPositionKeepsTheLargerArea) {
    for (const bool largerLast : {false, true}) {
        SCOPED_TRACE(largerLast ? "larger listed last" : "larger listed first");
        Model model;
        model.joints = {{1, 0, 0, 0}, {2, 0, 350, 0}, {3, 0, 0, 0}, {4, 0, 350, 0}};
        model.members = {{11, 1, 2}, {12, 3, 4}};
        model.designBlocks = {{11, 3200, 300, 450, largerLast ? 1000.0f : 4000.0f},
                              {12, 3200, 300, 450, largerLast ? 4000.0f : 1000.0f}};
        buildPlanGrid(model);
        const int32_t kept = largerLast ? 12 : 11;
        const int32_t other = largerLast ? 11 : 12;
        EXPECT_EQ(designBlockAt(model, 1, 2, 1), kept - 10);
        ASSERT_EQ(model.sharedPositions.size(), 1u);
        EXPECT_EQ(model.sharedPositions[0].kept, kept);
        EXPECT_EQ(model.sharedPositions[0].other, other);
        EXPECT_EQ(model.sharedPositions[0].levelIndex, 2);
    }
}

}  // namespace
}  // namespace tierwise
