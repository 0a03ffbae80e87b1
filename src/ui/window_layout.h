// Where the window's controls are designed to lie, in twips (1/1440 inch) from the top left corner
// of the client area, y pointing down. The window converts them to pixels at the screen's DPI; the
// diagram's geometry (diagram.h) and the window's tests read them from here. No Qt.
#pragma once

#include <cstdint>

namespace tierwise::ui {

struct WindowLayout {
    // The designed client area.
    static constexpr int32_t clientWidth = 16155;
    static constexpr int32_t clientHeight = 8625;
    // Title bar and borders around the client area when the window system cannot tell yet: about
    // 30 px of title bar and 4 px of border at 96 DPI; and the borders left and right alone.
    static constexpr int32_t frameHeightEstimate = 570;
    static constexpr int32_t frameWidthEstimate = 120;

    // The band at the top of the client area that holds the caption and the buttons; the diagram
    // never reaches into it and, where it is taller than the window, scrolls beneath it.
    static constexpr int32_t topBandHeight = 735;
    // Room kept around the caption and the buttons, and the window's least height below the top band.
    static constexpr int32_t margin = 120;
    static constexpr int32_t leastDiagramHeight = 1500;

    // The caption "Tierwise          16 NOV 2025": where it is designed to lie, left of the buttons.
    static constexpr int32_t captionLeft = 8880;
    static constexpr int32_t captionTop = 240;
    static constexpr int32_t captionWidth = 4095;
    static constexpr int32_t captionHeight = 375;

    // "Send To Excel": its designed place and size, and the least room kept between it and the
    // client area's right edge. "Schedule Drawing" stands left of it, the same size, this room apart.
    static constexpr int32_t buttonLeft = 14400;
    static constexpr int32_t buttonTop = 240;
    static constexpr int32_t buttonWidth = 1815;
    static constexpr int32_t buttonHeight = 495;
    static constexpr int32_t buttonMargin = 120;
    // The check box "Ductile detailing (IS 13920)" stands left of "Schedule Drawing", this room
    // apart, as high as the buttons; this wide, or as wide as its caption needs.
    static constexpr int32_t ductileBoxWidth = 3150;

    // The elevation bar, from the highest level down to the lowest.
    static constexpr int32_t barLeft = 7200;
    static constexpr int32_t barWidth = 255;
    // A tick line per level on the right of the bar; a leader to a spread box starts at its right end.
    static constexpr int32_t tickLeft = 7440;
    static constexpr int32_t tickRight = 7800;
    // A box per level, its top half of its height above the level line: left edge where every box
    // sits on its line, and where some are spread (room for the leaders from the ticks).
    static constexpr int32_t levelBoxLeft = 7920;
    static constexpr int32_t spreadLevelBoxLeft = 8520;
    static constexpr int32_t levelBoxWidth = 975;
    static constexpr int32_t levelBoxHeight = 300;
    // A storey height label left of the bar; the lowest can start at the lowest level line.
    static constexpr int32_t storeyLabelLeft = 6360;
    static constexpr int32_t storeyLabelWidth = 615;
    static constexpr int32_t storeyLabelHeight = 255;
};

}  // namespace tierwise::ui
