#include "report/grouping.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "model/numbers.h"
#include "model/rejection.h"

namespace tierwise {

namespace {

int32_t roundedMember(const DesignBlock& entry) {
    const std::optional<int32_t> number = roundToInt32(entry.memberNo);
    if (!number) {
        throw Rejection("A column design block names member " + memberText(entry) +
                        ", which is not a member number Tierwise can hold.");
    }
    return *number;
}

Section lowestSection(const DesignBlock& entry) {
    const std::optional<Section> section = columnSection(entry);
    if (!section) {
        throw Rejection("Column " + memberText(entry) + ": the cross-section " + formatSingle(entry.width) + " X " +
                        formatSingle(entry.depth) + " is too large to schedule.");
    }
    return *section;
}

float steelArea(const DesignBlock& entry) {
    if (!std::isfinite(entry.steelArea)) {
        throw Rejection("Column " + memberText(entry) + ": the required steel area " + formatSingle(entry.steelArea) +
                        " cannot be scheduled.");
    }
    return entry.steelArea;
}

// Starts a line at its lowest collected column.
ColumnLine openLine(const PlanLine& plan, const DesignBlock& entry) {
    ColumnLine line;
    line.xIndex = plan.xIndex;
    line.zIndex = plan.zIndex;
    line.node = plan.points.front().levelIndex == 1 ? plan.points.front().joint : 0;
    line.section = lowestSection(entry);
    return line;
}

// Why a designed column is left out of its line, or nothing.
std::optional<LeftOutReason> leftOutReason(const DesignBlock& entry) {
    if (!(entry.width > 0.0f)) return LeftOutReason::NoSection;
    if (entry.steelArea < 0.0f) return LeftOutReason::NegativeArea;
    return std::nullopt;
}

}  // namespace

std::vector<LeftOutColumn> leftOutColumns(const Model& model) {
    std::vector<LeftOutColumn> left;
    for (const PlanLine& plan : model.planLines) {
        for (const GridPoint& point : plan.points) {
            if (point.member == 0) continue;
            if (point.designBlock <= 0) {
                left.push_back({point.member, point.levelIndex, LeftOutReason::NoDesignResults});
            } else if (const auto reason =
                           leftOutReason(model.designBlocks[static_cast<size_t>(point.designBlock - 1)])) {
                left.push_back({point.member, point.levelIndex, *reason});
            }
        }
    }
    for (const SharedPosition& shared : model.sharedPositions) {
        left.push_back({shared.other, shared.levelIndex, LeftOutReason::SharesPosition, shared.kept});
    }
    return left;
}

std::vector<std::string> leftOutWarnings(const Model& model, const std::vector<LeftOutColumn>& left) {
    constexpr size_t kNamed = 5;
    struct Kind {
        LeftOutReason reason;
        const char* what;
    };
    static constexpr Kind kKinds[] = {
        {LeftOutReason::NoDesignResults, "without design results"},
        {LeftOutReason::NoSection, "whose design block gives a width of 0 or less"},
        {LeftOutReason::NegativeArea, "whose design block gives a required steel area below 0"},
        {LeftOutReason::SharesPosition,
         "sharing its plan position with a column of larger required area (stacks a few mm apart)"},
    };
    std::vector<std::string> lines;
    for (const Kind& kind : kKinds) {
        size_t count = 0;
        std::string named;
        for (const LeftOutColumn& column : left) {
            if (column.reason != kind.reason) continue;
            if (count++ < kNamed) {
                if (!named.empty()) named += ", ";
                named += std::to_string(column.member) + " (to " +
                         formatDouble(model.gridY[static_cast<size_t>(column.levelIndex - 1)] / 100.0) + " m" +
                         (column.kept != 0 ? ", beside " + std::to_string(column.kept) : "") + ")";
            }
        }
        if (count == 0) continue;
        std::string line = std::to_string(count) + (count == 1 ? " column " : " columns ") + kind.what +
                           ", left out of the schedule: member" + (count == 1 ? " " : "s ") + named;
        if (count > kNamed) line += " and " + std::to_string(count - kNamed) + " more";
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<Section> columnSection(const DesignBlock& block) {
    const std::optional<int32_t> width = roundToInt32(block.width);
    const std::optional<int32_t> depth = roundToInt32(block.depth);
    if (!width || !depth) return std::nullopt;
    return Section{std::min(*width, *depth), std::max(*width, *depth)};
}

std::string memberText(const DesignBlock& entry) { return formatSingle(entry.memberNo); }

const LineColumn* ColumnLine::governing() const {
    const LineColumn* largest = nullptr;
    for (const LineColumn& column : columns) {
        if (column.area > (largest ? largest->area : 0.0f)) largest = &column;
    }
    return largest;
}

float ColumnLine::largestArea() const {
    const LineColumn* column = governing();
    return column ? column->area : 0.0f;
}

float ColumnLine::areaAt(int32_t levelIndex) const {
    const auto at = std::lower_bound(columns.begin(), columns.end(), levelIndex,
                                     [](const LineColumn& column, int32_t level) { return column.levelIndex < level; });
    return at != columns.end() && at->levelIndex == levelIndex ? at->area : 0.0f;
}

std::vector<ColumnLine> groupColumns(const Model& model) {
    std::vector<ColumnLine> lines;
    for (const PlanLine& plan : model.planLines) {
        std::optional<ColumnLine> line;
        for (const GridPoint& point : plan.points) {
            if (point.designBlock <= 0) continue;
            const int32_t block = point.designBlock - 1;
            const DesignBlock& entry = model.designBlocks[static_cast<size_t>(block)];
            // A column without a width or with a negative area is left out (leftOutColumns names it);
            // the levels above it still count.
            if (leftOutReason(entry)) continue;
            if (!line) line = openLine(plan, entry);
            const float area = steelArea(entry);
            line->columns.push_back({point.levelIndex, roundedMember(entry), block, area});
        }
        if (line) lines.push_back(std::move(*line));
    }
    // The largest area of each line, worked out once for the sort.
    std::vector<std::pair<float, size_t>> keys;
    keys.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) keys.emplace_back(lines[i].largestArea(), i);
    std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const Section& sa = lines[a.second].section;
        const Section& sb = lines[b.second].section;
        return std::tie(sa.b, sa.D, a.first) < std::tie(sb.b, sb.D, b.first);
    });
    std::vector<ColumnLine> sorted;
    sorted.reserve(lines.size());
    for (const auto& key : keys) sorted.push_back(std::move(lines[key.second]));
    return sorted;
}

}  // namespace tierwise
