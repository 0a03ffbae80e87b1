// Joint and column cubes: joints placed on the grid, columns found between joints of a grid line.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "grid/grid_index.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

struct Expect {
    int32_t xIndex, levelIndex, zIndex;
    int32_t joint, col;
};

struct CubeCase {
    std::string name;
    std::vector<JointEntry> joints;
    std::vector<MemberEntry> members;
    std::vector<float> colMembers;  // member number of each design entry
    std::vector<Expect> expect;
    std::vector<float> areas = {};                         // of each design entry; 1000 where not given
    std::vector<std::pair<int32_t, int32_t>> shared = {};  // (kept, other) members sharing a grid point
};

Model buildModel(const CubeCase& c) {
    Model model;
    model.joints = c.joints;
    model.members = c.members;
    for (size_t i = 0; i < c.colMembers.size(); ++i) {
        model.designBlocks.push_back({c.colMembers[i], 3000, 300, 450, i < c.areas.size() ? c.areas[i] : 1000});
    }
    return model;
}

class CubeTest : public ::testing::TestWithParam<CubeCase> {};

TEST_P(CubeTest, JointsAndColumns) {
    Model model = buildModel(GetParam());
    buildPlanGrid(model);
    for (const Expect& e : GetParam().expect) {
        SCOPED_TRACE("grid point (" + std::to_string(e.xIndex) + ", " + std::to_string(e.levelIndex) + ", " +
                     std::to_string(e.zIndex) + ")");
        EXPECT_EQ(jointAt(model, e.xIndex, e.levelIndex, e.zIndex), e.joint);
        EXPECT_EQ(designBlockAt(model, e.xIndex, e.levelIndex, e.zIndex), e.col);
    }
    std::vector<std::pair<int32_t, int32_t>> shared;
    for (const SharedPosition& p : model.sharedPositions) shared.emplace_back(p.kept, p.other);
    EXPECT_EQ(shared, GetParam().shared);
}

// Levels at 0, 350 and 700 cm; plan positions at X 0 and 600, Z 0.
INSTANTIATE_TEST_SUITE_P(
    Cube, CubeTest,
    ::testing::Values(
        CubeCase{"ColumnBetweenTwoLevels",
                 {{1, 0, 0, 0}, {2, 0, 350, 0}},
                 {{5, 1, 2}},
                 {5},
                 {{1, 1, 1, 1, 0}, {1, 2, 1, 2, 1}}},
        CubeCase{"MemberIsDirectional", {{1, 0, 0, 0}, {2, 0, 350, 0}}, {{5, 2, 1}}, {5}, {{1, 2, 1, 2, 0}}},
        CubeCase{"LastCoincidentJointWins",
                 {{1, 0, 0, 0}, {7, 0, 0, 0}, {2, 0, 350, 0}},
                 {{5, 1, 2}, {6, 7, 2}},
                 {5, 6},
                 {{1, 1, 1, 7, 0}, {1, 2, 1, 2, 2}},
                 {},
                 {{6, 5}}},
        // Stacks 4 mm apart read to one centimetre: the larger area stands, whichever is listed last.
        CubeCase{"CoincidentLargerAreaListedFirst",
                 {{1, 0, 0, 0}, {7, 0, 0, 0}, {2, 0, 350, 0}, {8, 0, 350, 0}},
                 {{5, 1, 2}, {6, 7, 8}},
                 {5, 6},
                 {{1, 2, 1, 8, 1}},
                 {4000, 1000},
                 {{5, 6}}},
        CubeCase{"CoincidentLargerAreaListedLast",
                 {{1, 0, 0, 0}, {7, 0, 0, 0}, {2, 0, 350, 0}, {8, 0, 350, 0}},
                 {{5, 1, 2}, {6, 7, 8}},
                 {5, 6},
                 {{1, 2, 1, 8, 2}},
                 {1000, 4000},
                 {{6, 5}}},
        CubeCase{"ColumnSpanningTwoStoreys",
                 {{1, 0, 0, 0}, {3, 0, 700, 0}, {11, 600, 0, 0}, {12, 600, 350, 0}},
                 {{9, 1, 3}},
                 {9},
                 {{1, 2, 1, 0, 0}, {1, 3, 1, 3, 1}}},
        CubeCase{"LineWithoutBaseJoint",
                 {{11, 600, 0, 0}, {2, 0, 350, 0}, {3, 0, 700, 0}},
                 {{8, 2, 3}},
                 {8},
                 {{1, 1, 1, 0, 0}, {1, 2, 1, 2, 0}, {1, 3, 1, 3, 1}}},
        CubeCase{"NothingBelowTheLowestJoint",
                 {{11, 600, 0, 0}, {12, 600, 350, 0}, {3, 0, 700, 0}},
                 {{8, 11, 3}},
                 {8},
                 {{1, 3, 1, 3, 0}}},
        CubeCase{"FirstOfTwoMembersOnTheSameJoints",
                 {{1, 0, 0, 0}, {2, 0, 350, 0}},
                 {{40, 1, 2}, {41, 1, 2}},
                 {41, 40},
                 {{1, 2, 1, 2, 2}}},
        CubeCase{
            "FirstOfTwoDesignEntries", {{1, 0, 0, 0}, {2, 0, 350, 0}}, {{40, 1, 2}}, {39, 40, 40}, {{1, 2, 1, 2, 2}}},
        CubeCase{"FractionalDesignEntryNeverMatches",
                 {{1, 0, 0, 0}, {2, 0, 350, 0}, {3, 0, 700, 0}},
                 {{40, 1, 2}, {41, 2, 3}},
                 {40.5f, 41.0f},
                 {{1, 2, 1, 2, 0}, {1, 3, 1, 3, 2}}},
        CubeCase{"MemberNumberZeroCountsAsNone",
                 {{1, 0, 0, 0}, {2, 0, 350, 0}},
                 {{0, 1, 2}, {40, 1, 2}},
                 {0, 40},
                 {{1, 2, 1, 2, 0}}},
        CubeCase{"MemberWithoutDesignEntry", {{1, 0, 0, 0}, {2, 0, 350, 0}}, {{40, 1, 2}}, {41}, {{1, 2, 1, 2, 0}}},
        CubeCase{"OneLevel", {{1, 0, 0, 0}, {2, 600, 0, 0}}, {{40, 1, 2}}, {40}, {{1, 1, 1, 1, 0}, {2, 1, 1, 2, 0}}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(Cube, FindMemberAndFindColRow) {
    const std::vector<MemberEntry> table{{7, 10, 20}, {8, 20, 10}, {9, 10, 20}};
    const detail::MemberIndex members(table);
    EXPECT_EQ(members.findMember(10, 20), 7);
    EXPECT_EQ(members.findMember(20, 10), 8);
    EXPECT_EQ(members.findMember(10, 30), 0);
    EXPECT_EQ(members.findMember(-10, 20), 0);

    const std::vector<DesignBlock> designBlocks{{7.5f}, {7}, {8}, {7}, {std::nanf("")}};
    const detail::ColumnIndex columns(designBlocks);
    EXPECT_EQ(columns.findColRow(7), 2);
    EXPECT_EQ(columns.findColRow(8), 3);
    EXPECT_EQ(columns.findColRow(9), 0);
}

TEST(Cube, PlanLinesInGridOrderBottomUp) {
    Model model;
    model.joints = {{9, 600, 700, 500}, {1, 0, 0, 0}, {8, 600, 0, 500}, {4, 0, 0, 500}, {2, 600, 0, 0}};
    buildPlanGrid(model);
    ASSERT_EQ(model.planLines.size(), 4u);
    const std::vector<std::pair<int32_t, int32_t>> order{{1, 1}, {1, 2}, {2, 1}, {2, 2}};
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(model.planLines[i].xIndex, order[i].first);
        EXPECT_EQ(model.planLines[i].zIndex, order[i].second);
    }
    ASSERT_EQ(model.planLines[3].points.size(), 2u);
    EXPECT_EQ(model.planLines[3].points[0].joint, 8);
    EXPECT_EQ(model.planLines[3].points[1].joint, 9);
    EXPECT_EQ(model.planLines[3].points[1].levelIndex, 2);  // levels 0 and 700 only
}

// The cubes as the plain loops over every grid point and every table entry give them.
struct DenseCubes {
    int32_t nx, ny, nz;
    std::vector<int32_t> joint, col;
    [[nodiscard]] size_t at(int32_t x, int32_t l, int32_t z) const {
        return static_cast<size_t>(((z - 1) * ny + (l - 1)) * nx + (x - 1));
    }
};

DenseCubes referenceCubes(const Model& m) {
    DenseCubes d{static_cast<int32_t>(m.gridX.size()),
                 static_cast<int32_t>(m.gridY.size()),
                 static_cast<int32_t>(m.gridZ.size()),
                 {},
                 {}};
    d.joint.assign(static_cast<size_t>(d.nx * d.ny * d.nz), 0);
    d.col = d.joint;
    for (int32_t x = 1; x <= d.nx; ++x)
        for (int32_t l = 1; l <= d.ny; ++l)
            for (int32_t z = 1; z <= d.nz; ++z)
                for (const JointEntry& j : m.joints)
                    if (j.x == m.gridX[x - 1] && j.y == m.gridY[l - 1] && j.z == m.gridZ[z - 1])
                        d.joint[d.at(x, l, z)] = j.number;
    auto findMember = [&](int32_t s, int32_t e) {
        for (const MemberEntry& mem : m.members)
            if (mem.start == s && mem.end == e) return mem.number;
        return 0;
    };
    auto findColRow = [&](int32_t member) {
        for (size_t i = 0; i < m.designBlocks.size(); ++i)
            if (static_cast<float>(member) == m.designBlocks[i].memberNo) return static_cast<int32_t>(i + 1);
        return 0;
    };
    auto areaOf = [&](int32_t member) {
        const int32_t row = findColRow(member);
        return row > 0 ? m.designBlocks[static_cast<size_t>(row - 1)].steelArea : -1.0f;
    };
    auto numbersAt = [&](int32_t x, int32_t l, int32_t z) {
        std::vector<int32_t> numbers;
        for (const JointEntry& j : m.joints)
            if (j.x == m.gridX[x - 1] && j.y == m.gridY[l - 1] && j.z == m.gridZ[z - 1] && j.number > 0 &&
                std::find(numbers.begin(), numbers.end(), j.number) == numbers.end())
                numbers.push_back(j.number);
        return numbers;
    };
    for (int32_t l = 2; l <= d.ny; ++l)
        for (int32_t x = 1; x <= d.nx; ++x)
            for (int32_t z = 1; z <= d.nz; ++z) {
                const int32_t top = d.joint[d.at(x, l, z)];
                if (!(top > 0)) continue;
                int32_t down = l - 1;
                while (d.joint[d.at(x, down, z)] == 0 && down > 1) --down;
                const int32_t bottom = d.joint[d.at(x, down, z)];
                if (!(bottom > 0)) continue;
                // Where several joints stand at either point, every column between them competes:
                // the larger required area, of equals the one between the points' own joints,
                // then the lowest member number.
                std::vector<int32_t> candidates;
                const int32_t member = findMember(bottom, top);
                if (member != 0) candidates.push_back(member);
                const std::vector<int32_t> below = numbersAt(x, down, z);
                const std::vector<int32_t> here = numbersAt(x, l, z);
                if (below.size() > 1 || here.size() > 1) {
                    std::vector<int32_t> others;
                    for (const int32_t b : below)
                        for (const int32_t t : here) {
                            const int32_t other = findMember(b, t);
                            if (other != 0 && other != member &&
                                std::find(others.begin(), others.end(), other) == others.end())
                                others.push_back(other);
                        }
                    std::sort(others.begin(), others.end());
                    candidates.insert(candidates.end(), others.begin(), others.end());
                }
                if (candidates.empty()) continue;
                int32_t best = candidates.front();
                for (const int32_t c : candidates)
                    if (areaOf(c) > areaOf(best)) best = c;
                d.col[d.at(x, l, z)] = findColRow(best);
            }
    return d;
}

// Random small frames full of the awkward cases: coincident joints (columns sharing a grid
// point), gaps in lines, members both ways round and twice over, duplicate and fractional design
// entries of different areas.
TEST(Cube, SameAsPlainLoopsOnRandomFrames) {
    std::mt19937 random(20251116);
    int columnsFound = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto pick = [&](int n) { return static_cast<int32_t>(random() % static_cast<unsigned>(n)); };
        Model model;
        const int jointCount = 1 + pick(40);
        for (int j = 0; j < jointCount; ++j) {
            // now and then a joint numbered 0 or -1, which stands for no joint or none that holds a column
            model.joints.push_back({pick(32) - 1, pick(4) * 300 - 300, pick(6) * 350, pick(3) * 500});
        }
        const int memberCount = pick(200);
        for (int i = 0; i < memberCount; ++i) {
            // Mostly members up a grid line (now and then typed top down), some anywhere.
            const JointEntry& a = model.joints[static_cast<size_t>(pick(jointCount))];
            const JointEntry& b = model.joints[static_cast<size_t>(pick(jointCount))];
            if (pick(4) > 0 && a.x == b.x && a.z == b.z && a.y != b.y) {
                const bool upward = (a.y < b.y) != (pick(5) == 0);
                model.members.push_back({pick(20), upward ? a.number : b.number, upward ? b.number : a.number});
            } else {
                model.members.push_back({pick(20), pick(32) - 1, pick(32) - 1});
            }
        }
        const int designBlockCount = pick(25);
        for (int i = 0; i < designBlockCount; ++i) {
            const float member = pick(5) == 0 ? static_cast<float>(pick(20)) + 0.5f : static_cast<float>(pick(20));
            model.designBlocks.push_back({member, 3500, 300, 450, static_cast<float>(500 * pick(4))});
        }
        buildPlanGrid(model);
        const DenseCubes reference = referenceCubes(model);
        for (int32_t x = 1; x <= reference.nx; ++x)
            for (int32_t l = 1; l <= reference.ny; ++l)
                for (int32_t z = 1; z <= reference.nz; ++z) {
                    ASSERT_EQ(jointAt(model, x, l, z), reference.joint[reference.at(x, l, z)])
                        << "joint at (" << x << ", " << l << ", " << z << ")";
                    ASSERT_EQ(designBlockAt(model, x, l, z), reference.col[reference.at(x, l, z)])
                        << "column at (" << x << ", " << l << ", " << z << ")";
                    columnsFound += reference.col[reference.at(x, l, z)] > 0 ? 1 : 0;
                }
    }
    EXPECT_GT(columnsFound, 100);  // the frames do hold columns
}

}  // namespace
}  // namespace tierwise
