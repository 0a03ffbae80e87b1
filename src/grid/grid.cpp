#include "grid/grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "grid/grid_index.h"
#include "model/rejection.h"

namespace tierwise {

namespace {

// The plan is moved so that the smallest X stands at 200 cm and the smallest Z at 300 cm.
constexpr int64_t kFirstX = 200;
constexpr int64_t kFirstZ = 300;

bool fitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// Shift that moves the smallest value of `list` to `first`; the list is ascending.
int32_t shiftFor(const std::vector<int32_t>& list, int64_t first, const char* axis) {
    if (list.empty()) return static_cast<int32_t>(first);
    const int64_t shift = first - list.front();
    const int64_t largest = list.back() + shift;
    if (!fitsInt32(shift) || !fitsInt32(largest)) {
        throw Rejection(std::string("The model is too wide along ") + axis + ": its joints span from " +
                        std::to_string(list.front()) + " cm to " + std::to_string(list.back()) +
                        " cm, more than a plan coordinate can hold.");
    }
    return static_cast<int32_t>(shift);
}

// 1-based position of `value` in the ascending list; every joint coordinate is in its list.
int32_t indexOf(const std::vector<int32_t>& list, int32_t value) {
    return static_cast<int32_t>(std::lower_bound(list.begin(), list.end(), value) - list.begin()) + 1;
}

void sortDistinctPairs(std::vector<std::pair<size_t, size_t>>& list) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

const GridPoint* findPoint(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex) {
    const auto line = std::lower_bound(model.planLines.begin(), model.planLines.end(), std::pair{xIndex, zIndex},
                                       [](const PlanLine& l, const std::pair<int32_t, int32_t>& key) {
                                           return std::pair{l.xIndex, l.zIndex} < key;
                                       });
    if (line == model.planLines.end() || line->xIndex != xIndex || line->zIndex != zIndex) return nullptr;
    const auto point = std::lower_bound(line->points.begin(), line->points.end(), levelIndex,
                                        [](const GridPoint& p, int32_t level) { return p.levelIndex < level; });
    if (point == line->points.end() || point->levelIndex != levelIndex) return nullptr;
    return &*point;
}

// A grid point where several joints stand: every joint number above 0 of them, in joints order
// (the one listed last is the joint of the grid point).
struct SharedPoint {
    size_t line = 0;
    size_t point = 0;
    std::vector<int32_t> joints;
};

// Every joint on its grid point, plan line by plan line, bottom up. Where several joints share
// a grid point the one listed last stands there, and the point goes to `shared`; a point left
// with joint number 0 holds no joint.
std::vector<PlanLine> placeJoints(const Model& model, std::vector<SharedPoint>& shared) {
    struct Placed {
        int32_t xIndex, zIndex, levelIndex;
        int32_t order;  // position in joints
    };
    std::vector<Placed> placed;
    placed.reserve(model.joints.size());
    for (int32_t j = 0; j < model.jointCount(); ++j) {
        const JointEntry& joint = model.joints[j];
        placed.push_back(
            {indexOf(model.gridX, joint.x), indexOf(model.gridZ, joint.z), indexOf(model.gridY, joint.y), j});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return std::tie(a.xIndex, a.zIndex, a.levelIndex, a.order) <
               std::tie(b.xIndex, b.zIndex, b.levelIndex, b.order);
    });

    std::vector<PlanLine> lines;
    size_t first = 0;  // the first entry at the present grid point
    for (size_t i = 0; i < placed.size(); ++i) {
        const Placed& p = placed[i];
        const bool lastAtPoint = i + 1 == placed.size() || placed[i + 1].xIndex != p.xIndex ||
                                 placed[i + 1].zIndex != p.zIndex || placed[i + 1].levelIndex != p.levelIndex;
        if (!lastAtPoint) continue;
        const size_t from = first;
        first = i + 1;
        const int32_t joint = model.joints[p.order].number;
        if (joint == 0) continue;
        if (lines.empty() || lines.back().xIndex != p.xIndex || lines.back().zIndex != p.zIndex) {
            lines.push_back({p.xIndex, p.zIndex, {}});
        }
        lines.back().points.push_back({p.levelIndex, joint, 0, 0});
        if (i == from) continue;
        SharedPoint point{lines.size() - 1, lines.back().points.size() - 1, {}};
        for (size_t k = from; k <= i; ++k) {
            const int32_t number = model.joints[placed[k].order].number;
            if (number > 0 && std::find(point.joints.begin(), point.joints.end(), number) == point.joints.end()) {
                point.joints.push_back(number);
            }
        }
        if (point.joints.size() > 1) shared.push_back(std::move(point));
    }
    return lines;
}

// Where several joints share a grid point (column stacks a few millimetres apart in plan, read to
// the same centimetre), every column from a joint of the grid point below to a joint of this one
// reaches it. The one with the larger required area stands there (a designed column before one
// without design results; of equals the column between the points' own joints, then the lowest
// member number), and the others are recorded in sharedPositions.
void placeSharedColumns(Model& model, const std::vector<SharedPoint>& shared, const detail::MemberIndex& members,
                        const detail::ColumnIndex& columns) {
    const auto jointsAt = [&](size_t line, size_t point) {
        const auto at = std::lower_bound(shared.begin(), shared.end(), std::pair{line, point},
                                         [](const SharedPoint& s, const std::pair<size_t, size_t>& key) {
                                             return std::pair{s.line, s.point} < key;
                                         });
        const GridPoint& own = model.planLines[line].points[point];
        return at != shared.end() && at->line == line && at->point == point ? at->joints
                                                                            : std::vector<int32_t>{own.joint};
    };
    const auto area = [&](int32_t member) {
        const int32_t block = columns.findColRow(member);
        return block > 0 ? model.designBlocks[static_cast<size_t>(block - 1)].steelArea
                         : -std::numeric_limits<float>::infinity();
    };
    std::vector<std::pair<size_t, size_t>> tops;  // grid points with a shared point below or at them
    for (const SharedPoint& point : shared) {
        tops.emplace_back(point.line, point.point);
        tops.emplace_back(point.line, point.point + 1);
    }
    sortDistinctPairs(tops);
    for (const auto& [l, k] : tops) {
        PlanLine& line = model.planLines[l];
        if (k == 0 || k >= line.points.size()) continue;
        GridPoint& point = line.points[k];
        if (point.joint <= 0 || line.points[k - 1].joint <= 0) continue;
        std::vector<int32_t> others;
        for (const int32_t bottom : jointsAt(l, k - 1)) {
            for (const int32_t top : jointsAt(l, k)) {
                const int32_t member = members.findMember(bottom, top);
                if (member != 0 && member != point.member) others.push_back(member);
            }
        }
        sortDistinct(others);
        if (others.empty()) continue;
        std::vector<int32_t> candidates;
        if (point.member != 0) candidates.push_back(point.member);
        candidates.insert(candidates.end(), others.begin(), others.end());
        size_t best = 0;
        for (size_t c = 1; c < candidates.size(); ++c) {
            if (area(candidates[c]) > area(candidates[best])) best = c;
        }
        point.member = candidates[best];
        point.designBlock = columns.findColRow(point.member);
        for (size_t c = 0; c < candidates.size(); ++c) {
            if (c != best) {
                model.sharedPositions.push_back(
                    {line.xIndex, line.zIndex, point.levelIndex, point.member, candidates[c]});
            }
        }
    }
}

}  // namespace

void sortDistinct(std::vector<int32_t>& list) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

void buildPlanGrid(Model& model) {
    std::vector<int32_t> xs, ys, zs;
    xs.reserve(model.joints.size());
    ys.reserve(model.joints.size());
    zs.reserve(model.joints.size());
    for (const JointEntry& joint : model.joints) {
        xs.push_back(joint.x);
        ys.push_back(joint.y);
        zs.push_back(joint.z);
    }
    sortDistinct(xs);
    sortDistinct(ys);
    sortDistinct(zs);

    const int32_t xShift = shiftFor(xs, kFirstX, "X");
    const int32_t zShift = shiftFor(zs, kFirstZ, "Z");
    for (JointEntry& joint : model.joints) {
        joint.x += xShift;
        joint.z += zShift;
    }
    for (int32_t& x : xs) x += xShift;
    for (int32_t& z : zs) z += zShift;

    model.gridX = std::move(xs);
    model.gridY = std::move(ys);
    model.gridZ = std::move(zs);
    model.xShift = xShift;
    model.zShift = zShift;
    std::vector<SharedPoint> shared;
    model.planLines = placeJoints(model, shared);
    model.sharedPositions.clear();

    // A column runs from the nearest joint below on the same grid line up to the joint above it;
    // levels where the line has no joint are passed over.
    const detail::MemberIndex members(model.members);
    const detail::ColumnIndex columns(model.designBlocks);
    for (PlanLine& line : model.planLines) {
        for (size_t k = 1; k < line.points.size(); ++k) {
            const int32_t bottom = line.points[k - 1].joint;
            const int32_t top = line.points[k].joint;
            if (top <= 0 || bottom <= 0) continue;
            const int32_t member = members.findMember(bottom, top);
            if (member == 0) continue;
            line.points[k].member = member;
            line.points[k].designBlock = columns.findColRow(member);
        }
    }
    if (!shared.empty()) placeSharedColumns(model, shared, members, columns);
}

int32_t jointAt(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex) {
    const GridPoint* point = findPoint(model, xIndex, levelIndex, zIndex);
    return point ? point->joint : 0;
}

int32_t designBlockAt(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex) {
    const GridPoint* point = findPoint(model, xIndex, levelIndex, zIndex);
    return point ? point->designBlock : 0;
}

}  // namespace tierwise
