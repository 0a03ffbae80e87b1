// Geometry of the elevation diagram and the storey height labels of the window Group.
// Everything is in twips (1/1440 inch) from the top left corner of the client area, y pointing
// down; the window only converts these results to pixels and applies them to its controls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tierwise::diagram {

// The designed client area of the window.
inline constexpr int32_t kClientWidth = 16155;
inline constexpr int32_t kClientHeight = 8625;

// Height of a level box (Check1 template); its top lies half of it above the level line.
inline constexpr int32_t kLevelBoxHeight = 300;
// Height of a storey height label (LabHoc template); the lowest can start at the lowest level line.
inline constexpr int32_t kStoreyLabelHeight = 255;

// Title bar and borders around the client area when the window system cannot tell yet:
// about 30 px of title bar and 4 px of border at 96 DPI.
inline constexpr int32_t kFrameEstimate = 570;

// Twips per inch.
inline constexpr double kTwipsPerInch = 1440.0;
// DPI assumed where the platform reports none.
inline constexpr double kFallbackDpi = 96.0;

// Nearest whole pixel of a twips value at `dpi` (kFallbackDpi when dpi is not positive).
int twipsToPixels(double twips, double dpi);
// Nearest whole twip of a pixel value at `dpi` (kFallbackDpi when dpi is not positive).
int32_t pixelsToTwips(int pixels, double dpi);

// The outer height (client area, title bar and borders) the layout starts from: the frame's height
// where the window system knows it, otherwise the client height plus kFrameEstimate. The lowest
// level sits at 90 % of the outer height, so a frame taller than about 700 twips would push the
// lowest box or label out of the client area; such a height is cut down to the tallest one that
// keeps them inside.
int32_t outerHeightForLayout(std::optional<int32_t> frameHeight, int32_t clientHeight);

// One level of the diagram: its tick line Line1(i), its box Check1(i) and the box's caption.
struct LevelMark {
    float lineY = 0;  // Y1 = Y2 of Line1(i)
    float boxTop = 0;  // Top of Check1(i), centred on the line
    std::string caption;  // the level in metres, such as "3.5"
};

struct DiagramLayout {
    int32_t diagTop = 0;     // y of the highest level
    int32_t diagBottom = 0;  // y of the lowest level
    float diagScale = 0;     // twips of diagram height per centimetre of level difference
    // Shape1, the bar: from diagTop, diagBottom - diagTop high.
    [[nodiscard]] int32_t barTop() const { return diagTop; }
    [[nodiscard]] int32_t barHeight() const { return diagBottom - diagTop; }
    std::vector<LevelMark> levels;  // element i - 1 is level i (1 = lowest)
};

// Lays out the levels `gridY` (cm, ascending) for a window of `outerHeight` twips.
// Throws Rejection when there are fewer than two levels or all levels are equal.
DiagramLayout layOutDiagram(int32_t outerHeight, const std::vector<int32_t>& gridY);

// One storey height label LabHoc(i), left of the bar.
struct StoreyLabel {
    bool visible = false;
    int32_t top = 0;
    std::string caption;  // such as "3.33 M"
};

// displtyHoc: the storey height labels for the levels `gridY` (cm, ascending) with the tick
// state `ticked` (element i - 1 is level i). Element i - 1 of the result is LabHoc(i); the lowest
// level's label is never shown. A ticked level i shows the height from the nearest ticked level
// below it, at the middle of the storey directly below it.
std::vector<StoreyLabel> displtyHoc(const std::vector<int32_t>& gridY, int32_t diagBottom,
                                    float diagScale, const std::vector<bool>& ticked);

// Check1_Click: the tick state a level box keeps after a click on it, given the state the click
// gave it. The lowest (1) and the highest (levelCount) level stay ticked.
bool tickAfterClick(int32_t index, int32_t levelCount, bool clickedState);

}  // namespace tierwise::diagram
