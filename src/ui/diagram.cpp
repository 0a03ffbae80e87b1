#include "ui/diagram.h"

#include <algorithm>
#include <cmath>

#include "model/numbers.h"
#include "model/rejection.h"

namespace tierwise::diagram {
namespace {

// How far a level line, held as a float, may lie off the exact place its level calls for.
constexpr double kLineSlack = 0.01;

// Height in twips the levels `gridY` want when they must scroll anyway: every row a line of text
// apart, and more where that lets the common storey keep a line of its own, so a tower of equal
// storeys scrolls without its boxes leaving their lines. Never more than twice the least.
double scrollingHeight(const std::vector<int32_t>& gridY) {
    const auto n = gridY.size();
    const double least = static_cast<double>(n - 1) * kRowGap;
    std::vector<int64_t> storeys;
    storeys.reserve(n - 1);
    for (std::size_t i = 1; i < n; ++i) storeys.push_back(int64_t{gridY[i]} - gridY[i - 1]);
    const auto middle = storeys.begin() + static_cast<std::ptrdiff_t>(storeys.size() / 2);
    std::nth_element(storeys.begin(), middle, storeys.end());
    if (*middle <= 0) return least;
    const auto span = static_cast<double>(int64_t{gridY.back()} - gridY.front());
    return std::clamp(span / static_cast<double>(*middle) * kRowGap, least, 2 * least);
}

double usableDpi(double dpi) { return dpi > 0 ? dpi : kFallbackDpi; }

// Nearest 32-bit integer, halves to even; a value beyond that range means a layout that cannot exist.
int32_t toInt32(double value) {
    const auto rounded = roundToInt32(value);
    if (!rounded) throw Rejection("The level diagram does not fit the window.");
    return *rounded;
}

}  // namespace

int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * usableDpi(dpi) / kTwipsPerInch));
}

int32_t pixelsToTwips(int pixels, double dpi) {
    return static_cast<int32_t>(std::lround(pixels * kTwipsPerInch / usableDpi(dpi)));
}

int32_t buttonLeft(int32_t clientWidth) {
    return std::min(WindowLayout::buttonLeft, clientWidth - WindowLayout::buttonWidth - WindowLayout::buttonMargin);
}

int32_t outerHeightForLayout(std::optional<int32_t> frameHeight, int32_t clientHeight) {
    const int32_t outer = frameHeight.value_or(clientHeight + WindowLayout::frameHeightEstimate);
    // Whatever hangs below the lowest level line must still end inside the client area.
    int32_t limit = static_cast<int32_t>((clientHeight - kOverhang) / 0.9);
    while (limit > 0 && toInt32(limit * 0.9) + kOverhang > clientHeight) --limit;
    return std::min(outer, limit);
}

std::vector<double> spreadRows(const std::vector<double>& wanted, double gap, double low, double high) {
    const std::size_t n = wanted.size();
    bool apart = true;
    for (std::size_t i = 1; i < n; ++i) apart = apart && wanted[i - 1] - wanted[i] >= gap;
    if (apart && (n == 0 || (wanted.back() >= low && wanted.front() <= high))) return wanted;

    // Top down, row k shifted up by k gaps: the gaps become "not decreasing", and the nearest
    // not-decreasing sequence is found by pooling neighbouring runs that break it into their mean.
    struct Run {
        double sum;
        std::size_t count;
        [[nodiscard]] double mean() const { return sum / static_cast<double>(count); }
    };
    std::vector<Run> runs;
    runs.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        runs.push_back({wanted[n - 1 - k] - static_cast<double>(k) * gap, 1});
        while (runs.size() > 1 && runs[runs.size() - 2].mean() > runs.back().mean()) {
            runs[runs.size() - 2].sum += runs.back().sum;
            runs[runs.size() - 2].count += runs.back().count;
            runs.pop_back();
        }
    }
    // Within [low, high] where the rows fit there; otherwise they hang down from low.
    const double span = static_cast<double>(n - 1) * gap;
    const double highest = std::max(low, high - span);

    std::vector<double> rows(n);
    std::size_t k = 0;
    for (const Run& run : runs) {
        const double shifted = std::clamp(run.mean(), low, highest);
        for (std::size_t j = 0; j < run.count; ++j, ++k) {
            const bool untouched = run.count == 1 && shifted == run.mean();
            rows[n - 1 - k] = untouched ? wanted[n - 1 - k] : shifted + static_cast<double>(k) * gap;
        }
    }
    return rows;
}

DiagramLayout layOutDiagram(int32_t outerHeight, const std::vector<int32_t>& gridY) {
    const auto n = gridY.size();
    if (n < 2 || gridY.back() == gridY.front()) {
        throw Rejection("The analysis file holds fewer than two levels.");
    }
    DiagramLayout layout;
    layout.diagTop = std::max(toInt32(outerHeight * 0.1), kDiagramTopMin);
    layout.diagBottom = toInt32(outerHeight * 0.9);
    // Room for every row a line of text apart, however short the window.
    if (layout.diagBottom - layout.diagTop < static_cast<double>(n - 1) * kRowGap) {
        layout.diagBottom = toInt32(layout.diagTop + scrollingHeight(gridY));
    }
    // Differences in 64 bits: levels are 32-bit values and their span must not wrap.
    const auto height = int64_t{layout.diagBottom} - layout.diagTop;
    const auto span = int64_t{gridY.back()} - gridY.front();
    layout.diagScale = static_cast<float>(static_cast<double>(height) / static_cast<double>(span));

    layout.levels.reserve(n);
    for (const int32_t level : gridY) {
        const auto dy = static_cast<double>(int64_t{level} - gridY.front());
        const double y = static_cast<double>(layout.diagBottom) - dy * static_cast<double>(layout.diagScale);
        LevelMark mark;
        mark.lineY = static_cast<float>(y);
        mark.caption = formatDouble(roundTo2Decimals(level / 100.0));
        layout.levels.push_back(std::move(mark));
    }
    std::vector<double> lines;
    lines.reserve(n);
    for (const LevelMark& mark : layout.levels) lines.push_back(mark.lineY);
    const std::vector<double> rows =
        spreadRows(lines, kRowGap, layout.diagTop - kLineSlack, layout.diagBottom + kLineSlack);
    for (std::size_t i = 0; i < n; ++i) {
        LevelMark& mark = layout.levels[i];
        mark.boxTop = static_cast<float>(rows[i] - WindowLayout::levelBoxHeight / 2.0);
        if (mark.spread()) layout.boxLeft = WindowLayout::spreadLevelBoxLeft;
    }
    return layout;
}

std::vector<StoreyLabel> storeyLabels(const std::vector<int32_t>& gridY, const DiagramLayout& layout,
                                      const std::vector<bool>& ticked) {
    const auto n = std::min(gridY.size(), layout.levels.size());
    const int32_t diagBottom = layout.diagBottom;
    const float diagScale = layout.diagScale;
    // How far the row of level i was moved off its line.
    const auto shift = [&layout](std::size_t i) {
        const LevelMark& mark = layout.levels[i - 1];
        return mark.spread() ? mark.rowY() - static_cast<double>(mark.lineY) : 0.0;
    };
    std::vector<StoreyLabel> labels(n);
    std::size_t prevLevel = 1;
    for (std::size_t i = 2; i <= n; ++i) {
        const bool isTicked = i - 1 < ticked.size() && ticked[i - 1];
        if (!isTicked) continue;
        // Twice the height of the middle of the storey below level i over the lowest level.
        const int64_t mid = (int64_t{gridY[i - 2]} - gridY[0]) + (int64_t{gridY[i - 1]} - gridY[0]);
        const int32_t off = toInt32(static_cast<double>(mid) / 2.0 * static_cast<double>(diagScale));
        StoreyLabel& label = labels[i - 1];
        const int64_t storey = int64_t{gridY[i - 1]} - gridY[prevLevel - 1];
        label.caption = formatDouble(static_cast<double>(storey) / 100.0) + " M";
        const double moved = (shift(i - 1) + shift(i)) / 2.0;
        label.top = toInt32(static_cast<double>(int64_t{diagBottom} - off) + moved);
        label.visible = true;
        prevLevel = i;
    }
    return labels;
}

std::string levelToolTip(const std::vector<int32_t>& gridY, std::size_t index) {
    if (index < 1 || index > gridY.size()) return {};
    const auto metres = [](int64_t cm) { return formatDouble(roundTo2Decimals(static_cast<double>(cm) / 100.0)); };
    std::string tip = "Level " + metres(gridY[index - 1]) + " m";
    if (index == 1) {
        return tip + ", the lowest: the schedule always starts here, so this box stays ticked.";
    }
    tip += ", storey height " + metres(int64_t{gridY[index - 1]} - gridY[index - 2]) + " m";
    if (index == gridY.size()) return tip + ", the highest: the schedule always ends here, so this box stays ticked.";
    return tip + ".";
}

bool tickAfterClick(int32_t index, int32_t levelCount, bool clickedState) {
    return index == 1 || index == levelCount ? true : clickedState;
}

}  // namespace tierwise::diagram
