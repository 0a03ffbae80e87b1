#include "drawing/dxf_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string_view>
#include <utility>

#include "model/utf8.h"

namespace tierwise {

namespace {

// The code page the header names; every text is written within ASCII, which it shares.
constexpr std::string_view kCodePage = "ANSI_1252";
// The largest group code DXF defines.
constexpr int kMaxGroupCode = 1071;

bool isControl(uint32_t c) { return c < 0x20 || (c >= 0x7f && c < 0xa0); }

// Whether the byte at `at` goes into a value as it is: printable ASCII, but not a backslash
// before "U+", which would read as an escape.
bool isPlain(std::string_view text, size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    return c >= 0x20 && c < 0x7f && !(c == '\\' && text.substr(at + 1, 2) == "U+");
}

// How many bytes at the start of `text` go into a value as they are.
size_t plainLength(std::string_view text) {
    size_t length = 0;
    while (length < text.size() && isPlain(text, length)) ++length;
    return length;
}

void appendEscape(std::string& out, uint32_t unit) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(unit));
    out += "\\U+";
    out += hex;
}

// AutoCAD colour numbers: grid grey, outlines and text in the foreground colour, bars red, ties blue.
int layerColour(Layer layer) {
    switch (layer) {
        case Layer::Grid:
        case Layer::Dimensions:
            return 8;
        case Layer::Bars:
            return 1;
        case Layer::Ties:
            return 5;
        case Layer::Outline:
        case Layer::Text:
        case Layer::Notes:
            return 7;
    }
    return 7;
}

class DxfOut {
public:
    explicit DxfOut(std::ostream& out) : out_(out) {}

    // Almost every value is plain ASCII and goes out as it is, without a copy.
    void group(int code, std::string_view value) {
        out_ << code << '\n';
        if (plainLength(value) == value.size()) {
            out_ << value;
        } else {
            out_ << dxfValue(value);
        }
        out_ << '\n';
    }
    void group(int code, int value) { out_ << code << '\n' << value << '\n'; }
    void number(int code, double value, int decimals = 3) {
        char text[48];
        // A micrometre in the model: far below what any plotter shows.
        const auto printed = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        std::string_view digits(text, static_cast<size_t>(printed.ptr - text));
        if (digits.find('.') != std::string_view::npos) {
            while (digits.back() == '0') digits.remove_suffix(1);
            if (digits.back() == '.') digits.remove_suffix(1);
        }
        if (digits == "-0") digits = "0";
        group(code, digits);
    }
    void point(int code, Point p) {
        number(code, p.x);
        number(code + 10, p.y);
        number(code + 20, 0);
    }
    // The bar block's corners, drawn at the size of each bar.
    void precisePoint(int code, Point p) {
        number(code, p.x, 9);
        number(code + 10, p.y, 9);
        number(code + 20, 0);
    }
    void entity(std::string_view type, Layer layer) {
        group(0, type);
        group(8, layerName(layer));
    }

private:
    std::ostream& out_;
};

// What a CAD program takes from the header: the model's extents and limits in model mm, the paper
// limits of the largest sheet in paper mm, and the plot scale for a draughtsman's own dimensions,
// line types and text.
struct HeaderValues {
    Point highest;  // the model's upper right corner; the lower left is the origin
    Point paper;    // the largest sheet's width and height
    double scale = 1;
};

void writeHeader(DxfOut& dxf, const HeaderValues& values) {
    const auto corner = [&](std::string_view name, Point p) {
        dxf.group(9, name);
        dxf.number(10, p.x);
        dxf.number(20, p.y);
    };
    const auto real = [&](std::string_view name, double value) {
        dxf.group(9, name);
        dxf.number(40, value);
    };
    dxf.group(0, "SECTION");
    dxf.group(2, "HEADER");
    dxf.group(9, "$ACADVER");
    dxf.group(1, "AC1009");
    dxf.group(9, "$DWGCODEPAGE");
    dxf.group(3, kCodePage);
    dxf.group(9, "$INSBASE");
    dxf.point(10, {0, 0});
    // Millimetres in the model; the paper limits tell a CAD program's print the size of a sheet.
    dxf.group(9, "$INSUNITS");
    dxf.group(70, 4);
    dxf.group(9, "$MEASUREMENT");
    dxf.group(70, 1);
    corner("$PLIMMIN", {0, 0});
    corner("$PLIMMAX", values.paper);
    dxf.group(9, "$EXTMIN");
    dxf.point(10, {0, 0});
    dxf.group(9, "$EXTMAX");
    dxf.point(10, values.highest);
    corner("$LIMMIN", {0, 0});
    corner("$LIMMAX", values.highest);
    real("$DIMSCALE", values.scale);
    real("$LTSCALE", values.scale);
    real("$TEXTSIZE", kTextHeight * values.scale);
    dxf.group(0, "ENDSEC");
}

void writeTables(DxfOut& dxf, double scale) {
    dxf.group(0, "SECTION");
    dxf.group(2, "TABLES");

    dxf.group(0, "TABLE");
    dxf.group(2, "LTYPE");
    dxf.group(70, 1);
    dxf.group(0, "LTYPE");
    dxf.group(2, "CONTINUOUS");
    dxf.group(70, 0);
    dxf.group(3, "Solid line");
    dxf.group(72, 65);
    dxf.group(73, 0);
    dxf.number(40, 0);
    dxf.group(0, "ENDTAB");

    dxf.group(0, "TABLE");
    dxf.group(2, "LAYER");
    dxf.group(70, static_cast<int>(std::size(kLayers)) + 1);
    dxf.group(0, "LAYER");
    dxf.group(2, "0");
    dxf.group(70, 0);
    dxf.group(62, 7);
    dxf.group(6, "CONTINUOUS");
    for (const Layer layer : kLayers) {
        dxf.group(0, "LAYER");
        dxf.group(2, layerName(layer));
        dxf.group(70, 0);
        dxf.group(62, layerColour(layer));
        dxf.group(6, "CONTINUOUS");
    }
    dxf.group(0, "ENDTAB");

    dxf.group(0, "TABLE");
    dxf.group(2, "STYLE");
    dxf.group(70, 1);
    dxf.group(0, "STYLE");
    dxf.group(2, "STANDARD");
    dxf.group(70, 0);
    dxf.number(40, 0);
    dxf.number(41, 1);
    dxf.number(50, 0);
    dxf.group(71, 0);
    dxf.number(42, kTextHeight * scale);
    dxf.group(3, "txt");
    dxf.group(4, "");
    dxf.group(0, "ENDTAB");

    dxf.group(0, "ENDSEC");
}

// R12 has no hatch, and CAD programs differ in drawing wide polylines: a bar is an INSERT of the
// block BAR, a disc of diameter 1 drawn as its outline and the inscribed regular 12-gon cut into
// horizontal strips, each one SOLID (a trapezoid, its third and fourth corners in SOLID's
// crossed order). The block's entities are on layer 0, so they take the layer of the INSERT.
constexpr std::string_view kBarBlock = "BAR";
constexpr int kDiscStrips = 6;

void writeShapes(DxfOut& dxf, const Shapes& shapes, double scale);

void startBlock(DxfOut& dxf, std::string_view name) {
    dxf.group(0, "BLOCK");
    dxf.group(8, "0");
    dxf.group(2, name);
    dxf.group(70, 0);
    dxf.point(10, {0, 0});
    dxf.group(3, name);
}

void endBlock(DxfOut& dxf) {
    dxf.group(0, "ENDBLK");
    dxf.group(8, "0");
}

// A sheet's symbols are the blocks CELL<sheet>_<symbol>, both counted from 1.
std::string symbolBlock(size_t sheet, size_t symbol) {
    return "CELL" + std::to_string(sheet + 1) + "_" + std::to_string(symbol + 1);
}

// Each sheet is one block, PLAN<n> for a layout plan and SCHEDULE<n> otherwise, counted from 1
// within its kind, so that a CAD program moves a sheet as one and can take the plan alone.
std::vector<std::string> sheetBlocks(const std::vector<Sheet>& sheets) {
    std::vector<std::string> names;
    names.reserve(sheets.size());
    size_t plans = 0;
    size_t schedules = 0;
    for (const Sheet& sheet : sheets) {
        names.push_back(sheet.planScale > 0 ? "PLAN" + std::to_string(++plans)
                                            : "SCHEDULE" + std::to_string(++schedules));
    }
    return names;
}

void writeBarBlock(DxfOut& dxf) {
    startBlock(dxf, kBarBlock);
    dxf.group(0, "CIRCLE");
    dxf.group(8, "0");
    dxf.point(10, {0, 0});
    dxf.number(40, 0.5);
    const auto edge = [](int k) {
        const double angle = std::numbers::pi * k / kDiscStrips;
        return Point{0.5 * std::sin(angle), -0.5 * std::cos(angle)};
    };
    for (int k = 0; k < kDiscStrips; ++k) {
        const Point low = edge(k);
        const Point high = edge(k + 1);
        dxf.group(0, "SOLID");
        dxf.group(8, "0");
        dxf.precisePoint(10, {-low.x, low.y});
        dxf.precisePoint(11, {low.x, low.y});
        dxf.precisePoint(12, {-high.x, high.y});
        dxf.precisePoint(13, {high.x, high.y});
    }
    endBlock(dxf);
}

// The sheet's content in model mm round its lower left corner: its paper edge (so that it reads
// as a sheet), its own shapes and its symbols' inserts. The symbols' blocks are drawn at the same
// scale, so every insert but a bar's is at scale 1.
void writeSheetBlock(DxfOut& dxf, const Sheet& sheet, size_t index, std::string_view name, double scale) {
    startBlock(dxf, name);
    Shapes edge;
    edge.polylines.push_back(
        {{{0, 0}, {sheet.width, 0}, {sheet.width, sheet.height}, {0, sheet.height}}, true, Layer::Outline});
    writeShapes(dxf, edge, scale);
    writeShapes(dxf, sheet, scale);
    for (const Placement& placement : sheet.placements) {
        dxf.entity("INSERT", Layer::Outline);
        dxf.group(2, symbolBlock(index, placement.symbol));
        dxf.point(10, {placement.at.x * scale, placement.at.y * scale});
    }
    endBlock(dxf);
}

// Blocks before the blocks that insert them: the bar, the cells, the sheets.
void writeBlocks(DxfOut& dxf, const std::vector<Sheet>& sheets, const std::vector<std::string>& names, double scale) {
    dxf.group(0, "SECTION");
    dxf.group(2, "BLOCKS");
    writeBarBlock(dxf);
    for (size_t i = 0; i < sheets.size(); ++i) {
        for (size_t k = 0; k < sheets[i].symbols.size(); ++k) {
            startBlock(dxf, symbolBlock(i, k));
            writeShapes(dxf, sheets[i].symbols[k], scale);
            endBlock(dxf);
        }
    }
    for (size_t i = 0; i < sheets.size(); ++i) writeSheetBlock(dxf, sheets[i], i, names[i], scale);
    dxf.group(0, "ENDSEC");
}

// Everything is inside a block, where an outline is written as its LINEs: readers link a block's
// POLYLINE to its SEQEND unreliably in R12 (ezdxf repairs every one), and the lines draw the same.
// Paper mm times `scale` are model mm: coordinates, radii, text heights and the bars' sizes.
void writeShapes(DxfOut& dxf, const Shapes& shapes, double scale) {
    const auto at = [&](Point p) { return Point{p.x * scale, p.y * scale}; };
    const auto writeLine = [&](Point from, Point to, Layer layer) {
        dxf.entity("LINE", layer);
        dxf.point(10, at(from));
        dxf.point(11, at(to));
    };
    for (const Line& line : shapes.lines) writeLine(line.from, line.to, line.layer);
    for (const Polyline& polyline : shapes.polylines) {
        const size_t n = polyline.points.size();
        for (size_t i = 0; i + 1 < n; ++i) writeLine(polyline.points[i], polyline.points[i + 1], polyline.layer);
        if (polyline.closed && n > 2) writeLine(polyline.points[n - 1], polyline.points[0], polyline.layer);
    }
    for (const Circle& circle : shapes.circles) {
        if (circle.filled) {
            dxf.entity("INSERT", circle.layer);
            dxf.group(2, kBarBlock);
            dxf.point(10, at(circle.centre));
            dxf.number(41, circle.diameter * scale);
            dxf.number(42, circle.diameter * scale);
            continue;
        }
        dxf.entity("CIRCLE", circle.layer);
        dxf.point(10, at(circle.centre));
        dxf.number(40, circle.diameter / 2 * scale);
    }
    for (const Text& text : shapes.texts) {
        dxf.entity("TEXT", text.layer);
        const Point p = at(text.at);
        dxf.point(10, p);
        dxf.number(40, text.height * scale);
        dxf.group(1, text.text);
        dxf.group(72, text.hAlign == HAlign::Left ? 0 : text.hAlign == HAlign::Centre ? 1 : 2);
        dxf.point(11, p);
        dxf.group(73, text.vAlign == VAlign::Bottom ? 1 : text.vAlign == VAlign::Middle ? 2 : 3);
    }
}

}  // namespace

void writeDxf(const Drawing& drawing, std::ostream& out) {
    DxfOut dxf(out);
    const double scale = std::max(drawing.cadScale, 1);
    double width = 0;
    HeaderValues header{{}, {}, scale};
    for (const Sheet& sheet : drawing.sheets) {
        width += (width > 0 ? kDxfSheetGap : 0) + sheet.width;
        header.highest.y = std::max(header.highest.y, sheet.height * scale);
        header.paper = {std::max(header.paper.x, sheet.width), std::max(header.paper.y, sheet.height)};
    }
    header.highest.x = width * scale;
    const std::vector<std::string> names = sheetBlocks(drawing.sheets);
    writeHeader(dxf, header);
    writeTables(dxf, scale);
    writeBlocks(dxf, drawing.sheets, names, scale);
    dxf.group(0, "SECTION");
    dxf.group(2, "ENTITIES");
    // The sheets in a row along X, each inserted once at its lower left corner; the insert on
    // layer 0, so that freezing one of the drawing's layers hides no whole sheet.
    double offset = 0;
    for (size_t i = 0; i < drawing.sheets.size(); ++i) {
        dxf.group(0, "INSERT");
        dxf.group(8, "0");
        dxf.group(2, names[i]);
        dxf.point(10, {offset * scale, 0});
        offset += drawing.sheets[i].width + kDxfSheetGap;
    }
    dxf.group(0, "ENDSEC");
    dxf.group(0, "EOF");
}

std::string dxfValue(std::string_view utf8) {
    size_t i = plainLength(utf8);
    if (i == utf8.size()) return std::string(utf8);
    std::string out(utf8.substr(0, i));
    while (i < utf8.size()) {
        if (isPlain(utf8, i)) {
            out += utf8[i++];
            continue;
        }
        const auto [c, length] = decodeUtf8(utf8, i);
        i += std::max<size_t>(length, 1);
        if (length == 0) {
            appendEscape(out, 0xfffd);
        } else if (isControl(c)) {
            out += ' ';
        } else if (c < 0x10000) {
            appendEscape(out, c);
        } else {
            appendEscape(out, 0xd800 + ((c - 0x10000) >> 10));
            appendEscape(out, 0xdc00 + ((c - 0x10000) & 0x3ff));
        }
    }
    return out;
}

void DxfCheck::take(std::string_view bytes) {
    while (!bytes.empty() && problem_.empty()) {
        const size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            partial_ += bytes;
            return;
        }
        if (partial_.empty()) {
            line(bytes.substr(0, end));
        } else {
            partial_ += bytes.substr(0, end);
            line(partial_);
            partial_.clear();
        }
        bytes.remove_prefix(end + 1);
    }
}

std::string DxfCheck::problem() const {
    if (!problem_.empty()) return problem_;
    if (!partial_.empty()) return "it ends inside line " + std::to_string(lineNumber_ + 1);
    if (code_ >= 0) return "it ends after a group code, at line " + std::to_string(lineNumber_);
    if (!ended_) return "it ends without EOF, at line " + std::to_string(lineNumber_);
    return {};
}

void DxfCheck::wrong(const std::string& what) {
    if (problem_.empty()) problem_ = "line " + std::to_string(lineNumber_) + ": " + what;
}

void DxfCheck::line(std::string_view text) {
    ++lineNumber_;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (ended_) return wrong("more after EOF");
    if (code_ >= 0) return value(text);
    const size_t start = text.find_first_not_of(' ');
    const std::string_view digits = start == std::string_view::npos ? std::string_view{} : text.substr(start);
    int code = -1;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (digits.empty() || error != std::errc{} || stop != digits.data() + digits.size() || code < 0 ||
        code > kMaxGroupCode) {
        return wrong(std::string("\"").append(text.substr(0, 20)).append("\" is not a group code"));
    }
    code_ = code;
}

void DxfCheck::value(std::string_view text) {
    const int code = std::exchange(code_, -1);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f) return wrong("a value holds a byte outside printable ASCII");
    }
    if (nameNext_) {
        nameNext_ = false;
        if (code != 2) return wrong("a SECTION without its name");
        inBlocks_ = text == "BLOCKS";
        return;
    }
    if (code != 0) return;
    if (inPolyline_ && text != "VERTEX" && text != "SEQEND") return wrong(std::string(text) + " inside a POLYLINE");
    if (text == "SECTION") {
        if (inSection_) return wrong("a SECTION inside a SECTION");
        inSection_ = nameNext_ = true;
    } else if (text == "ENDSEC") {
        if (!inSection_ || inBlock_) return wrong("ENDSEC outside a SECTION or inside a BLOCK");
        inSection_ = inBlocks_ = false;
    } else if (text == "BLOCK") {
        if (!inBlocks_ || inBlock_) return wrong("a BLOCK outside BLOCKS or inside a BLOCK");
        inBlock_ = true;
    } else if (text == "ENDBLK") {
        if (!inBlock_) return wrong("ENDBLK without its BLOCK");
        inBlock_ = false;
    } else if (text == "POLYLINE") {
        inPolyline_ = true;
    } else if (text == "SEQEND") {
        if (!inPolyline_) return wrong("SEQEND without its POLYLINE");
        inPolyline_ = false;
    } else if (text == "EOF") {
        if (inSection_) return wrong("EOF inside a SECTION");
        ended_ = true;
    } else if (!inSection_) {
        return wrong(std::string(text) + " outside a SECTION");
    }
}

std::string dxfText(const Drawing& drawing) {
    std::ostringstream out;
    writeDxf(drawing, out);
    return out.str();
}

}  // namespace tierwise
