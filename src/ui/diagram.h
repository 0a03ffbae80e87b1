// Geometry of the elevation diagram and the storey height labels of the level window.
// Everything is in twips (1/1440 inch) from the top left corner of the client area, y pointing
// down; the window only converts these results to pixels and applies them to its controls.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/window_layout.h"

namespace tierwise::diagram {

using ui::WindowLayout;

// Neighbouring level rows closer than this (one line of text, a level box) would overprint:
// such rows are spread apart.
inline constexpr int32_t kRowGap = WindowLayout::levelBoxHeight;
// The highest level line lies at least this far down, so its box stays clear of the top band.
inline constexpr int32_t kDiagramTopMin = WindowLayout::topBandHeight + WindowLayout::levelBoxHeight / 2;
// What hangs below the lowest level line: half a level box, or a storey label starting on it.
inline constexpr int32_t kOverhang = std::max(WindowLayout::levelBoxHeight / 2, WindowLayout::storeyLabelHeight);

// Left edge of "Send To Excel" in a client area `clientWidth` twips wide: its designed place, moved
// left just enough to keep the whole button inside.
int32_t buttonLeft(int32_t clientWidth);

// Twips per inch.
inline constexpr double kTwipsPerInch = 1440.0;
// DPI assumed where the platform reports none.
inline constexpr double kFallbackDpi = 96.0;

// Nearest whole pixel of a twips value at `dpi` (kFallbackDpi when dpi is not positive).
int twipsToPixels(double twips, double dpi);
// Nearest whole twip of a pixel value at `dpi` (kFallbackDpi when dpi is not positive).
int32_t pixelsToTwips(int pixels, double dpi);

// The outer height (client area, title bar and borders) the layout starts from: the frame's height
// where the window system knows it, otherwise the client height plus WindowLayout::frameHeightEstimate. The lowest
// level sits at 90 % of the outer height, so a frame taller than about 700 twips would push the
// lowest box or label out of the client area; such a height is cut down to the tallest one that
// keeps them inside.
int32_t outerHeightForLayout(std::optional<int32_t> frameHeight, int32_t clientHeight);

// Spreads rows apart that are closer than `gap`: `wanted` holds their centres bottom up (each
// above the one before, y pointing down, so decreasing). The result keeps the order, puts every
// neighbouring pair at least `gap` apart, lies within [low, high] where (size - 1) * gap fits
// there, and is of all such placings the nearest to `wanted` (least squares). A row whose
// neighbours are far enough away stays where it is wanted; a bunch of close rows is spread
// evenly around where it is wanted.
std::vector<double> spreadRows(const std::vector<double>& wanted, double gap, double low, double high);

// One level of the diagram: its tick line, its level box and the box's caption.
struct LevelMark {
    float lineY = 0;      // y of the tick line, in proportion to the level
    float boxTop = 0;     // top of the level box: centred on the line, or on its spread row
    std::string caption;  // the level in metres, such as "3.5"

    // Centre of the box's row.
    [[nodiscard]] double rowY() const { return static_cast<double>(boxTop) + WindowLayout::levelBoxHeight / 2.0; }
    // True where the box was moved off its line; a leader then joins the tick to the box.
    [[nodiscard]] bool spread() const { return std::abs(rowY() - static_cast<double>(lineY)) >= 0.5; }
};

struct DiagramLayout {
    int32_t diagTop = 0;                           // y of the highest level
    int32_t diagBottom = 0;                        // y of the lowest level
    float diagScale = 0;                           // twips of diagram height per centimetre of level difference
    int32_t boxLeft = WindowLayout::levelBoxLeft;  // left edge of the level boxes
    // The elevation bar: from diagTop, diagBottom - diagTop high.
    [[nodiscard]] int32_t barTop() const { return diagTop; }
    [[nodiscard]] int32_t barHeight() const { return diagBottom - diagTop; }
    // Height from the client area's top down to the lowest box or label's bottom edge.
    [[nodiscard]] int32_t contentHeight() const { return diagBottom + kOverhang; }
    [[nodiscard]] bool anySpread() const { return boxLeft != WindowLayout::levelBoxLeft; }
    std::vector<LevelMark> levels;  // element i - 1 is level i (1 = lowest)
};

// Lays out the levels `gridY` (cm, ascending) for a window of `outerHeight` twips: the levels in
// proportion from diagTop (10 % of the outer height, never into the top band) to diagBottom (90 %),
// each box centred on its level line. Where neighbouring lines are closer than kRowGap, the boxes
// are spread (spreadRows) and all boxes move right to make room for leaders; where even that
// does not fit, diagBottom moves down until it does and the diagram is taller than the window.
// Throws Rejection when there are fewer than two levels or all levels are equal.
DiagramLayout layOutDiagram(int32_t outerHeight, const std::vector<int32_t>& gridY);

// One storey height label, left of the bar.
struct StoreyLabel {
    bool visible = false;
    int32_t top = 0;
    std::string caption;  // such as "3.33 M"
};

// The storey height labels for the levels `gridY` (cm, ascending) laid out as `layout`, with the
// tick state `ticked` (element i - 1 is level i). Element i - 1 of the result is the label of
// level i; the lowest level's label is never shown. A ticked level i shows the height from the
// nearest ticked level below it, at the middle of the storey directly below it; where the rows are
// spread, it moves with them, so labels stay a row apart.
std::vector<StoreyLabel> storeyLabels(const std::vector<int32_t>& gridY, const DiagramLayout& layout,
                                      const std::vector<bool>& ticked);

// The tooltip of level box `index` (1 = lowest) of the levels `gridY`: the level and the height
// of the storey below it, and for the lowest and the highest box why they cannot be unticked.
std::string levelToolTip(const std::vector<int32_t>& gridY, std::size_t index);

// The tick state a level box keeps after a click on it, given the state the click
// gave it. The lowest (1) and the highest (levelCount) level stay ticked.
bool tickAfterClick(int32_t index, int32_t levelCount, bool clickedState);

}  // namespace tierwise::diagram
