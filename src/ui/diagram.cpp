#include "ui/diagram.h"

#include <algorithm>
#include <cmath>

#include "model/numbers.h"
#include "model/rejection.h"

namespace tierwise::diagram {
namespace {

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

int32_t outerHeightForLayout(std::optional<int32_t> frameHeight, int32_t clientHeight) {
    const int32_t outer = frameHeight.value_or(clientHeight + kFrameEstimate);
    // Whatever hangs below the lowest level line must still end inside the client area.
    constexpr int32_t overhang = std::max(kLevelBoxHeight / 2, kStoreyLabelHeight);
    int32_t limit = static_cast<int32_t>((clientHeight - overhang) / 0.9);
    while (limit > 0 && toInt32(limit * 0.9) + overhang > clientHeight) --limit;
    return std::min(outer, limit);
}

DiagramLayout layOutDiagram(int32_t outerHeight, const std::vector<int32_t>& gridY) {
    const auto n = gridY.size();
    if (n < 2 || gridY.back() == gridY.front()) {
        throw Rejection("The analysis file holds fewer than two levels.");
    }
    DiagramLayout layout;
    layout.diagTop = toInt32(outerHeight * 0.1);
    layout.diagBottom = toInt32(outerHeight * 0.9);
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
        mark.boxTop = static_cast<float>(static_cast<double>(mark.lineY) - kLevelBoxHeight / 2.0);
        mark.caption = formatDouble(roundTo2Decimals(level / 100.0));
        layout.levels.push_back(std::move(mark));
    }
    return layout;
}

std::vector<StoreyLabel> displtyHoc(const std::vector<int32_t>& gridY, int32_t diagBottom,
                                    float diagScale, const std::vector<bool>& ticked) {
    const auto n = gridY.size();
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
        label.top = toInt32(static_cast<double>(int64_t{diagBottom} - off));
        label.visible = true;
        prevLevel = i;
    }
    return labels;
}

bool tickAfterClick(int32_t index, int32_t levelCount, bool clickedState) {
    return index == 1 || index == levelCount ? true : clickedState;
}

}  // namespace tierwise::diagram
