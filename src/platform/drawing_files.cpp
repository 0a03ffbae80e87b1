#include "platform/drawing_files.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "drawing/dxf_writer.h"
#include "model/rejection.h"
#include "platform/whole_file.h"

namespace tierwise {

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
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Line weights in mm and colours per layer: outlines heavy, grid light grey, ties blue.
void setPen(cairo_t* cr, Layer layer) {
    double width = 0.35;
    double r = 0, g = 0, b = 0;
    switch (layer) {
        case Layer::Grid: width = 0.18, r = g = b = 0.45; break;
        case Layer::Ties: width = 0.3, b = 0.75; break;
        case Layer::Bars: width = 0.1; break;
        case Layer::Outline:
        case Layer::Text: break;
    }
    cairo_set_line_width(cr, width * kPointsPerMm);
    cairo_set_source_rgb(cr, r, g, b);
}

// Paints one sheet with its lower left corner `offset` mm from the surface's left edge; the
// surface is `surfaceHeight` mm high, y downwards.
void paintSheet(cairo_t* cr, const Sheet& sheet, double offset, double surfaceHeight) {
    const auto x = [&](double mm) { return (mm + offset) * kPointsPerMm; };
    const auto y = [&](double mm) { return (surfaceHeight - mm) * kPointsPerMm; };
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    for (const Line& line : sheet.lines) {
        setPen(cr, line.layer);
        cairo_move_to(cr, x(line.from.x), y(line.from.y));
        cairo_line_to(cr, x(line.to.x), y(line.to.y));
        cairo_stroke(cr);
    }
    for (const Polyline& polyline : sheet.polylines) {
        if (polyline.points.empty()) continue;
        setPen(cr, polyline.layer);
        cairo_move_to(cr, x(polyline.points.front().x), y(polyline.points.front().y));
        for (const Point& p : polyline.points) cairo_line_to(cr, x(p.x), y(p.y));
        if (polyline.closed) cairo_close_path(cr);
        cairo_stroke(cr);
    }
    for (const Circle& circle : sheet.circles) {
        setPen(cr, circle.layer);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x(circle.centre.x), y(circle.centre.y), circle.diameter / 2 * kPointsPerMm, 0, 2 * 3.14159265358979);
        if (circle.filled) {
            cairo_fill(cr);
        } else {
            cairo_stroke(cr);
        }
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (const Text& text : sheet.texts) {
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               text.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, text.height / kCapHeight * kPointsPerMm);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.text.c_str(), &extents);
        double left = x(text.at.x);
        if (text.hAlign == HAlign::Centre) left -= extents.x_advance / 2;
        if (text.hAlign == HAlign::Right) left -= extents.x_advance;
        double baseline = y(text.at.y);
        const double cap = text.height * kPointsPerMm;
        if (text.vAlign == VAlign::Middle) baseline += cap / 2;
        if (text.vAlign == VAlign::Top) baseline += cap;
        cairo_move_to(cr, left, baseline);
        cairo_show_text(cr, text.text.c_str());
    }
}

void check(cairo_surface_t* surface, cairo_t* cr, std::string_view what) {
    cairo_status_t status = cr != nullptr ? cairo_status(cr) : CAIRO_STATUS_SUCCESS;
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw Rejection("Cannot draw the " + std::string(what) + ": " + cairo_status_to_string(status));
    }
}

}  // namespace

std::string drawingPdf(const Drawing& drawing) {
    std::string bytes;
    const double firstWidth = drawing.sheets.empty() ? 420 : drawing.sheets.front().width;
    const double firstHeight = drawing.sheets.empty() ? 297 : drawing.sheets.front().height;
    {
        SurfacePtr surface(cairo_pdf_surface_create_for_stream(appendBytes, &bytes, firstWidth * kPointsPerMm,
                                                               firstHeight * kPointsPerMm));
        check(surface.get(), nullptr, "PDF");
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Tierwise");
        ContextPtr cr(cairo_create(surface.get()));
        for (const Sheet& sheet : drawing.sheets) {
            cairo_pdf_surface_set_size(surface.get(), sheet.width * kPointsPerMm, sheet.height * kPointsPerMm);
            paintSheet(cr.get(), sheet, 0, sheet.height);
            cairo_show_page(cr.get());
        }
        check(surface.get(), cr.get(), "PDF");
        cr.reset();
        cairo_surface_finish(surface.get());
        check(surface.get(), nullptr, "PDF");
    }
    return bytes;
}

std::string drawingSvg(const Drawing& drawing) {
    std::string bytes;
    double width = 0;
    double height = 0;
    for (const Sheet& sheet : drawing.sheets) {
        width += (width > 0 ? kDxfSheetGap : 0) + sheet.width;
        height = std::max(height, sheet.height);
    }
    {
        SurfacePtr surface(
            cairo_svg_surface_create_for_stream(appendBytes, &bytes, width * kPointsPerMm, height * kPointsPerMm));
        check(surface.get(), nullptr, "SVG");
        ContextPtr cr(cairo_create(surface.get()));
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        double offset = 0;
        for (const Sheet& sheet : drawing.sheets) {
            paintSheet(cr.get(), sheet, offset, height);
            offset += sheet.width + kDxfSheetGap;
        }
        check(surface.get(), cr.get(), "SVG");
        cr.reset();
        cairo_surface_finish(surface.get());
        check(surface.get(), nullptr, "SVG");
    }
    return bytes;
}

void writeDrawingFile(const Drawing& drawing, const std::filesystem::path& target) {
    const std::optional<DrawingFormat> format = drawingFormatFor(target.string());
    if (!format) throw Rejection("Cannot write " + target.string() + ": the name does not end in .pdf, .svg or .dxf");
    std::string bytes;
    try {
        switch (*format) {
            case DrawingFormat::Pdf: bytes = drawingPdf(drawing); break;
            case DrawingFormat::Svg: bytes = drawingSvg(drawing); break;
            case DrawingFormat::Dxf: bytes = dxfText(drawing); break;
        }
    } catch (const Rejection& e) {
        throw Rejection("Cannot write " + target.string() + ": " + e.what());
    }
    writeWholeFile(target, bytes);
}

}  // namespace tierwise
