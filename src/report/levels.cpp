#include "report/levels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "model/numbers.h"

namespace tierwise {

namespace {

// Level index (1-based) of the level nearest to `metres`, when one lies within the tolerance.
std::optional<int32_t> findLevel(const Model& model, double metres) {
    std::optional<int32_t> best;
    double bestDistance = kLevelTolerance + 1e-9;
    for (size_t i = 0; i < model.gridY.size(); ++i) {
        const double distance = std::abs(model.gridY[i] / 100.0 - metres);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = static_cast<int32_t>(i + 1);
        }
    }
    return best;
}

// A whole number with thousands separated: 99988 gives "99,988".
std::string groupedNumber(size_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

// The model's levels for a message: a model of a hundred thousand levels must not give a line of
// a megabyte, so the list stops after a dozen.
std::string levelList(const Model& model) {
    constexpr size_t kListed = 12;
    if (model.gridY.empty()) return "none";
    std::string text;
    for (size_t i = 0; i < model.gridY.size() && i < kListed; ++i) {
        if (!text.empty()) text += ", ";
        text += formatDouble(model.gridY[i] / 100.0);
    }
    if (model.gridY.size() > kListed) text += " \u2026 and " + groupedNumber(model.gridY.size() - kListed) + " more";
    return text;
}

}  // namespace

bool isTicked(const LevelTicks& ticks, int32_t levelIndex, int32_t levelCount) {
    if (levelIndex == 1 || levelIndex == levelCount) return true;
    const auto at = static_cast<size_t>(levelIndex - 1);
    return at >= ticks.size() || ticks[at];
}

int32_t rangeCount(const LevelTicks& ticks, int32_t levelCount) {
    int32_t count = 0;
    for (int32_t i = 2; i <= levelCount; ++i) count += isTicked(ticks, i, levelCount) ? 1 : 0;
    return count;
}

std::string levelText(const Model& model, int32_t levelIndex) {
    return formatDouble(model.gridY[static_cast<size_t>(levelIndex - 1)] / 100.0);
}

std::vector<StoreyRange> storeyRanges(const Model& model, const LevelTicks& ticks) {
    std::vector<StoreyRange> ranges;
    const int32_t levels = model.levelCount();
    int32_t bottom = 1;
    for (int32_t level = 2; level <= levels; ++level) {
        if (!isTicked(ticks, level, levels)) continue;
        std::string span = levelText(model, bottom);
        span.append(" to ").append(levelText(model, level));
        ranges.push_back({bottom, level, std::move(span)});
        bottom = level;
    }
    return ranges;
}

std::vector<size_t> rangeOfLevels(const std::vector<StoreyRange>& ranges, int32_t levelCount) {
    std::vector<size_t> rangeOf(static_cast<size_t>(std::max(levelCount, 1)) + 1, 0);
    for (size_t k = 0; k < ranges.size(); ++k) {
        for (int32_t level = ranges[k].bottomLevel + 1; level <= ranges[k].topLevel; ++level) {
            rangeOf[static_cast<size_t>(level)] = k;
        }
    }
    return rangeOf;
}

LevelTicks ticksAtLevels(const Model& model, const std::vector<std::string>& metres) {
    LevelTicks ticks(static_cast<size_t>(model.levelCount()), false);
    for (const std::string& item : metres) {
        const std::optional<double> value = parseDecimal(item);
        if (!value) throw LevelNotFound("\"" + item + "\" is not a level in metres");
        const std::optional<int32_t> level = findLevel(model, *value);
        if (!level) {
            throw LevelNotFound("the model has no level at " + item + " m; its levels are " + levelList(model) +
                                " (m)");
        }
        ticks[static_cast<size_t>(*level - 1)] = true;
    }
    return ticks;
}

std::vector<std::string> splitLevelList(std::string_view text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t comma = text.find(',', start);
        const size_t stop = comma == std::string_view::npos ? text.size() : comma;
        items.emplace_back(text.substr(start, stop - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

}  // namespace tierwise
