#include "grid/grid_lines.h"

#include <algorithm>
#include <cstdlib>

#include "model/numbers.h"

namespace tierwise {

namespace {

// The plan tolerance in the model's centimetres.
constexpr int32_t kToleranceCm = kPlanToleranceMm / 10;

// The named lines of one axis from the coordinate of every column position on it.
std::vector<GridLine> namedLines(std::vector<int32_t> values, bool lettered) {
    std::sort(values.begin(), values.end());
    std::vector<GridLine> lines;
    for (size_t first = 0; first < values.size();) {
        size_t end = first;
        while (end < values.size() && static_cast<int64_t>(values[end]) - values[first] <= kToleranceCm) ++end;
        if (end - first >= static_cast<size_t>(kNamedLineColumns)) {
            // The line stands where most of its columns stand, the first such place of equals.
            int32_t at = values[first];
            size_t most = 0;
            for (size_t i = first; i < end;) {
                size_t same = i;
                while (same < end && values[same] == values[i]) ++same;
                if (same - i > most) {
                    most = same - i;
                    at = values[i];
                }
                i = same;
            }
            const int number = static_cast<int>(lines.size()) + 1;
            lines.push_back({at, lettered ? gridLetters(number) : std::to_string(number)});
        }
        first = end;
    }
    return lines;
}

double outlineOf(float value) { return value > 0.0f ? static_cast<double>(value) : 0.0; }

// How often each member is listed under BETA 90, looked up by member.
class Rotations {
public:
    explicit Rotations(const std::vector<int32_t>& listed) : sorted_(listed) {
        std::sort(sorted_.begin(), sorted_.end());
    }
    [[nodiscard]] bool turned(int32_t member) const {
        const auto [from, to] = std::equal_range(sorted_.begin(), sorted_.end(), member);
        return (to - from) % 2 == 1;
    }

private:
    std::vector<int32_t> sorted_;
};

const MemberSection* echoedSection(const Model& model, int32_t member) {
    const auto at = std::lower_bound(model.sectionTab.begin(), model.sectionTab.end(), member,
                                     [](const MemberSection& s, int32_t m) { return s.member < m; });
    return at != model.sectionTab.end() && at->member == member ? &*at : nullptr;
}

std::string coordinateText(char axis, int32_t shifted, int32_t shift) {
    return std::string(1, axis) + " " + formatDouble((static_cast<int64_t>(shifted) - shift) / 100.0);
}

}  // namespace

std::vector<ColumnPosition> columnPositions(const Model& model) {
    std::optional<Rotations> rotations;  // sorted once, when a column without a design block needs it
    std::vector<ColumnPosition> positions;
    for (const PlanLine& line : model.planLines) {
        const GridPoint* lowest = nullptr;
        const GridPoint* designed = nullptr;
        for (const GridPoint& point : line.points) {
            if (point.member == 0) continue;
            if (!lowest) lowest = &point;
            if (point.designBlock > 0 && model.designBlocks[static_cast<size_t>(point.designBlock - 1)].width > 0.0f) {
                designed = &point;
                break;
            }
        }
        if (!lowest) continue;
        ColumnPosition position{line.xIndex, line.zIndex, lowest->member, 0, 0, 0, false};
        if (designed) {
            const DesignBlock& block = model.designBlocks[static_cast<size_t>(designed->designBlock - 1)];
            position.member = designed->member;
            position.designBlock = designed->designBlock;
            position.circular = block.circular || !(block.depth > 0.0f);
            position.alongZ = outlineOf(block.width);
            position.alongX = position.circular ? position.alongZ : outlineOf(block.depth);
        } else if (const MemberSection* section = echoedSection(model, lowest->member)) {
            position.circular = !(section->zd > 0.0f);
            if (position.circular) {
                position.alongX = position.alongZ = outlineOf(section->yd);
            } else {
                if (!rotations) rotations.emplace(model.rotatedMembers);
                const bool turned = rotations->turned(lowest->member);
                position.alongX = outlineOf(turned ? section->zd : section->yd);
                position.alongZ = outlineOf(turned ? section->yd : section->zd);
            }
        }
        positions.push_back(position);
    }
    return positions;
}

GridAxes gridAxes(const Model& model, const std::vector<ColumnPosition>& positions) {
    std::vector<int32_t> xs, zs;
    xs.reserve(positions.size());
    zs.reserve(positions.size());
    for (const ColumnPosition& position : positions) {
        xs.push_back(model.gridX[static_cast<size_t>(position.xIndex - 1)]);
        zs.push_back(model.gridZ[static_cast<size_t>(position.zIndex - 1)]);
    }
    return {namedLines(std::move(xs), true), namedLines(std::move(zs), false)};
}

std::optional<size_t> lineAt(const std::vector<GridLine>& axis, int32_t value) {
    const auto after =
        std::lower_bound(axis.begin(), axis.end(), value, [](const GridLine& line, int32_t v) { return line.at < v; });
    std::optional<size_t> nearest;
    int64_t distance = kToleranceCm + 1;
    for (auto it = after == axis.begin() ? after : after - 1; it != axis.end() && it <= after; ++it) {
        const int64_t d = std::llabs(static_cast<int64_t>(it->at) - value);
        if (d < distance) {
            distance = d;
            nearest = static_cast<size_t>(it - axis.begin());
        }
    }
    return nearest;
}

std::string gridReference(const Model& model, const GridAxes& axes, int32_t xIndex, int32_t zIndex) {
    const int32_t x = model.gridX[static_cast<size_t>(xIndex - 1)];
    const int32_t z = model.gridZ[static_cast<size_t>(zIndex - 1)];
    const std::optional<size_t> onX = lineAt(axes.x, x);
    const std::optional<size_t> onZ = lineAt(axes.z, z);
    // Built by appending, which GCC 12's -Wrestrict does not mistake for an overlapping copy.
    std::string ref;
    if (onX && onZ) return ref.append(axes.x[*onX].name).append("-").append(axes.z[*onZ].name);
    if (onZ) return ref.append("(").append(coordinateText('X', x, model.xShift)).append(")-").append(axes.z[*onZ].name);
    if (onX) return ref.append(axes.x[*onX].name).append("-(").append(coordinateText('Z', z, model.zShift)).append(")");
    return ref.append("(")
        .append(coordinateText('X', x, model.xShift))
        .append(" ")
        .append(coordinateText('Z', z, model.zShift))
        .append(")");
}

std::string gridLetters(int index) {
    // Drawing practice: no I or O, which read as 1 and 0.
    static constexpr char kLetters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
    constexpr int64_t kCount = sizeof kLetters - 1;
    std::string letters;
    for (int64_t rest = index; rest > 0; rest = (rest - 1) / kCount) {
        letters.insert(letters.begin(), kLetters[(rest - 1) % kCount]);
    }
    return letters;
}

}  // namespace tierwise
