#include "drawing/sheet_furniture.h"

#include <algorithm>

#include "report/notes.h"

namespace tierwise::furniture {

double tableRowHeight(const TableRow& row) {
    size_t lines = 1;
    for (const TableCell& cell : row) lines = std::max(lines, cell.size());
    return static_cast<double>(lines) * kPitch + 1;
}

double tableHeight(const std::vector<TableRow>& rows) {
    double height = 0;
    for (const TableRow& row : rows) height += tableRowHeight(row);
    return height;
}

std::vector<double> tableWidths(const std::vector<TableRow>& rows) {
    std::vector<double> widths;
    for (const TableRow& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (size_t c = 0; c < row.size(); ++c) {
            for (const std::string& line : row[c]) widths[c] = std::max(widths[c], textWidth(line, kText));
        }
    }
    for (double& width : widths) width += 2 * kPad;
    return widths;
}

void drawTable(Sheet& sheet, const std::vector<TableRow>& rows, const std::vector<double>& widths, double left,
               double top) {
    double right = left;
    for (const double width : widths) right += width;
    double y = top;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) sheet.lines.push_back({{left, y}, {right, y}, Layer::Notes});
        double x = left;
        for (size_t c = 0; c < rows[r].size() && c < widths.size(); ++c) {
            for (size_t i = 0; i < rows[r][c].size(); ++i) {
                sheet.texts.push_back({{x + kPad, y + (kPitch + 1) / 2 + static_cast<double>(i) * kPitch},
                                       rows[r][c][i],
                                       kText,
                                       HAlign::Left,
                                       VAlign::Middle,
                                       false,
                                       Layer::Notes});
            }
            x += widths[c];
        }
        y += tableRowHeight(rows[r]);
    }
    addRectangle(sheet, left, top, right - left, y - top, Layer::Notes);
    double x = left;
    for (size_t c = 0; c + 1 < widths.size(); ++c) {
        x += widths[c];
        sheet.lines.push_back({{x, top}, {x, y}, Layer::Notes});
    }
}

void flipSheet(Sheet& sheet) {
    const auto flip = [&](Point& p) { p.y = sheet.height - p.y; };
    for (Line& line : sheet.lines) {
        flip(line.from);
        flip(line.to);
    }
    for (Polyline& polyline : sheet.polylines) {
        for (Point& p : polyline.points) flip(p);
    }
    for (Circle& circle : sheet.circles) flip(circle.centre);
    for (Text& text : sheet.texts) flip(text.at);
    // Symbols are drawn y upwards round their own origin already; only their places turn.
    for (Placement& placement : sheet.placements) flip(placement.at);
}

void addText(Sheet& sheet, double x, double y, std::string text, double height, HAlign h, VAlign v, bool bold) {
    sheet.texts.push_back({{x, y}, std::move(text), height, h, v, bold, Layer::Text});
}

void addRectangle(Sheet& sheet, double left, double top, double width, double height, Layer layer) {
    sheet.polylines.push_back(
        {{{left, top}, {left + width, top}, {left + width, top + height}, {left, top + height}}, true, layer});
}

bool holds(const Paper& paper, Point drawing, Point title) {
    const double width = paper.width - 2 * kInset;
    const double height = paper.height - 2 * kInset;
    return drawing.x <= width && drawing.y <= height && title.x <= width && title.y <= height &&
           (drawing.y + kGap + title.y <= height || drawing.x + kGap + title.x <= width);
}

const Paper& paperFor(Point drawing, Point title) {
    for (const Paper& paper : kPapers) {
        if (holds(paper, drawing, title)) return paper;
    }
    return kLargestPaper;
}

void setPaper(Sheet& sheet, const Paper& paper) {
    sheet.paper = paper.name;
    sheet.width = paper.width;
    sheet.height = paper.height;
}

std::string plotRow(std::string_view paper, int cadScale) {
    return "Paper " + std::string(paper) + "; plot the DXF at 1:" + std::to_string(cadScale);
}

void drawFrameAndTitle(Sheet& sheet, const TitleBlock& title) {
    addRectangle(sheet, kFrame, kFrame, sheet.width - 2 * kFrame, sheet.height - 2 * kFrame, Layer::Outline);
    const double width = title.width();
    const double height = title.height();
    const double left = sheet.width - kInset - width;
    const double top = sheet.height - kInset - height;
    addRectangle(sheet, left, top, width, height, Layer::Outline);
    addText(sheet, left + kPad, top + kPad, title.heading, kHeading, HAlign::Left, VAlign::Top, true);
    double y = top + kHeading + 2 * kPad;
    sheet.lines.push_back({{left, y}, {left + width, y}, Layer::Outline});
    for (const std::string& row : title.rows) {
        addText(sheet, left + kPad, y + 3, row, kText, HAlign::Left, VAlign::Middle);
        y += 6;
    }
}

std::optional<Section> shownSection(const RangeDetail& detail) {
    if (detail.outcome == RangeOutcome::Empty) return std::nullopt;
    if (detail.section.D > 0) return detail.section;
    if (!detail.sections.empty() && detail.sections.front().D > 0) return detail.sections.front();
    return std::nullopt;
}

std::vector<std::string> headRows(const DrawingInfo& info) {
    const auto field = [](const std::string& text) { return text.empty() ? std::string(16, '.') : text; };
    const TitleFields& f = info.fields;
    std::vector<std::string> rows{
        "Project: " + field(f.project), "Drawing no.: " + field(f.drawingNumber) + "   Rev.: " + field(f.revision),
        "Drawn: " + field(f.drawnBy) + "   Checked: " + field(f.checkedBy) + "   Approved: " + field(f.approvedBy),
        "Model: " + info.modelName};
    if (info.incomplete) rows.push_back(std::string("Made ") + kIncompleteFileText);
    return rows;
}

TitleBlock titleBlock(std::string heading, const DrawingInfo& info, std::vector<std::string> rows) {
    TitleBlock title{std::move(heading), headRows(info)};
    title.rows.insert(title.rows.end(), rows.begin(), rows.end());
    return title;
}

}  // namespace tierwise::furniture
