// The drawing as AutoCAD R12 ASCII DXF: every sheet side by side in one model space, on the
// layers GRID, OUTLINE, BARS, TIES and TEXT. Only the entities the drawing uses are written:
// LINE, POLYLINE (outlines), CIRCLE, TEXT, an INSERT of the filled-disc block BAR per bar, and
// the sheets' symbols as blocks CELL<sheet>_<symbol> inserted on layer OUTLINE where placed (the
// shapes inside keep their own layers).
#pragma once

#include <ostream>
#include <string>

#include "drawing/drawing.h"

namespace tierwise {

// Space between neighbouring sheets in the DXF's model space, mm.
inline constexpr double kDxfSheetGap = 50;

void writeDxf(const Drawing& drawing, std::ostream& out);
std::string dxfText(const Drawing& drawing);

// A UTF-8 text as a DXF group value: printable ASCII as it is, other characters as \U+XXXX,
// control characters as spaces, a byte that is no UTF-8 as \U+FFFD.
std::string dxfValue(std::string_view utf8);

// Whether a DXF file as this writer makes it is whole, fed a piece at a time (as it is read back
// from the disk): lines in pairs of a group code (0 to 1071) and a value of printable ASCII;
// every SECTION named and closed by ENDSEC, BLOCK closed by ENDBLK inside BLOCKS, POLYLINE
// holding VERTEX entities up to SEQEND; EOF last.
class DxfCheck {
public:
    void take(std::string_view bytes);
    // The first thing wrong with what was taken, for a message ("line 12: ..."); empty when whole.
    [[nodiscard]] std::string problem() const;

private:
    void line(std::string_view text);
    void value(std::string_view text);
    void wrong(const std::string& what);

    std::string partial_;  // a line not yet ended
    std::string problem_;
    size_t lineNumber_ = 0;
    int code_ = -1;          // the group code waiting for its value
    bool nameNext_ = false;  // a SECTION's name group comes next
    bool inSection_ = false, inBlocks_ = false, inBlock_ = false, inPolyline_ = false, ended_ = false;
};

}  // namespace tierwise
