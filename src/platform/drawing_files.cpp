#include "platform/drawing_files.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <map>
#include <memory>
#include <numbers>
#include <string_view>
#include <tuple>
#include <unordered_map>

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
        case Layer::Grid: width = 0.18, r = g = b = 0.45; break;
        case Layer::Ties: width = 0.3, b = 0.75; break;
        case Layer::Bars:
        case Layer::Outline:
        case Layer::Text: break;
    }
    cairo_set_line_width(cr, width * kPointsPerMm);
    cairo_set_source_rgb(cr, r, g, b);
}

// Paints sheets on one cairo context. The same faces and text widths serve every sheet: a large
// schedule repeats the same few texts thousands of times.
class Painter {
public:
    explicit Painter(cairo_t* cr)
        : cr_(cr),
          regular_(cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL)),
          bold_(cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD)) {}

    // The sheet's lower left corner `offset` mm from the surface's left edge; the surface is
    // `surfaceHeight` mm high, y downwards.
    void paint(const Sheet& sheet, double offset, double surfaceHeight) {
        offset_ = offset;
        height_ = surfaceHeight;
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
        // One stroke per layer for all its lines and outlines.
        for (const Layer layer : kLayers) {
            bool any = false;
            for (const Line& line : sheet.lines) {
                if (line.layer != layer) continue;
                cairo_move_to(cr_, x(line.from.x), y(line.from.y));
                cairo_line_to(cr_, x(line.to.x), y(line.to.y));
                any = true;
            }
            for (const Polyline& polyline : sheet.polylines) {
                if (polyline.layer != layer || polyline.points.empty()) continue;
                cairo_move_to(cr_, x(polyline.points.front().x), y(polyline.points.front().y));
                for (const Point& p : polyline.points) cairo_line_to(cr_, x(p.x), y(p.y));
                if (polyline.closed) cairo_close_path(cr_);
                any = true;
            }
            for (const Circle& circle : sheet.circles) {
                if (circle.layer != layer || circle.filled) continue;
                cairo_new_sub_path(cr_);
                cairo_arc(cr_, x(circle.centre.x), y(circle.centre.y), circle.diameter / 2 * kPointsPerMm, 0,
                          2 * std::numbers::pi);
                any = true;
            }
            if (any) {
                setPen(cr_, layer);
                cairo_stroke(cr_);
            }
        }
        paintDiscs(sheet);
        cairo_set_source_rgb(cr_, 0, 0, 0);
        for (const Text& text : sheet.texts) paintText(text);
    }

private:
    [[nodiscard]] double x(double mm) const { return (mm + offset_) * kPointsPerMm; }
    [[nodiscard]] double y(double mm) const { return (height_ - mm) * kPointsPerMm; }

    // A filled circle is a dot: a stroke of no length with round caps as wide as the circle.
    // That takes two numbers in the file instead of the four curves of a filled arc.
    void paintDiscs(const Sheet& sheet) {
        std::map<std::tuple<Layer, double>, std::vector<Point>> discs;
        for (const Circle& circle : sheet.circles) {
            if (circle.filled) discs[{circle.layer, circle.diameter}].push_back(circle.centre);
        }
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
        for (const auto& [key, centres] : discs) {
            setPen(cr_, std::get<0>(key));
            cairo_set_line_width(cr_, std::get<1>(key) * kPointsPerMm);
            for (const Point& c : centres) {
                cairo_move_to(cr_, x(c.x), y(c.y));
                cairo_line_to(cr_, x(c.x), y(c.y));
            }
            cairo_stroke(cr_);
        }
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    }

    void paintText(const Text& text) {
        cairo_font_face_t* face = text.bold ? bold_.get() : regular_.get();
        const double size = text.height / kCapHeight * kPointsPerMm;
        if (face != face_ || size != size_) {
            cairo_set_font_face(cr_, face);
            cairo_set_font_size(cr_, size);
            face_ = face;
            size_ = size;
        }
        double left = x(text.at.x);
        if (text.hAlign != HAlign::Left) {
            const double advance = advanceOf(text);
            left -= text.hAlign == HAlign::Centre ? advance / 2 : advance;
        }
        double baseline = y(text.at.y);
        const double cap = text.height * kPointsPerMm;
        if (text.vAlign == VAlign::Middle) baseline += cap / 2;
        if (text.vAlign == VAlign::Top) baseline += cap;
        cairo_move_to(cr_, left, baseline);
        cairo_show_text(cr_, text.text.c_str());
    }

    double advanceOf(const Text& text) {
        std::string key = text.text;
        key += text.bold ? '\1' : '\0';
        key.append(reinterpret_cast<const char*>(&size_), sizeof size_);
        const auto found = advances_.find(key);
        if (found != advances_.end()) return found->second;
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, text.text.c_str(), &extents);
        advances_.emplace(std::move(key), extents.x_advance);
        return extents.x_advance;
    }

    cairo_t* cr_;
    FacePtr regular_;
    FacePtr bold_;
    cairo_font_face_t* face_ = nullptr;
    double size_ = 0;
    double offset_ = 0;
    double height_ = 0;
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
    {
        Painter painter(cr.get());
        for (const Sheet& sheet : drawing.sheets) {
            cairo_pdf_surface_set_size(surface.get(), sheet.width * kPointsPerMm, sheet.height * kPointsPerMm);
            painter.paint(sheet, 0, sheet.height);
            cairo_show_page(cr.get());
        }
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
    SurfacePtr surface(cairo_svg_surface_create_for_stream(writeBytes, &out, width * kPointsPerMm, height * kPointsPerMm));
    check(surface.get(), nullptr, "SVG");
    ContextPtr cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    {
        Painter painter(cr.get());
        double offset = 0;
        for (const Sheet& sheet : drawing.sheets) {
            painter.paint(sheet, offset, height);
            offset += sheet.width + kDxfSheetGap;
        }
    }
    check(surface.get(), cr.get(), "SVG");
    cr.reset();
    cairo_surface_finish(surface.get());
    check(surface.get(), nullptr, "SVG");
}

void writeDrawingFile(const Drawing& drawing, const std::filesystem::path& target) {
    const std::optional<DrawingFormat> format = drawingFormatFor(target.string());
    if (!format) throw Rejection("Cannot write " + target.string() + ": the name does not end in .pdf, .svg or .dxf");
    writeWholeFile(target, [&](std::ostream& out) {
        switch (*format) {
            case DrawingFormat::Pdf: writePdf(drawing, out); break;
            case DrawingFormat::Svg: writeSvg(drawing, out); break;
            case DrawingFormat::Dxf: writeDxf(drawing, out); break;
        }
    });
}

}  // namespace tierwise
