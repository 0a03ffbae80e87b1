// The layout plan draws every column as it stands: its outline on the sheet against global X
// (across the sheet) and Z (down the sheet); tests/e2e/check_drawing.py measures them in the DXF.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drawing/schedule_drawing.h"
#include "grid/grid.h"

namespace tierwise {
namespace {

struct Extent {
    double left, bottom, right, top;
    [[nodiscard]] double width() const { return right - left; }
    [[nodiscard]] double height() const { return top - bottom; }
};

// The extents of every closed outline on layer OUTLINE smaller than `largest` mm, left to right.
std::vector<Extent> outlines(const Sheet& sheet, double largest) {
    std::vector<Extent> found;
    for (const Polyline& polyline : sheet.polylines) {
        if (polyline.layer != Layer::Outline || !polyline.closed) continue;
        Extent e{1e300, 1e300, -1e300, -1e300};
        for (const Point& p : polyline.points) {
            e.left = std::min(e.left, p.x), e.right = std::max(e.right, p.x);
            e.bottom = std::min(e.bottom, p.y), e.top = std::max(e.top, p.y);
        }
        if (e.width() < largest && e.height() < largest) found.push_back(e);
    }
    std::sort(found.begin(), found.end(), [](const Extent& a, const Extent& b) { return a.left < b.left; });
    return found;
}

// Four columns 6 m apart along X, each 300 by 600: from the member property echo (PRIS YD 600
// ZD 300) and from a design block (CROSS SECTION: 300 X 600), each unrotated and under BETA 90.
// The reader has made the BETA 90 exchange in the design block of member 4. A fifth, round from
// the echo (PRIS YD 500), and a sixth without a section in the file.
TEST(LayoutPlan, ColumnsStandAsTheFrameHasThem) {
    Model model;
    for (int32_t k = 0; k < 6; ++k) {
        model.joints.push_back({2 * k + 1, 600 * k, 0, 0});
        model.joints.push_back({2 * k + 2, 600 * k, 350, 0});
        model.members.push_back({k + 1, 2 * k + 1, 2 * k + 2});
    }
    model.sectionTab = {{1, 600, 300}, {2, 600, 300}, {5, 500, 0}};
    model.rotatedMembers = {2, 4};
    model.designBlocks = {{3, 3200, 300, 600, 1500}, {4, 3200, 600, 300, 1500}};
    buildPlanGrid(model);
    const std::vector<ColumnLine> lines = groupColumns(model);
    const ColumnDetailing schedule = detailColumns(model, lines, {}, {});
    const Sheet sheet =
        layoutPlanSheets(schedule, planColumns(schedule, model, lines), {"frame.anl", "2026-12-08", 40}).front();
    const std::string scale = std::find_if(sheet.texts.begin(), sheet.texts.end(), [](const Text& t) {
                                  return t.text.starts_with("Scale 1:");
                              })->text.substr(8);
    const double n = std::stod(scale);

    std::vector<Extent> drawn = outlines(sheet, 20);
    ASSERT_EQ(drawn.size(), 5u);
    drawn.pop_back();  // the sixth column's symbol
    // Unrotated: 600 along X, 300 along Z; under BETA 90 the other way round.
    const std::vector<std::pair<double, double>> expected{{600, 300}, {300, 600}, {600, 300}, {300, 600}};
    for (size_t k = 0; k < drawn.size(); ++k) {
        SCOPED_TRACE("member " + std::to_string(k + 1));
        EXPECT_NEAR(drawn[k].width(), expected[k].first / n, 1e-6);
        EXPECT_NEAR(drawn[k].height(), expected[k].second / n, 1e-6);
    }
    // The round column hollow at its diameter; a column of unknown section a 3 mm square.
    EXPECT_TRUE(std::any_of(sheet.circles.begin(), sheet.circles.end(), [&](const Circle& c) {
        return c.layer == Layer::Outline && c.diameter == 500 / n && !c.filled;
    }));
    EXPECT_EQ(outlines(sheet, 3.5).size(), 1u);
    // The designed columns carry their marks; those without design results are drawn hollow, unmarked.
    // (The legend names C1 once more, on NOTES.)
    EXPECT_EQ(std::count_if(sheet.texts.begin(), sheet.texts.end(),
                            [](const Text& t) { return t.text == "C1" && t.layer == Layer::Text; }),
              2);
}

}  // namespace
}  // namespace tierwise
