// Column grouping: the lines gathered from the column cube and their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "model/rejection.h"
#include "report/grouping.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

using support::buildFrame;
using support::Column;
using support::Line;

const std::vector<int32_t> kLevels{0, 350, 700, 1050};

struct Group {
    int32_t node, firstBlock;     // the lowest column's design block, 1-based
    std::vector<int32_t> member;  // the governing column's first (0 when none), then bottom up
    int32_t b, D;
    std::vector<float> area;       // the largest first, then bottom up
    std::vector<float> levelArea;  // levels 1 to 4
};

struct GroupCase {
    std::string name;
    std::vector<Line> lines;
    std::vector<Group> groups;
};

class GroupingTest : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupingTest, LinesAndOrder) {
    const GroupCase& c = GetParam();
    const std::vector<ColumnLine> groups = groupColumns(buildFrame(kLevels, c.lines));
    ASSERT_EQ(groups.size(), c.groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        SCOPED_TRACE("group " + std::to_string(g + 1));
        const ColumnLine& got = groups[g];
        const Group& want = c.groups[g];
        EXPECT_EQ(got.node, want.node);
        EXPECT_EQ(got.columns.front().designBlock + 1, want.firstBlock);
        std::vector<int32_t> members{got.governing() ? got.governing()->member : 0};
        std::vector<float> areas{got.largestArea()};
        for (const LineColumn& column : got.columns) {
            members.push_back(column.member);
            areas.push_back(column.area);
        }
        EXPECT_EQ(members, want.member);
        EXPECT_EQ(got.section, (Section{want.b, want.D}));
        EXPECT_EQ(areas, want.area);
        for (int32_t level = 1; level <= 4; ++level) {
            EXPECT_EQ(got.areaAt(level), want.levelArea[static_cast<size_t>(level - 1)]) << "level " << level;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grouping, GroupingTest,
    ::testing::Values(
        GroupCase{"LineBottomUpWithLargestArea",
                  {{1, 1, 7, {{2, 101, 300, 450, 950.5f}, {3, 201, 300, 450, 1200}, {4, 301, 300, 450, 800}}}},
                  {{7, 1, {201, 101, 201, 301}, 300, 450, {1200, 950.5f, 1200, 800}, {0, 950.5f, 1200, 800}}}},
        GroupCase{"WidthZeroLeftOutLevelsAboveStillCount",
                  {{1, 1, 7, {{2, 101, 300, 450, 900}, {3, 201, 0, 450, 5000}, {4, 301, 300, 450, 700}}}},
                  {{7, 1, {101, 101, 301}, 300, 450, {900, 900, 700}, {0, 900, 0, 700}}}},
        GroupCase{"MissingDesignEntryLeftOut",
                  {{1, 1, 7, {{2, 101, 300, 450, 900, false}, {3, 201, 250, 500, 600}, {4, 301, 300, 450, 700}}}},
                  {{7, 1, {301, 201, 301}, 250, 500, {700, 600, 700}, {0, 0, 600, 700}}}},
        GroupCase{"LowestColumnLeftOutSectionFromNext",
                  {{1, 1, 7, {{2, 101, 0, 450, 900}, {3, 201, 250, 500, 600}}}},
                  {{7, 2, {201, 201}, 250, 500, {600, 600}, {0, 0, 600, 0}}}},
        GroupCase{"EqualLargestAreasLowerMemberWins",
                  {{1, 1, 7, {{2, 101, 300, 450, 1500}, {3, 201, 300, 450, 1500}}}},
                  {{7, 1, {101, 101, 201}, 300, 450, {1500, 1500, 1500}, {0, 1500, 1500, 0}}}},
        GroupCase{"AllFailedKeepsZero",
                  {{1, 1, 7, {{2, 101, 300, 450, 0}, {3, 201, 300, 450, 0}}}},
                  {{7, 1, {0, 101, 201}, 300, 450, {0, 0, 0}, {0, 0, 0, 0}}}},
        GroupCase{"BaseWithoutJointGivesNodeZero",
                  {{1, 1, 0, {{3, 201, 300, 450, 600}}}},
                  {{0, 1, {201, 201}, 300, 450, {600, 600}, {0, 0, 600, 0}}}},
        GroupCase{"CircularWhenDepthIsZero",
                  {{1, 1, 7, {{2, 101, 450, 0, 600}}}},
                  {{7, 1, {101, 101}, 0, 450, {600, 600}, {0, 600, 0, 0}}}},
        GroupCase{"RoundingHalvesToEven",
                  {{1, 1, 7, {{2, 12.5f, 299.5f, 300.5f, 600}}}},
                  {{7, 1, {12, 12}, 300, 300, {600, 600}, {0, 600, 0, 0}}}},
        GroupCase{
            "NoDesignedColumnsNoGroups", {{1, 1, 7, {{2, 101, 300, 450, 900, false}, {3, 201, 0, 450, 900}}}}, {}}),
    [](const auto& testCase) { return testCase.param.name; });

// Node numbers of the sorted groups.
std::vector<int32_t> nodeOrder(const std::vector<Line>& lines) {
    std::vector<int32_t> nodes;
    for (const ColumnLine& group : groupColumns(buildFrame(kLevels, lines))) nodes.push_back(group.node);
    return nodes;
}

TEST(GroupingOrder, SectionThenLargestAreaThenPlanPosition) {
    // Node numbers name the lines; plan positions (x, z) decide among equals.
    const std::vector<Line> lines{
        {1, 1, 1, {{2, 1, 300, 600, 900}}},
        {1, 2, 2, {{2, 2, 450, 300, 900}}},  // 450 X 300 sorts as 300 X 450
        {2, 1, 3, {{2, 3, 300, 450, 500}}},
        {2, 2, 4, {{2, 4, 450, 0, 900}}},    // circular first
        {3, 1, 5, {{2, 5, 300, 450, 900}}},  // ties with node 2: plan order keeps 2 first
        {3, 2, 6, {{2, 6, 250, 900, 100}}},
        {1, 3, 8, {{2, 7, 300, 450, 900}}},  // ties too; x 1 before x 3, after z 2 of x 1
    };
    EXPECT_EQ(nodeOrder(lines), (std::vector<int32_t>{4, 6, 3, 2, 8, 5, 1}));
}

TEST(GroupingOrder, ManyEqualLinesKeepPlanOrder) {
    std::vector<Line> lines;
    std::vector<int32_t> planOrder;
    for (int32_t x = 1; x <= 8; ++x) {
        for (int32_t z = 1; z <= 8; ++z) {
            // Every third line has the larger section and sorts after all the others.
            const bool larger = (x + z) % 3 == 0;
            lines.push_back({x, z, 100 * x + z, {{2, 1, 300, larger ? 600.0f : 450.0f, 900}}});
            if (!larger) planOrder.push_back(100 * x + z);
        }
    }
    std::reverse(lines.begin(), lines.end());  // the order they are given in does not matter
    std::vector<int32_t> nodes = nodeOrder(lines);
    nodes.resize(planOrder.size());
    EXPECT_EQ(nodes, planOrder);
}

TEST(GroupingOrder, UpperColumnsDoNotChangeTheSection) {
    const std::vector<Line> lines{
        {1, 1, 1, {{2, 1, 300, 600, 900}}},
        {2, 1, 2, {{2, 2, 300, 450, 900}, {3, 3, 600, 900, 2000}}},
    };
    EXPECT_EQ(nodeOrder(lines), (std::vector<int32_t>{2, 1}));
}

struct RefusalCase {
    std::string name;
    Column column;
    std::string message;
};

class GroupingRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(GroupingRefusalTest, ClearMessage) {
    const Model model = buildFrame(kLevels, {{1, 1, 7, {GetParam().column}}});
    try {
        groupColumns(model);
        FAIL() << "no rejection";
    } catch (const Rejection& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grouping, GroupingRefusalTest,
    ::testing::Values(
        RefusalCase{"MemberNumberTooLarge",
                    {2, 3e10f, 300, 450, 900},
                    "A column design block names member 3E+10, which is not a member number Tierwise can hold."},
        RefusalCase{"SectionTooLarge",
                    {2, 105, 300, 5e9f, 900},
                    "Column 105: the cross-section 300 X 5E+09 is too large to schedule."},
        RefusalCase{"SteelAreaNotANumber",
                    {2, 105, 300, 450, INFINITY},
                    "Column 105: the required steel area INF cannot be scheduled."}),
    [](const auto& testCase) { return testCase.param.name; });

// Every column of the frame that no line holds is named with its reason, bottom up.
TEST(Grouping, LeftOutColumnsNamed) {
    const Model frame = buildFrame(
        kLevels,
        {{1,
          1,
          7,
          {{2, 101, 300, 450, 900}, {3, 201, 0, 450, 900}, {4, 301, 300, 450, -5}, {4, 302, 300, 450, 900, false}}},
         {1, 2, 8, {{2, 102, 300, 450, 900, false}}}});
    // A stack a few mm from line (1, 2), read to the same centimetre, with the smaller area.
    Model model = frame;
    model.sharedPositions.push_back({1, 2, 2, 102, 112});
    using enum LeftOutReason;
    const std::vector<std::tuple<int32_t, int32_t, LeftOutReason>> expected{{201, 3, NoSection},
                                                                            {301, 4, NegativeArea},
                                                                            {302, 4, NoDesignResults},
                                                                            {102, 2, NoDesignResults},
                                                                            {112, 2, SharesPosition}};
    std::vector<std::tuple<int32_t, int32_t, LeftOutReason>> got;
    for (const LeftOutColumn& column : leftOutColumns(model))
        got.emplace_back(column.member, column.levelIndex, column.reason);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(
        leftOutWarnings(model, leftOutColumns(model)),
        (std::vector<std::string>{
            "2 columns without design results, left out of the schedule: members 302 (to 10.5 m), 102 (to 3.5 m)",
            "1 column whose design block gives a width of 0 or less, left out of the schedule: member 201 (to 7 m)",
            "1 column whose design block gives a required steel area below 0, left out of the schedule: member "
            "301 (to 10.5 m)",
            "1 column sharing its plan position with a column of larger required area (stacks a few mm apart), left "
            "out of the schedule: member 112 (to 3.5 m, beside 102)"}));
    ASSERT_EQ(groupColumns(model).size(), 1u);
    EXPECT_EQ(groupColumns(model).front().columns.size(), 1u);
}

}  // namespace
}  // namespace tierwise
