// The named grid lines, the plan tolerance and grid references.
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

// 1 cm off line B is on line B (which stands where most of its columns stand), and the lines
// after it keep their names.
INSTANTIATE_TEST_SUITE_P(
    Grid, GridLinesTest,
    ::testing::Values(LinesCase{"WithinToleranceOnTheLine",
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

}  // namespace
}  // namespace tierwise
