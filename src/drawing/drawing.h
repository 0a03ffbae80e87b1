// The drawing model: sheets of plain geometry in millimetres on paper, with the CAD layer each
// piece belongs to. The writers (DXF here, PDF and SVG in the platform layer) only translate it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tierwise {

// The CAD layers: grid lines and bubbles, outlines and frames, bars, ties, texts, the layout plan's
// dimension chains, and the notes blocks.
enum class Layer { Grid, Outline, Bars, Ties, Text, Dimensions, Notes };
inline constexpr Layer kLayers[] = {Layer::Grid, Layer::Outline,    Layer::Bars, Layer::Ties,
                                    Layer::Text, Layer::Dimensions, Layer::Notes};
std::string_view layerName(Layer layer);  // "GRID", "OUTLINE", ...

// Paper coordinates in mm: origin at the sheet's lower left corner, y upwards, as in CAD.
struct Point {
    double x = 0;
    double y = 0;
};

struct Line {
    Point from;
    Point to;
    Layer layer = Layer::Outline;
};

struct Polyline {
    std::vector<Point> points;
    bool closed = false;
    Layer layer = Layer::Outline;
};

struct Circle {
    Point centre;
    double diameter = 0;
    bool filled = false;
    Layer layer = Layer::Outline;
};

// The usual text height on paper, mm: what a CAD program's own text and dimensions take too.
inline constexpr double kTextHeight = 2.5;

enum class HAlign { Left, Centre, Right };
enum class VAlign { Bottom, Middle, Top };

struct Text {
    Point at;
    std::string text;
    double height = kTextHeight;  // cap height, mm, as CAD programs measure text
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Bottom;
    bool bold = false;
    Layer layer = Layer::Text;
};

// What is drawn: a sheet's own geometry, or a symbol's round the symbol's origin.
struct Shapes {
    std::vector<Line> lines;
    std::vector<Polyline> polylines;
    std::vector<Circle> circles;
    std::vector<Text> texts;
};

// A symbol drawn with its origin at `at`: a schedule repeats the same few cells (section, tie,
// bars and their texts) thousands of times, and the files hold each one once (DXF blocks, PDF
// forms).
struct Placement {
    size_t symbol = 0;  // index into the sheet's symbols
    Point at;
};

struct Sheet : Shapes {
    std::string title;   // "Column schedule"
    std::string paper;   // "A3" to "A0"
    double width = 420;  // mm, landscape
    double height = 297;
    int planScale = 0;  // n of the 1:n a layout plan is drawn at; 0 on other sheets
    std::vector<Shapes> symbols;
    std::vector<Placement> placements;
};

// The sheet with every placement replaced by its symbol's shapes moved into place.
Sheet flattened(const Sheet& sheet);

struct Drawing {
    std::vector<Sheet> sheets;
    // CAD model-space millimetres per paper millimetre: the layout plan's scale denominator, so
    // that the plan measures its true size in CAD and every sheet plots at that one scale.
    int cadScale = 1;
};

// Width a text takes on paper: every character counted as wide as a capital or a digit of the
// sans-serif face the writers use, so that texts laid out side by side never touch.
double textWidth(std::string_view text, double height);

// Splits `text` at spaces (and after commas) into lines of at most `width` mm at `height`; a word
// longer than a line stands alone on its line.
std::vector<std::string> wrapText(std::string_view text, double width, double height);

// The output formats, from a file name's extension (".pdf", ".svg", ".dxf", any case).
enum class DrawingFormat { Pdf, Svg, Dxf };
std::optional<DrawingFormat> drawingFormatFor(std::string_view fileName);

}  // namespace tierwise
