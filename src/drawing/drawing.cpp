#include "drawing/drawing.h"

#include <algorithm>
#include <cctype>

namespace tierwise {

std::string_view layerName(Layer layer) {
    switch (layer) {
        case Layer::Grid:
            return "GRID";
        case Layer::Outline:
            return "OUTLINE";
        case Layer::Bars:
            return "BARS";
        case Layer::Ties:
            return "TIES";
        case Layer::Text:
            return "TEXT";
        case Layer::Dimensions:
            return "DIMENSIONS";
        case Layer::Notes:
            return "NOTES";
    }
    return "TEXT";
}

namespace {

// Advance of a character in units of the cap height, rounded up from DejaVu Sans (cap height
// 0.73 em): digits 0.64 em, most capitals up to 0.77 em, M and W wider.
double advance(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ' || c == '.' || c == ',' || c == ':' || c == ';' || c == '(' || c == ')' || c == 'i' || c == 'l' ||
        c == 'j' || c == 'I' || c == '\'' || c == '|' || c == '!') {
        return 0.5;
    }
    if (c == 'M' || c == 'W' || c == 'm' || c == 'w' || c == '%' || c == '@') return 1.4;
    if (std::isdigit(u) != 0) return 0.9;
    if (std::isupper(u) != 0) return 1.1;
    return 0.9;
}

}  // namespace

Sheet flattened(const Sheet& sheet) {
    Sheet flat = sheet;
    flat.symbols.clear();
    flat.placements.clear();
    for (const Placement& placement : sheet.placements) {
        const Shapes& symbol = sheet.symbols.at(placement.symbol);
        const auto moved = [&](Point p) { return Point{p.x + placement.at.x, p.y + placement.at.y}; };
        for (const Line& line : symbol.lines) flat.lines.push_back({moved(line.from), moved(line.to), line.layer});
        for (const Polyline& polyline : symbol.polylines) {
            Polyline copy = polyline;
            for (Point& p : copy.points) p = moved(p);
            flat.polylines.push_back(std::move(copy));
        }
        for (const Circle& circle : symbol.circles) {
            flat.circles.push_back({moved(circle.centre), circle.diameter, circle.filled, circle.layer});
        }
        for (Text text : symbol.texts) {
            text.at = moved(text.at);
            flat.texts.push_back(std::move(text));
        }
    }
    return flat;
}

double textWidth(std::string_view text, double height) {
    double units = 0;
    for (const char c : text) units += advance(c);
    return units * height;
}

std::vector<std::string> wrapText(std::string_view text, double width, double height) {
    // Words keep their trailing comma; a line break takes the place of the space after it.
    std::vector<std::string> words;
    size_t start = 0;
    while (start < text.size()) {
        if (text[start] == ' ') {
            ++start;
            continue;
        }
        size_t stop = text.find(' ', start);
        if (stop == std::string_view::npos) stop = text.size();
        words.emplace_back(text.substr(start, stop - start));
        start = stop;
    }
    std::vector<std::string> lines;
    for (const std::string& word : words) {
        if (!lines.empty() && textWidth(lines.back() + " " + word, height) <= width) {
            lines.back() += " " + word;
        } else {
            lines.push_back(word);
        }
    }
    return lines;
}

std::optional<DrawingFormat> drawingFormatFor(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    const size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
    std::string extension(fileName.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (extension == "pdf") return DrawingFormat::Pdf;
    if (extension == "svg") return DrawingFormat::Svg;
    if (extension == "dxf") return DrawingFormat::Dxf;
    return std::nullopt;
}

}  // namespace tierwise
