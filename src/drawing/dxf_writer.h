// The drawing as AutoCAD R12 ASCII DXF, in model-space millimetres: every sheet drawn at the
// drawing's `cadScale` (model mm = paper mm x cadScale), so that the layout plan measures its true
// size (a 300 X 450 column is 300 by 450) and plotting the model at 1:cadScale gives each sheet at
// its paper size. Each sheet, its paper edge included, is one block (SCHEDULE<n>, PLAN<n>)
// inserted once, the sheets in a row along X, kDxfSheetGap x cadScale apart. Layers GRID,
// OUTLINE, BARS, TIES, TEXT, DIMENSIONS and NOTES; only the entities the drawing uses are written:
// LINE (outlines too), CIRCLE, TEXT, an INSERT of the filled-disc block BAR per bar, and the
// sheets' symbols as blocks CELL<sheet>_<symbol> inserted on layer OUTLINE where placed (the
// shapes inside keep their own layers). The header gives $DIMSCALE and $LTSCALE = cadScale and
// $TEXTSIZE = kTextHeight x cadScale, and the largest sheet's paper as the paper limits.
#pragma once

#include <ostream>
#include <string>

#include "drawing/drawing.h"

namespace tierwise {

// Space between neighbouring sheets, paper mm (times the drawing's cadScale in the model).
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
