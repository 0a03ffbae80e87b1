#include "report/grouping.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "model/numbers.h"
#include "model/rejection.h"

namespace tierwise {

namespace {

int32_t roundedMember(const ColEntry& entry) {
    const std::optional<int32_t> number = roundToInt32(entry.memberNo);
    if (!number) {
        throw Rejection("A column design block names member " + memberText(entry) +
                        ", which is not a member number Tierwise can hold.");
    }
    return *number;
}

int32_t roundedDimension(const ColEntry& entry, float value) {
    const std::optional<int32_t> rounded = roundToInt32(value);
    if (!rounded) {
        throw Rejection("Column " + memberText(entry) + ": the cross-section " + formatSingle(entry.width) + " X " +
                        formatSingle(entry.depth) + " is too large to schedule.");
    }
    return *rounded;
}

float steelArea(const ColEntry& entry) {
    if (!std::isfinite(entry.steelArea)) {
        throw Rejection("Column " + memberText(entry) + ": the required steel area " + formatSingle(entry.steelArea) +
                        " cannot be scheduled.");
    }
    return entry.steelArea;
}

// Starts a line at its lowest collected column.
ColGroup openGroup(const PlanLine& line, int32_t col, const ColEntry& entry) {
    ColGroup group;
    group.xIndex = line.xIndex;
    group.zIndex = line.zIndex;
    group.firstCol = col;
    group.node = line.points.front().levelIndex == 1 ? line.points.front().joint : 0;
    const bool widthSmaller = entry.width < entry.depth;
    group.dimMin = roundedDimension(entry, widthSmaller ? entry.width : entry.depth);
    group.dimMax = roundedDimension(entry, widthSmaller ? entry.depth : entry.width);
    return group;
}

// Largest area and its member; the lowest of several equal largest areas wins, and a line whose
// areas are all 0 keeps 0 in both.
void findLargest(ColGroup& group) {
    for (int32_t i = 1; i <= group.nCols; ++i) {
        if (group.area[0] < group.area[i]) {
            group.area[0] = group.area[i];
            group.memb[0] = group.memb[i];
        }
    }
}

}  // namespace

std::string memberText(const ColEntry& entry) { return formatSingle(entry.memberNo); }

float ColGroup::levelAreaAt(int32_t levelIndex) const {
    const auto at = std::lower_bound(levelArea.begin(), levelArea.end(), levelIndex,
                                     [](const LevelArea& entry, int32_t level) { return entry.levelIndex < level; });
    return at != levelArea.end() && at->levelIndex == levelIndex ? at->area : 0.0f;
}

std::vector<ColGroup> groupColumns(const Model& model) {
    std::vector<ColGroup> groups;
    for (const PlanLine& line : model.cube) {
        std::optional<ColGroup> group;
        for (const CubePoint& point : line.points) {
            if (point.col <= 0) continue;
            const ColEntry& entry = model.colTab[static_cast<size_t>(point.col - 1)];
            // A column without a width is left out; the levels above it still count.
            if (!(entry.width > 0.0f)) continue;
            if (!group) group = openGroup(line, point.col, entry);
            const float area = steelArea(entry);
            group->memb.push_back(roundedMember(entry));
            group->area.push_back(area);
            group->levelArea.push_back({point.levelIndex, area, point.col});
            ++group->nCols;
        }
        if (group) {
            findLargest(*group);
            groups.push_back(std::move(*group));
        }
    }
    std::stable_sort(groups.begin(), groups.end(), [](const ColGroup& a, const ColGroup& b) {
        return std::tie(a.dimMin, a.dimMax, a.area[0]) < std::tie(b.dimMin, b.dimMax, b.area[0]);
    });
    return groups;
}

}  // namespace tierwise
