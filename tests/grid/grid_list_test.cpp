// The coordinate grid: distinct sorted X, Y and Z lists and the plan shift.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/grid.h"
#include "model/rejection.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

struct ListCase {
    std::string name;
    std::vector<JointEntry> joints;
    std::vector<int32_t> gridX, gridY, gridZ;
    int32_t xShift, zShift;
};

class GridListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(GridListTest, ListsAndShift) {
    const ListCase& c = GetParam();
    Model model;
    model.joints = c.joints;
    buildPlanGrid(model);
    EXPECT_EQ(model.gridX, c.gridX);
    EXPECT_EQ(model.gridY, c.gridY);
    EXPECT_EQ(model.gridZ, c.gridZ);
    EXPECT_EQ(model.xShift, c.xShift);
    EXPECT_EQ(model.zShift, c.zShift);
    // Joints move with the lists; Y and the joint numbers stay as read.
    ASSERT_EQ(model.joints.size(), c.joints.size());
    for (size_t j = 0; j < c.joints.size(); ++j) {
        SCOPED_TRACE("joint entry " + std::to_string(j + 1));
        EXPECT_EQ(model.joints[j].number, c.joints[j].number);
        EXPECT_EQ(model.joints[j].x, c.joints[j].x + c.xShift);
        EXPECT_EQ(model.joints[j].y, c.joints[j].y);
        EXPECT_EQ(model.joints[j].z, c.joints[j].z + c.zShift);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridListTest,
    ::testing::Values(ListCase{"NoJoints", {}, {}, {}, {}, 200, 300},
                      ListCase{"OneJointAtOrigin", {{1, 0, 0, 0}}, {200}, {0}, {300}, 200, 300},
                      ListCase{"AnyOrderSortedAndDistinct",
                               {{3, 600, 350, 500}, {1, 0, 0, 0}, {2, 600, 0, 0}, {4, 0, 350, 500}, {5, 600, 700, 500}},
                               {200, 800},
                               {0, 350, 700},
                               {300, 800},
                               200,
                               300},
                      ListCase{"NegativeCoordinatesFirst",
                               {{1, 400, -350, 0}, {2, -1500, 0, 250}, {3, 0, 350, -20}},
                               {200, 1700, 2100},
                               {-350, 0, 350},
                               {300, 320, 570},
                               1700,
                               320},
                      ListCase{"AllOnOneX",
                               {{1, 750, 0, 0}, {2, 750, 300, 0}, {3, 750, 300, 900}},
                               {200},
                               {0, 300},
                               {300, 1200},
                               -550,
                               300},
                      ListCase{"RepeatedCoordinatesOnce",
                               {{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}, {4, 10, 0, 0}, {5, 10, 0, 0}},
                               {200, 210},
                               {0},
                               {300},
                               200,
                               300}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(GridList, SortListKeepsEachValueOnce) {
    std::vector<int32_t> list{5, -3, 5, 0, -3, 2147483647, -2147483647 - 1};
    sortDistinct(list);
    EXPECT_EQ(list, (std::vector<int32_t>{-2147483647 - 1, -3, 0, 5, 2147483647}));
}

TEST(GridList, PlanTooWideToShiftIsRefused) {
    // The largest X would pass the 32-bit range once the smallest is moved to 200.
    Model model;
    model.joints = {{1, -2147483647, 0, 0}, {2, 2147483000, 0, 0}};
    const std::vector<JointEntry> before = model.joints;
    try {
        buildPlanGrid(model);
        FAIL() << "no rejection";
    } catch (const Rejection& e) {
        EXPECT_STREQ(e.what(),
                     "The model is too wide along X: its joints span from -2147483647 cm to 2147483000 cm, "
                     "more than a plan coordinate can hold.");
    }
    EXPECT_EQ(model.joints[0].x, before[0].x);  // nothing shifted
}

}  // namespace
}  // namespace tierwise
