#include "platform/drawing_files.h"

#if TIERWISE_HAVE_CAIRO
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#endif

#include <algorithm>
#include <map>
#include <memory>
#include <numbers>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "drawing/dxf_writer.h"
#include "model/rejection.h"
#include "platform/native_file.h"

namespace tierwise {

#if TIERWISE_HAVE_CAIRO

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// DejaVu Sans capitals stand 0.729 of the font size: a text's height is its cap height.
constexpr double kCapHeight = 0.729;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct FaceDeleter {
    void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;
using FacePtr = std::unique_ptr<cairo_font_face_t, FaceDeleter>;

cairo_status_t writeBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto& out = *static_cast<std::ostream*>(closure);
    out.write(reinterpret_cast<const char*>(data), length);
    return out ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// Line weights in mm and colours per layer: outlines heavy, grid light grey, ties blue.
void setPen(cairo_t* cr, Layer layer) {
    double width = 0.35;
    double r = 0, g = 0, b = 0;
    switch (layer) {
        case Layer::Grid:
        case Layer::Dimensions:
            width = 0.18, r = g = b = 0.45;
            break;
        case Layer::Ties:
            width = 0.3, b = 0.75;
            break;
        case Layer::Bars:
        case Layer::Outline:
        case Layer::Text:
        case Layer::Notes:
            break;
    }
    cairo_set_line_width(cr, width * kPointsPerMm);
    cairo_set_source_rgb(cr, r, g, b);
}

// Where a sheet or a symbol lands in cairo's points, y downwards: x = (mm + dx) k, y = (dy - mm) k.
struct Placing {
    double dx = 0;
    double dy = 0;
    [[nodiscard]] double x(double mm) const { return (mm + dx) * kPointsPerMm; }
    [[nodiscard]] double y(double mm) const { return (dy - mm) * kPointsPerMm; }
};

// All lines and outlines of a layer in one stroke; a filled circle as a dot, a stroke of no
// length with round caps as wide as the circle (two numbers in the file instead of four curves).
void paintShapes(cairo_t* cr, const Shapes& shapes, const Placing& at) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (const Layer layer : kLayers) {
        bool any = false;
        for (const Line& line : shapes.lines) {
            if (line.layer != layer) continue;
            cairo_move_to(cr, at.x(line.from.x), at.y(line.from.y));
            cairo_line_to(cr, at.x(line.to.x), at.y(line.to.y));
            any = true;
        }
        for (const Polyline& polyline : shapes.polylines) {
            if (polyline.layer != layer || polyline.points.empty()) continue;
            cairo_move_to(cr, at.x(polyline.points.front().x), at.y(polyline.points.front().y));
            for (const Point& p : polyline.points) cairo_line_to(cr, at.x(p.x), at.y(p.y));
            if (polyline.closed) cairo_close_path(cr);
            any = true;
        }
        for (const Circle& circle : shapes.circles) {
            if (circle.layer != layer || circle.filled) continue;
            cairo_new_sub_path(cr);
            cairo_arc(cr, at.x(circle.centre.x), at.y(circle.centre.y), circle.diameter / 2 * kPointsPerMm, 0,
                      2 * std::numbers::pi);
            any = true;
        }
        if (any) {
            setPen(cr, layer);
            cairo_stroke(cr);
        }
    }
    std::map<std::tuple<Layer, double>, std::vector<Point>> discs;
    for (const Circle& circle : shapes.circles) {
        if (circle.filled) discs[{circle.layer, circle.diameter}].push_back(circle.centre);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const auto& [key, centres] : discs) {
        setPen(cr, std::get<0>(key));
        cairo_set_line_width(cr, std::get<1>(key) * kPointsPerMm);
        for (const Point& c : centres) {
            cairo_move_to(cr, at.x(c.x), at.y(c.y));
            cairo_line_to(cr, at.x(c.x), at.y(c.y));
        }
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// Paints sheets and their symbols. The same faces and text widths serve every text: a large
// schedule repeats the same few texts thousands of times.
// The sans-serif face textWidth measures for; Windows has no DejaVu, and Arial, a little narrower,
// stays within what was measured (a face Windows lacks would be left to its font mapper).
#ifdef _WIN32
constexpr const char* kFace = "Arial";
#else
constexpr const char* kFace = "DejaVu Sans";
#endif

class Painter {
public:
    Painter()
        : regular_(cairo_toy_font_face_create(kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL)),
          bold_(cairo_toy_font_face_create(kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD)) {}

    // The sheet's lower left corner `offset` mm from the surface's left edge; the surface is
    // `surfaceHeight` mm high.
    void paint(cairo_t* cr, const Sheet& sheet, double offset, double surfaceHeight) {
        const Placing at{offset, surfaceHeight};
        paintAll(cr, sheet, at);
        std::vector<SurfacePtr> symbols;
        for (const Shapes& symbol : sheet.symbols) symbols.push_back(record(symbol));
        for (const Placement& placement : sheet.placements) {
            cairo_set_source_surface(cr, symbols.at(placement.symbol).get(), at.x(placement.at.x),
                                     at.y(placement.at.y));
            cairo_paint(cr);
        }
    }

private:
    void paintAll(cairo_t* cr, const Shapes& shapes, const Placing& at) {
        paintShapes(cr, shapes, at);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_font_face_t* face = nullptr;
        double size = 0;
        for (const Text& text : shapes.texts) {
            cairo_font_face_t* wanted = text.bold ? bold_.get() : regular_.get();
            const double wantedSize = text.height / kCapHeight * kPointsPerMm;
            if (wanted != face || wantedSize != size) {
                cairo_set_font_face(cr, wanted);
                cairo_set_font_size(cr, wantedSize);
                face = wanted;
                size = wantedSize;
            }
            double left = at.x(text.at.x);
            if (text.hAlign != HAlign::Left) {
                const double advance = advanceOf(cr, text, size);
                left -= text.hAlign == HAlign::Centre ? advance / 2 : advance;
            }
            double baseline = at.y(text.at.y);
            const double cap = text.height * kPointsPerMm;
            if (text.vAlign == VAlign::Middle) baseline += cap / 2;
            if (text.vAlign == VAlign::Top) baseline += cap;
            cairo_move_to(cr, left, baseline);
            cairo_show_text(cr, text.text.c_str());
        }
    }

    // A symbol recorded once round its origin, so that a PDF holds it as one form.
    SurfacePtr record(const Shapes& symbol) {
        double left = 0, right = 0, bottom = 0, top = 0;
        const auto extend = [&](Point p, double rx, double ry) {
            left = std::min(left, p.x - rx);
            right = std::max(right, p.x + rx);
            bottom = std::min(bottom, p.y - ry);
            top = std::max(top, p.y + ry);
        };
        for (const Line& line : symbol.lines) extend(line.from, 0, 0), extend(line.to, 0, 0);
        for (const Polyline& polyline : symbol.polylines) {
            for (const Point& p : polyline.points) extend(p, 0, 0);
        }
        for (const Circle& circle : symbol.circles) extend(circle.centre, circle.diameter / 2, circle.diameter / 2);
        for (const Text& text : symbol.texts) {
            // Room for the widest reckoning of the text whichever way it is anchored, and descenders.
            extend(text.at, textWidth(text.text, text.height), 1.5 * text.height);
        }
        const double margin = 1;  // mm, for the line widths
        const cairo_rectangle_t extents{(left - margin) * kPointsPerMm, -(top + margin) * kPointsPerMm,
                                        (right - left + 2 * margin) * kPointsPerMm,
                                        (top - bottom + 2 * margin) * kPointsPerMm};
        SurfacePtr surface(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
        ContextPtr cr(cairo_create(surface.get()));
        paintAll(cr.get(), symbol, {});
        return surface;
    }

    double advanceOf(cairo_t* cr, const Text& text, double size) {
        std::string key = text.text;
        key += text.bold ? '\1' : '\0';
        key.append(reinterpret_cast<const char*>(&size), sizeof size);
        const auto found = advances_.find(key);
        if (found != advances_.end()) return found->second;
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.text.c_str(), &extents);
        advances_.emplace(std::move(key), extents.x_advance);
        return extents.x_advance;
    }

    FacePtr regular_;
    FacePtr bold_;
    std::unordered_map<std::string, double> advances_;
};

void check(cairo_surface_t* surface, cairo_t* cr, std::string_view what) {
    cairo_status_t status = cr != nullptr ? cairo_status(cr) : CAIRO_STATUS_SUCCESS;
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw Rejection("cannot draw the " + std::string(what) + ": " + cairo_status_to_string(status));
    }
}

}  // namespace

void writePdf(const Drawing& drawing, std::ostream& out) {
    const double firstWidth = drawing.sheets.empty() ? 420 : drawing.sheets.front().width;
    const double firstHeight = drawing.sheets.empty() ? 297 : drawing.sheets.front().height;
    SurfacePtr surface(
        cairo_pdf_surface_create_for_stream(writeBytes, &out, firstWidth * kPointsPerMm, firstHeight * kPointsPerMm));
    check(surface.get(), nullptr, "PDF");
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Tierwise");
    ContextPtr cr(cairo_create(surface.get()));
    Painter painter;
    for (const Sheet& sheet : drawing.sheets) {
        cairo_pdf_surface_set_size(surface.get(), sheet.width * kPointsPerMm, sheet.height * kPointsPerMm);
        painter.paint(cr.get(), sheet, 0, sheet.height);
        cairo_show_page(cr.get());
    }
    check(surface.get(), cr.get(), "PDF");
    cr.reset();
    cairo_surface_finish(surface.get());
    check(surface.get(), nullptr, "PDF");
}

void writeSvg(const Drawing& drawing, std::ostream& out) {
    double width = 0;
    double height = 0;
    for (const Sheet& sheet : drawing.sheets) {
        width += (width > 0 ? kDxfSheetGap : 0) + sheet.width;
        height = std::max(height, sheet.height);
    }
    SurfacePtr surface(
        cairo_svg_surface_create_for_stream(writeBytes, &out, width * kPointsPerMm, height * kPointsPerMm));
    check(surface.get(), nullptr, "SVG");
    ContextPtr cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    Painter painter;
    double offset = 0;
    for (const Sheet& sheet : drawing.sheets) {
        painter.paint(cr.get(), sheet, offset, height);
        offset += sheet.width + kDxfSheetGap;
    }
    check(surface.get(), cr.get(), "SVG");
    cr.reset();
    cairo_surface_finish(surface.get());
    check(surface.get(), nullptr, "SVG");
}

#else

// A build without cairo (the Windows cross-build) draws the DXF only.
void writePdf(const Drawing&, std::ostream&) { throw Rejection("PDF drawings are not in this build; write a .dxf"); }
void writeSvg(const Drawing&, std::ostream&) { throw Rejection("SVG drawings are not in this build; write a .dxf"); }

#endif

bool drawsPdfAndSvg() {
#if TIERWISE_HAVE_CAIRO
    return true;
#else
    return false;
#endif
}

namespace {

// The DXF's structure check, fed as the file is read back.
class DxfReadBack final : public ReadBackCheck {
public:
    void take(std::string_view bytes) override { check_.take(bytes); }
    [[nodiscard]] std::string problem() const override { return check_.problem(); }

private:
    DxfCheck check_;
};

}  // namespace

void writeDrawingFile(const Drawing& drawing, const std::filesystem::path& target) {
    OutputSet outputs;
    const size_t output = outputs.add(target, "drawing");
    writeDrawingOutput(drawing, outputs, output);
    outputs.commit();
}

void writeDrawingOutput(const Drawing& drawing, OutputSet& outputs, size_t output) {
    const std::optional<DrawingFormat> format = drawingFormatFor(utf8Name(outputs.target(output)));
    if (!format) outputs.fail(output, "the name does not end in .pdf, .svg or .dxf");
#if !TIERWISE_HAVE_CAIRO
    if (*format != DrawingFormat::Dxf) outputs.fail(output, "this build draws .dxf files only (it has no cairo)");
#endif
    DxfReadBack dxfCheck;
    outputs.write(
        output,
        [&](std::ostream& out) {
            switch (*format) {
                case DrawingFormat::Pdf:
                    writePdf(drawing, out);
                    break;
                case DrawingFormat::Svg:
                    writeSvg(drawing, out);
                    break;
                case DrawingFormat::Dxf:
                    writeDxf(drawing, out);
                    break;
            }
        },
        *format == DrawingFormat::Dxf ? &dxfCheck : nullptr);
}

}  // namespace tierwise
