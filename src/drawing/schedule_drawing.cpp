#include "drawing/schedule_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <tuple>

#include "drawing/section_cell.h"
#include "grid/grid_lines.h"
#include "model/numbers.h"
#include "report/column_schedule_sheet.h"
#include "report/notes.h"

namespace tierwise {

namespace {

// Sheet furniture, mm on paper. The frame stands 10 mm inside the paper's edge and everything
// drawn keeps another 5 mm clear of it.
constexpr double kFrame = 10;
constexpr double kInset = 15;
constexpr double kText = 2.5;       // cell texts, refs, marks
constexpr double kMinText = 1.8;    // the least a cell text shrinks to: the smallest lettering of drawings
constexpr double kHeading = 3.5;    // marks in the table heading, grid labels, sheet titles
constexpr double kPitch = 4.25;     // line pitch of 2.5 mm text
constexpr double kPad = 3;          // inside a table cell
constexpr double kMinCell = 46;     // a cell holds "8 - 20 dia (1.86 %)" unwrapped
constexpr double kMaxSection = 60;  // 600 mm at 1:10
constexpr double kGap = 8;          // between the drawing and the title block
constexpr double kBubble = 8;
constexpr double kSquare = 3;
constexpr double kNotesWidth = 180;  // the notes block's text, wrapped

struct Paper {
    const char* name;
    double width;  // landscape
    double height;
};
constexpr std::array<Paper, 4> kPapers{{{"A3", 420, 297}, {"A2", 594, 420}, {"A1", 841, 594}, {"A0", 1189, 841}}};
constexpr Paper kLargestPaper = kPapers.back();

constexpr std::array<int, 6> kSectionScales{5, 10, 20, 25, 50, 100};
constexpr std::array<int, 11> kPlanScales{50, 100, 200, 250, 500, 1000, 1250, 2000, 2500, 5000, 10000};

// Sheets are laid out from the top left, y downwards, as one reads them; flipSheet turns the
// result into the model's y-up coordinates once the paper is known.
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

void addText(Sheet& sheet, double x, double y, std::string text, double height, HAlign h, VAlign v, bool bold = false) {
    sheet.texts.push_back({{x, y}, std::move(text), height, h, v, bold, Layer::Text});
}

void addRectangle(Sheet& sheet, double left, double top, double width, double height, Layer layer) {
    sheet.polylines.push_back(
        {{{left, top}, {left + width, top}, {left + width, top + height}, {left, top + height}}, true, layer});
}

// Whether `paper` holds the drawing (top left) and the title block (bottom right) inside its
// frame without the two meeting: the title block below the drawing or beside it.
bool holds(const Paper& paper, Point drawing, Point title) {
    const double width = paper.width - 2 * kInset;
    const double height = paper.height - 2 * kInset;
    return drawing.x <= width && drawing.y <= height && title.x <= width && title.y <= height &&
           (drawing.y + kGap + title.y <= height || drawing.x + kGap + title.x <= width);
}

// The smallest ISO A sheet that holds the drawing and its title block, or a sheet cut to size
// (title block below) when even A0 is too small.
void choosePaper(Sheet& sheet, Point drawing, Point title) {
    for (const Paper& paper : kPapers) {
        if (holds(paper, drawing, title)) {
            sheet.paper = paper.name;
            sheet.width = paper.width;
            sheet.height = paper.height;
            return;
        }
    }
    sheet.paper = "custom";
    sheet.width = std::ceil(std::max(drawing.x, title.x) + 2 * kInset);
    sheet.height = std::ceil(drawing.y + kGap + title.y + 2 * kInset);
}

struct TitleBlock {
    std::string heading;
    std::vector<std::string> rows;
    [[nodiscard]] double width() const {
        double widest = textWidth(heading, kHeading);
        for (const std::string& row : rows) widest = std::max(widest, textWidth(row, kText));
        return std::max(110.0, widest + 2 * kPad);
    }
    [[nodiscard]] double height() const { return kHeading + 2 * kPad + static_cast<double>(rows.size()) * 6.0 + kPad; }
    [[nodiscard]] Point size() const { return {width(), height()}; }
};

// The frame and the title block in the frame's lower right corner.
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

// The section a cell shows: the range's own, or the lowest of several.
std::optional<Section> shownSection(const RangeDetail& detail) {
    if (detail.outcome == RangeOutcome::Empty) return std::nullopt;
    if (detail.section.D > 0) return detail.section;
    if (!detail.sections.empty() && detail.sections.front().D > 0) return detail.sections.front();
    return std::nullopt;
}

// Sections are drawn with the larger side D across the sheet (drawSection): the cell's width
// takes D, its height b (D for a round one).
double drawnHeight(const Section& section) { return section.circular() ? section.D : section.b; }

// What a cell says, a line each and none ever broken: the size (each of a range's differing
// sections on its own line), the bars, the ties.
std::vector<std::string> cellLines(const RangeDetail& detail) {
    std::vector<std::string> lines;
    if (detail.outcome == RangeOutcome::MixedSections && !detail.sections.empty()) {
        for (const Section& section : detail.sections) lines.push_back(sizeText(section));
    } else if (!detail.sizeText.empty()) {
        lines.push_back(detail.sizeText);
    }
    for (const std::string* text : {&detail.barsText, &detail.tiesText}) {
        if (!text->empty()) lines.push_back(*text);
    }
    // The heights without design results last, a line each.
    for (size_t start = 0; start < detail.undesignedText.size();) {
        const size_t end = std::min(detail.undesignedText.find("; ", start), detail.undesignedText.size());
        lines.push_back(detail.undesignedText.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// How many of cellLines' last lines are heights without design results.
size_t undesignedLines(const RangeDetail& detail) {
    if (detail.undesignedText.empty()) return 0;
    size_t count = 1;
    for (size_t at = detail.undesignedText.find("; "); at != std::string::npos;
         at = detail.undesignedText.find("; ", at + 2))
        ++count;
    return count;
}

// A cell text's height: kText, or less when that is wider than `room`. The cells are made wide
// enough that no text goes below kMinText; a bold text, a little wider than measured, still keeps
// inside the cell's padding.
double fittedHeight(const std::string& text, double room) {
    const double width = textWidth(text, kText);
    return width <= room ? kText : kText * room / width;
}

}  // namespace

std::vector<PlanColumn> planColumns(const ColumnDetailing& schedule, const Model& model,
                                    const std::vector<ColumnLine>& groups) {
    std::map<std::pair<int32_t, int32_t>, const std::string*> markAt;
    for (const ColumnMark& mark : schedule.marks) {
        for (const size_t line : mark.lines) {
            if (line < groups.size()) markAt.emplace(std::pair{groups[line].xIndex, groups[line].zIndex}, &mark.mark);
        }
    }
    std::vector<PlanColumn> columns;
    for (const ColumnPosition& position : columnPositions(model)) {
        const auto x = static_cast<size_t>(position.xIndex - 1);
        const auto z = static_cast<size_t>(position.zIndex - 1);
        if (x >= model.gridX.size() || z >= model.gridZ.size()) continue;
        PlanColumn column{model.gridX[x] * 10.0, model.gridZ[z] * 10.0, {},
                          position.alongX,       position.alongZ,       position.circular};
        if (const auto found = markAt.find({position.xIndex, position.zIndex}); found != markAt.end()) {
            column.mark = *found->second;
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

int sectionScale(const ColumnDetailing& schedule) {
    double largest = 0;
    for (const ColumnMark& mark : schedule.marks) {
        for (const uint32_t cell : mark.ranges) {
            if (const std::optional<Section> section = shownSection(schedule.details[cell])) {
                largest = std::max(largest, static_cast<double>(section->D));
            }
        }
    }
    for (const int n : kSectionScales) {
        if (largest / n <= kMaxSection) return n;
    }
    return static_cast<int>(std::ceil(largest / kMaxSection));
}

namespace {

// The schedule table's measures, common to all its sheets.
struct TableLayout {
    int scaleDenominator = 10;
    double scale = 0.1;
    double cellWidth = kMinCell;
    double textRoom = kMinCell - 2 * kPad;
    double levelWidth = 0;
    double headHeight = 0;
    std::vector<std::vector<std::string>> refLines;  // per mark
    struct Row {
        size_t range = 0;
        double sectionHeight = 0;
        double height = 0;
    };
    std::vector<Row> rows;  // highest range first
};

TableLayout layoutTable(const ColumnDetailing& schedule) {
    TableLayout table;
    table.scaleDenominator = sectionScale(schedule);
    table.scale = 1.0 / table.scaleDenominator;
    double sectionWidth = 0;
    for (const ColumnMark& mark : schedule.marks) {
        for (const uint32_t cell : mark.ranges) {
            if (const std::optional<Section> section = shownSection(schedule.details[cell])) {
                sectionWidth = std::max(sectionWidth, section->D * table.scale);
            }
        }
    }
    double textRoom = 0;  // the widest cell text at its least height
    for (const RangeDetail& detail : schedule.details) {
        for (const std::string& line : cellLines(detail)) textRoom = std::max(textRoom, textWidth(line, kMinText));
    }
    table.cellWidth = std::max({kMinCell, sectionWidth + 2 * kPad, textRoom + 2 * kPad});
    table.textRoom = table.cellWidth - 2 * kPad;

    table.levelWidth = textWidth("Levels (m)", kText);
    for (const StoreyRange& range : schedule.ranges) {
        table.levelWidth = std::max(table.levelWidth, textWidth(range.span, kText));
    }
    table.levelWidth += 2 * kPad;
    size_t mostRefLines = 0;
    for (const ColumnMark& mark : schedule.marks) {
        table.refLines.push_back(wrapText(joinedRefs(mark.gridRefs, SIZE_MAX), table.textRoom, kText));
        mostRefLines = std::max(mostRefLines, table.refLines.back().size());
    }
    table.headHeight = kPad + kHeading + 2 + static_cast<double>(mostRefLines) * kPitch + kPad;

    // A row is as high as its tallest section and the most text lines under one.
    for (size_t r = schedule.ranges.size(); r-- > 0;) {
        TableLayout::Row row{r, 0, 0};
        size_t mostLines = 0;
        for (const ColumnMark& mark : schedule.marks) {
            if (r >= mark.ranges.size()) continue;
            const RangeDetail& detail = schedule.cell(mark, r);
            if (const std::optional<Section> section = shownSection(detail)) {
                row.sectionHeight = std::max(row.sectionHeight, drawnHeight(*section) * table.scale);
            }
            mostLines = std::max(mostLines, cellLines(detail).size());
        }
        row.height = std::max(kPad + row.sectionHeight + kPad + static_cast<double>(mostLines) * kPitch + kPad,
                              2 * kPad + kPitch);
        table.rows.push_back(row);
    }
    return table;
}

// The cover the title block states: the one all cells use, else the notes give them.
std::string coverRow(const ColumnDetailing& schedule, const DrawingInfo& info) {
    for (const RangeDetail& detail : schedule.details) {
        if (detail.cover > 0 && detail.cover != info.cover) return "Cover to main bars: see the notes";
    }
    return "Cover to main bars: " + formatDouble(info.cover) + " mm";
}

// The rows every title block starts with: the project, the drawing's number and revision, who drew,
// checked and approved it (blank where not given), the model; and for a drawing made from a
// cut-off analysis file that mark after the model's name.
std::vector<std::string> headRows(const DrawingInfo& info) {
    const auto field = [](const std::string& text) { return text.empty() ? std::string(10, '_') : text; };
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

TitleBlock scheduleTitle(const ColumnDetailing& schedule, const DrawingInfo& info, int scaleDenominator) {
    return titleBlock("COLUMN SCHEDULE", info,
                      {"Date: " + info.date, "All dimensions in mm", coverRow(schedule, info),
                       "Detailing: " + rulesText(schedule.options),
                       "Sections 1:" + std::to_string(scaleDenominator) + ", drawn with the larger side across",
                       "Schedule sheet 999 of 999 (custom)"});
}

// The typical column elevation of a ductile schedule: one storey's column between two beams, not
// to scale, with the confining zones lo at both ends, the wider pitch between them, the lap zone
// in the middle half and the hoops carried through the joints, its numbers from one cell.
constexpr double kElevationWidth = 125;

struct ElevationBlock {
    const RangeDetail* cell = nullptr;
    std::string source;               // "C1, 0 to 3.5"
    std::vector<std::string> legend;  // wrapped
    // Drawn measures, mm on paper: beam depth, clear height, zone length, column width.
    static constexpr double kBeam = 10;
    static constexpr double kClear = 110;
    static constexpr double kZone = 24;
    static constexpr double kColumn = 14;
    static constexpr double kOverrun = 6;  // the column drawn past each beam
    [[nodiscard]] double drawingTop() const { return kHeading + 2 + 2 * kPitch + 2 + kOverrun; }
    [[nodiscard]] double height() const {
        return drawingTop() + 2 * kBeam + kClear + kOverrun + 2 + static_cast<double>(legend.size()) * kPitch;
    }
};

// The first mark's lowest cell with hoops, in ductile schedules.
std::optional<ElevationBlock> elevationBlock(const ColumnDetailing& schedule) {
    if (!schedule.options.ductile) return std::nullopt;
    for (const ColumnMark& mark : schedule.marks) {
        for (size_t k = 0; k < mark.ranges.size() && k < schedule.ranges.size(); ++k) {
            const RangeDetail& cell = schedule.cell(mark, k);
            if (cell.outcome != RangeOutcome::Detailed || cell.confinement.diameter == 0) continue;
            ElevationBlock block{&cell, mark.mark + ", " + schedule.ranges[k].span + " m", {}};
            const std::string legend =
                "L: the storey's clear height; lo from the column's centre-to-centre length, on the safe side. "
                "Hoops continue through every joint and " +
                formatDouble(kLeastFootingHoops) +
                " into the footing at the foot of the lowest storey. Hoops closed with 135 degree hooks, "
                "extension " +
                formatDouble(hookExtension(cell.confinement.diameter)) + " (" + std::to_string(kHookExtensionBars) +
                " dia, at least " + formatDouble(kLeastHookExtension) + "). Laps in the middle half only, hoops @ " +
                formatDouble(kMaxLapHoopPitch) + " c/c at most over a lap.";
            block.legend = wrapText(legend, kElevationWidth, kText);
            return block;
        }
    }
    return std::nullopt;
}

void drawElevation(Sheet& sheet, const ElevationBlock& block, double left, double top) {
    using E = ElevationBlock;
    const Confinement& hoops = block.cell->confinement;
    addText(sheet, left, top, "TYPICAL COLUMN ELEVATION (not to scale)", kHeading, HAlign::Left, VAlign::Top, true);
    addText(sheet, left, top + kHeading + 2, "Ductile detailing by IS 13920:2016", kText, HAlign::Left, VAlign::Top);
    addText(sheet, left, top + kHeading + 2 + kPitch, "Numbers of " + block.source + ", typical", kText, HAlign::Left,
            VAlign::Top);
    const double cx = left + 42;
    const double half = E::kColumn / 2;
    const double beamTop = top + block.drawingTop();
    const double clearTop = beamTop + E::kBeam;
    const double clearBottom = clearTop + E::kClear;
    const double beamBottom = clearBottom + E::kBeam;
    // The column, running on past both beams, and the beams framing in.
    for (const double x : {cx - half, cx + half})
        sheet.lines.push_back({{x, beamTop - E::kOverrun}, {x, beamBottom + E::kOverrun}, Layer::Outline});
    for (const double y : {beamTop, clearBottom}) {
        for (const double side : {-1.0, 1.0}) {
            const double inner = cx + side * half;
            const double outer = cx + side * (half + 26);
            for (const double edge : {y, y + E::kBeam})
                sheet.lines.push_back({{inner, edge}, {outer, edge}, Layer::Outline});
        }
    }
    // Main bars: the lower storey's bars up to the lap's top, the upper storey's down to its foot,
    // overlapping within the middle half.
    const double lapTop = clearTop + 0.35 * E::kClear;
    const double lapBottom = clearTop + 0.65 * E::kClear;
    for (const double side : {-1.0, 1.0}) {
        const double outer = cx + side * (half - 2);
        const double inner = cx + side * (half - 3.2);
        sheet.lines.push_back({{outer, beamTop - E::kOverrun}, {outer, lapBottom}, Layer::Bars});
        sheet.lines.push_back({{inner, lapTop}, {inner, beamBottom + E::kOverrun}, Layer::Bars});
    }
    // Hoops: close in the zones and through the joints, wider between, close again over the lap.
    const auto hoopsBetween = [&](double from, double to, double pitch) {
        for (double y = from + pitch / 2; y < to; y += pitch)
            sheet.lines.push_back({{cx - half + 1, y}, {cx + half - 1, y}, Layer::Ties});
    };
    constexpr double kClose = 2.5;
    constexpr double kWide = 6;
    // Drawn pitches follow the real ones' order: the lap's as close as the zones' where they are equal.
    const int overLap = std::min(hoops.middlePitch, static_cast<int>(kMaxLapHoopPitch));
    const double lapPitch = overLap <= hoops.zonePitch ? kClose : overLap < hoops.middlePitch ? 3.5 : kWide;
    hoopsBetween(beamTop - E::kOverrun, clearTop + E::kZone, kClose);
    hoopsBetween(clearTop + E::kZone, lapTop, kWide);
    hoopsBetween(lapTop, lapBottom, lapPitch);
    hoopsBetween(lapBottom, clearBottom - E::kZone, kWide);
    hoopsBetween(clearBottom - E::kZone, beamBottom + E::kOverrun, kClose);
    // Dimension chains: the zones and the pitches on the right, the clear height's quarters on the left.
    constexpr double kTick = 1;
    const auto chain = [&](double x, const std::vector<double>& ys) {
        sheet.lines.push_back({{x, ys.front()}, {x, ys.back()}, Layer::Outline});
        for (const double y : ys)
            sheet.lines.push_back({{x - kTick, y + kTick}, {x + kTick, y - kTick}, Layer::Outline});
    };
    const double rightX = cx + half + 8;
    chain(rightX, {clearTop, clearTop + E::kZone, clearBottom - E::kZone, clearBottom});
    const std::string zone = std::to_string(hoops.diameter) + " dia @ " + std::to_string(hoops.zonePitch) + " c/c";
    for (const double y : {clearTop + E::kZone / 2, clearBottom - E::kZone / 2}) {
        addText(sheet, rightX + 2, y - 0.5, "lo = " + std::to_string(hoops.zoneLength), kText, HAlign::Left,
                VAlign::Bottom);
        addText(sheet, rightX + 2, y + 0.5, zone, kText, HAlign::Left, VAlign::Top);
    }
    const double middle = (clearTop + clearBottom) / 2;
    addText(sheet, rightX + 2, middle - 0.5, "@ " + std::to_string(hoops.middlePitch) + " c/c between,", kText,
            HAlign::Left, VAlign::Bottom);
    addText(sheet, rightX + 2, middle + 0.5,
            "@ " + std::to_string(std::min(hoops.middlePitch, static_cast<int>(kMaxLapHoopPitch))) + " c/c over a lap",
            kText, HAlign::Left, VAlign::Top);
    addText(sheet, cx + half + 28, beamTop + E::kBeam / 2, zone + " through the joint", kText, HAlign::Left,
            VAlign::Middle);
    const double leftX = cx - half - 8;
    const double quarter = E::kClear / 4;
    chain(leftX, {clearTop, clearTop + quarter, clearBottom - quarter, clearBottom});
    addText(sheet, leftX - 2, clearTop + quarter / 2, "L/4", kText, HAlign::Right, VAlign::Middle);
    addText(sheet, leftX - 2, (clearTop + clearBottom) / 2 - 0.5, "lap zone", kText, HAlign::Right, VAlign::Bottom);
    addText(sheet, leftX - 2, (clearTop + clearBottom) / 2 + 0.5, "L/2", kText, HAlign::Right, VAlign::Top);
    addText(sheet, leftX - 2, clearBottom - quarter / 2, "L/4", kText, HAlign::Right, VAlign::Middle);
    double y = beamBottom + E::kOverrun + 2;
    for (const std::string& line : block.legend) {
        addText(sheet, left, y, line, kText, HAlign::Left, VAlign::Top);
        y += kPitch;
    }
}

// The notes under the table, numbered and wrapped, and beside them a ductile schedule's typical elevation.
struct NotesBlock {
    std::vector<std::string> lines;
    std::optional<ElevationBlock> elevation;
    [[nodiscard]] double notesHeight() const {
        return lines.empty() ? 0 : kGap + kHeading + 2 + static_cast<double>(lines.size()) * kPitch;
    }
    [[nodiscard]] double height() const {
        return std::max(notesHeight(), elevation ? kGap + elevation->height() : 0.0);
    }
    [[nodiscard]] double notesWidth() const { return lines.empty() ? 0 : kNotesWidth; }
    [[nodiscard]] double width() const { return notesWidth() + (elevation ? kGap + kElevationWidth : 0.0); }
};

NotesBlock notesBlock(const std::vector<std::string>& notes, const ColumnDetailing& schedule) {
    NotesBlock block;
    for (size_t i = 0; i < notes.size(); ++i) {
        for (std::string& line : wrapText(std::to_string(i + 1) + ". " + notes[i], kNotesWidth, kText))
            block.lines.push_back(std::move(line));
    }
    block.elevation = elevationBlock(schedule);
    return block;
}

void drawNotes(Sheet& sheet, const NotesBlock& notes, double left, double top) {
    if (notes.elevation) {
        const double notesWidth = notes.notesWidth();
        drawElevation(sheet, *notes.elevation, left + notesWidth + (notesWidth > 0 ? kGap : 0), top + kGap);
    }
    if (notes.lines.empty()) return;
    double y = top + kGap;
    sheet.texts.push_back({{left, y}, "NOTES", kHeading, HAlign::Left, VAlign::Top, true, Layer::Notes});
    y += kHeading + 2;
    for (const std::string& line : notes.lines) {
        sheet.texts.push_back({{left, y}, line, kText, HAlign::Left, VAlign::Top, false, Layer::Notes});
        y += kPitch;
    }
}

// What makes two cells' drawings the same: the section, the bars and tie of a detailed cell
// (the others show the bare section), the texts, and the height of the row's sections, which
// sets how far below the section's centre the texts start.
using SymbolKey = std::tuple<int, int, int, int, int, int, int, int, int, std::string, long, double>;

size_t cellSymbol(Sheet& sheet, std::map<SymbolKey, size_t>& symbols, const TableLayout& table,
                  const TableLayout::Row& row, const DrawingInfo& info, const RangeDetail& detail) {
    const std::optional<Section> section = shownSection(detail);
    const bool detailed = detail.outcome == RangeOutcome::Detailed;
    const BarArrangement bars = detailed ? detail.bars : BarArrangement{};
    const Ties ties = detailed ? detail.ties : Ties{};
    const TieLayout layout = detailed ? detail.layout : TieLayout{};
    const Section drawn = section.value_or(Section{});
    std::string texts = detail.sizeText + '\n' + detail.barsText + '\n' + detail.tiesText + '\n' +
                        detail.undesignedText + (detailed ? "" : "\n!");
    const SymbolKey key{drawn.b,
                        drawn.D,
                        bars.count,
                        bars.diameter,
                        bars.shortFaceBars,
                        bars.longFaceBars,
                        ties.diameter,
                        layout.acrossB,
                        layout.acrossD,
                        std::move(texts),
                        std::lround(row.sectionHeight * 1000),
                        detail.cover};
    const auto [found, added] = symbols.emplace(key, sheet.symbols.size());
    if (added) {
        Shapes& symbol = sheet.symbols.emplace_back();
        if (section)
            drawSection(symbol, {0, 0}, table.scale, *section, detail.cover > 0 ? detail.cover : info.cover, bars, ties,
                        layout);
        // A refused cell says why in bold, under its bare section; so do the last lines, the
        // heights without design results.
        double y = -(row.sectionHeight / 2 + kPad);
        std::vector<std::string> lines = cellLines(detail);
        const size_t plain = lines.size() - undesignedLines(detail);
        for (size_t i = 0; i < lines.size(); ++i) {
            const double height = fittedHeight(lines[i], table.textRoom);
            symbol.texts.push_back({{0, y},
                                    std::move(lines[i]),
                                    height,
                                    HAlign::Centre,
                                    VAlign::Top,
                                    !detailed || i >= plain,
                                    Layer::Text});
            y -= kPitch;
        }
    }
    return found->second;
}

// One sheet of the table: marks [firstMark, endMark) and rows [firstRow, endRow).
Sheet tableSheet(const ColumnDetailing& schedule, const TableLayout& table, const DrawingInfo& info,
                 const NotesBlock& notes, size_t firstMark, size_t endMark, size_t firstRow, size_t endRow) {
    Sheet sheet;
    sheet.title = "Column schedule";
    std::map<SymbolKey, size_t> symbols;
    double tableHeight = table.headHeight;
    for (size_t r = firstRow; r < endRow; ++r) tableHeight += table.rows[r].height;
    const double tableWidth = table.levelWidth + static_cast<double>(endMark - firstMark) * table.cellWidth;
    const TitleBlock title = scheduleTitle(schedule, info, table.scaleDenominator);
    choosePaper(sheet, {std::max(tableWidth, notes.width()), tableHeight + notes.height()}, title.size());

    const double left = kInset;
    const double top = kInset;
    addRectangle(sheet, left, top, tableWidth, tableHeight, Layer::Outline);
    for (size_t m = firstMark; m < endMark; ++m) {
        const double x = left + table.levelWidth + static_cast<double>(m - firstMark) * table.cellWidth;
        sheet.lines.push_back({{x, top}, {x, top + tableHeight}, Layer::Outline});
        addText(sheet, x + table.cellWidth / 2, top + kPad, schedule.marks[m].mark, kHeading, HAlign::Centre,
                VAlign::Top, true);
        double y = top + kPad + kHeading + 2;
        for (const std::string& line : table.refLines[m]) {
            addText(sheet, x + table.cellWidth / 2, y, line, kText, HAlign::Centre, VAlign::Top);
            y += kPitch;
        }
    }
    addText(sheet, left + table.levelWidth / 2, top + table.headHeight / 2, "Levels (m)", kText, HAlign::Centre,
            VAlign::Middle);

    double rowTop = top + table.headHeight;
    for (size_t r = firstRow; r < endRow; ++r) {
        const TableLayout::Row& row = table.rows[r];
        sheet.lines.push_back({{left, rowTop}, {left + tableWidth, rowTop}, Layer::Outline});
        addText(sheet, left + table.levelWidth / 2, rowTop + row.height / 2, schedule.ranges[row.range].span, kText,
                HAlign::Centre, VAlign::Middle);
        for (size_t m = firstMark; m < endMark; ++m) {
            const ColumnMark& mark = schedule.marks[m];
            if (row.range >= mark.ranges.size()) continue;
            const RangeDetail& detail = schedule.cell(mark, row.range);
            const double centreX =
                left + table.levelWidth + (static_cast<double>(m - firstMark) + 0.5) * table.cellWidth;
            if (detail.outcome == RangeOutcome::Empty) continue;
            const Point centre{centreX, rowTop + kPad + row.sectionHeight / 2};
            sheet.placements.push_back({cellSymbol(sheet, symbols, table, row, info, detail), centre});
        }
        rowTop += row.height;
    }
    drawNotes(sheet, notes, left, top + tableHeight);
    return sheet;
}

// Numbers the sheets in their title blocks, draws frames and title blocks, and turns the sheets
// the right way up.
void finishSheets(std::vector<Sheet>& sheets, const std::vector<TitleBlock>& titles) {
    for (size_t i = 0; i < sheets.size(); ++i) {
        TitleBlock title = titles[i];
        title.rows.back() = "Schedule sheet " + std::to_string(i + 1) + " of " + std::to_string(sheets.size()) + " (" +
                            sheets[i].paper + ")";
        drawFrameAndTitle(sheets[i], title);
        flipSheet(sheets[i]);
    }
}

}  // namespace

std::vector<Sheet> scheduleSheets(const ColumnDetailing& schedule, const DrawingInfo& info) {
    const TableLayout table = layoutTable(schedule);
    const TitleBlock title = scheduleTitle(schedule, info, table.scaleDenominator);
    const NotesBlock notes = notesBlock(info.notes, schedule);
    // A table larger than A0 continues on further sheets: first across the marks, then down
    // the storey ranges, every sheet with the marks' headings and the ranges' levels.
    const double roomWidth = kLargestPaper.width - 2 * kInset - table.levelWidth;
    const double roomHeight =
        kLargestPaper.height - 2 * kInset - table.headHeight - notes.height() - kGap - title.height();
    const size_t marksPerSheet = std::max<size_t>(1, static_cast<size_t>(roomWidth / table.cellWidth));
    std::vector<std::pair<size_t, size_t>> rowBands;
    for (size_t r = 0; r < table.rows.size();) {
        size_t end = r + 1;
        double height = table.rows[r].height;
        while (end < table.rows.size() && height + table.rows[end].height <= roomHeight)
            height += table.rows[end++].height;
        rowBands.emplace_back(r, end);
        r = end;
    }
    if (rowBands.empty()) rowBands.emplace_back(0, 0);
    std::vector<Sheet> sheets;
    for (size_t m = 0; m < schedule.marks.size() || (m == 0 && schedule.marks.empty()); m += marksPerSheet) {
        const size_t endMark = std::min(schedule.marks.size(), m + marksPerSheet);
        for (const auto& [firstRow, endRow] : rowBands) {
            sheets.push_back(tableSheet(schedule, table, info, notes, m, endMark, firstRow, endRow));
        }
        if (schedule.marks.empty()) break;
    }
    finishSheets(sheets, std::vector<TitleBlock>(sheets.size(), title));
    return sheets;
}

namespace {

// The layout plan's dimension chains: between neighbouring named grid lines, in whole mm.
std::vector<std::string> dimensionTexts(const std::vector<double>& lines) {
    std::vector<std::string> texts;
    for (size_t i = 1; i < lines.size(); ++i) texts.push_back(std::to_string(std::lround(lines[i] - lines[i - 1])));
    return texts;
}

// A designed rectangular column is drawn solid: its outline filled with lines across it.
void hatchRectangle(Sheet& sheet, double left, double top, double width, double height) {
    constexpr double kHatchPitch = 0.3;
    const auto count = static_cast<int>(height / kHatchPitch);
    for (int i = 1; i < count; ++i) {
        const double y = top + height * i / count;
        sheet.lines.push_back({{left, y}, {left + width, y}, Layer::Outline});
    }
}

}  // namespace

Sheet layoutPlanSheet(const ColumnDetailing& schedule, const std::vector<PlanColumn>& columns,
                      const DrawingInfo& info) {
    Sheet sheet;
    sheet.title = "Column layout plan";
    std::vector<double> xs;
    std::vector<double> zs;
    for (const GridLine& line : schedule.axes.x) xs.push_back(line.at * 10.0);
    for (const GridLine& line : schedule.axes.z) zs.push_back(line.at * 10.0);
    // The plan reaches over the named lines and every column's outline.
    double minX = std::numeric_limits<double>::infinity();
    double maxX = -minX;
    double minZ = minX;
    double maxZ = -minX;
    for (const double x : xs) minX = std::min(minX, x), maxX = std::max(maxX, x);
    for (const double z : zs) minZ = std::min(minZ, z), maxZ = std::max(maxZ, z);
    for (const PlanColumn& column : columns) {
        minX = std::min(minX, column.x - column.alongX / 2);
        maxX = std::max(maxX, column.x + column.alongX / 2);
        minZ = std::min(minZ, column.z - column.alongZ / 2);
        maxZ = std::max(maxZ, column.z + column.alongZ / 2);
    }
    if (minX > maxX) minX = maxX = 0;
    if (minZ > maxZ) minZ = maxZ = 0;
    const double spanX = maxX - minX;
    const double spanZ = maxZ - minZ;

    double markWidth = 0;
    for (const PlanColumn& column : columns) markWidth = std::max(markWidth, textWidth(column.mark, kText));
    // Neighbouring columns' marks stand side by side; a mark at the edge stays clear of the bubbles.
    const double minGap = std::max(14.0, markWidth + kSquare + 5);
    const double overhang = std::max(12.0, markWidth + kSquare + 6);
    // The dimension chains stand outside the bubbles: along X above the plan, along Z to its left.
    const std::vector<std::string> xDimensions = dimensionTexts(xs);
    const std::vector<std::string> zDimensions = dimensionTexts(zs);
    constexpr double kDimensionGap = 2;
    const double xBand = xDimensions.empty() ? 0 : kDimensionGap + 1 + kText + 1;
    double zBand = 0;
    for (const std::string& text : zDimensions) zBand = std::max(zBand, kDimensionGap + 1 + textWidth(text, kText) + 1);
    const double marginX = overhang + kBubble;  // each side, besides the dimension chain's band
    const double marginZ = overhang + kBubble;
    double closest = std::numeric_limits<double>::infinity();
    for (const std::vector<double>* axis : {&xs, &zs}) {
        for (size_t i = 1; i < axis->size(); ++i) closest = std::min(closest, (*axis)[i] - (*axis)[i - 1]);
    }

    TitleBlock title =
        titleBlock("COLUMN LAYOUT PLAN", info,
                   {"Date: " + info.date, "Scale 1:10000 on custom", "Grid lines: letters along X, numbers along Z",
                    "X to the right, Z down the sheet", "Columns as they stand; dimensions in mm",
                    "Hollow: a column without design results"});
    const size_t scaleRow = headRows(info).size() + 1;
    // The plan's axes, X across and Z down the sheet, drawn below its lower left corner.
    constexpr double kAxisArrow = 10;
    const double axisBand = kAxisArrow + kText + 2;
    const auto planSize = [&](int n) {
        return Point{spanX / n + 2 * marginX + zBand, spanZ / n + 2 * marginZ + xBand + axisBand};
    };
    const auto fits = [&](int n, const Paper& paper) { return holds(paper, planSize(n), title.size()); };
    int readable = 0;  // the smallest scale at which neighbouring marks stay apart
    for (const int n : kPlanScales) {
        if (closest / n >= minGap) readable = n;
    }
    int chosen = 0;
    for (const Paper& paper : kPapers) {
        for (const int n : kPlanScales) {
            if (readable != 0 && n > readable) break;
            if (fits(n, paper)) {
                chosen = n;
                break;
            }
        }
        if (chosen != 0) break;
    }
    if (chosen == 0) chosen = readable != 0 ? readable : kPlanScales.back();
    const Point size = planSize(chosen);
    choosePaper(sheet, size, title.size());
    sheet.planScale = chosen;
    title.rows[scaleRow] = "Scale 1:" + std::to_string(chosen) + " on " + sheet.paper;

    const double left = kInset + zBand + marginX;
    const double top = kInset + xBand + marginZ;
    const auto px = [&](double x) { return left + (x - minX) / chosen; };
    const auto pz = [&](double z) { return top + (z - minZ) / chosen; };
    const double lineTop = top - overhang;
    const double lineBottom = pz(maxZ) + overhang;
    const double lineLeft = left - overhang;
    const double lineRight = px(maxX) + overhang;
    for (size_t i = 0; i < xs.size(); ++i) {
        const double x = px(xs[i]);
        sheet.lines.push_back({{x, lineTop}, {x, lineBottom}, Layer::Grid});
        for (const double y : {lineTop - kBubble / 2, lineBottom + kBubble / 2}) {
            sheet.circles.push_back({{x, y}, kBubble, false, Layer::Grid});
            addText(sheet, x, y, schedule.axes.x[i].name, kHeading, HAlign::Centre, VAlign::Middle);
        }
    }
    for (size_t i = 0; i < zs.size(); ++i) {
        const double y = pz(zs[i]);
        sheet.lines.push_back({{lineLeft, y}, {lineRight, y}, Layer::Grid});
        for (const double x : {lineLeft - kBubble / 2, lineRight + kBubble / 2}) {
            sheet.circles.push_back({{x, y}, kBubble, false, Layer::Grid});
            addText(sheet, x, y, schedule.axes.z[i].name, kHeading, HAlign::Centre, VAlign::Middle);
        }
    }
    // Dimension chains, a tick at each grid line; a text only where it fits between its ticks.
    constexpr double kTick = 1;
    if (!xDimensions.empty()) {
        const double y = lineTop - kBubble - kDimensionGap;
        sheet.lines.push_back({{px(xs.front()), y}, {px(xs.back()), y}, Layer::Dimensions});
        for (const double x : xs)
            sheet.lines.push_back({{px(x) - kTick, y + kTick}, {px(x) + kTick, y - kTick}, Layer::Dimensions});
        for (size_t i = 0; i < xDimensions.size(); ++i) {
            if (textWidth(xDimensions[i], kText) + 1 > (xs[i + 1] - xs[i]) / chosen) continue;
            sheet.texts.push_back({{(px(xs[i]) + px(xs[i + 1])) / 2, y - 1},
                                   xDimensions[i],
                                   kText,
                                   HAlign::Centre,
                                   VAlign::Bottom,
                                   false,
                                   Layer::Dimensions});
        }
    }
    if (!zDimensions.empty()) {
        const double x = lineLeft - kBubble - kDimensionGap;
        sheet.lines.push_back({{x, pz(zs.front())}, {x, pz(zs.back())}, Layer::Dimensions});
        for (const double z : zs)
            sheet.lines.push_back({{x - kTick, pz(z) + kTick}, {x + kTick, pz(z) - kTick}, Layer::Dimensions});
        for (size_t i = 0; i < zDimensions.size(); ++i) {
            if (kText + 1 > (zs[i + 1] - zs[i]) / chosen) continue;
            sheet.texts.push_back({{x - 1, (pz(zs[i]) + pz(zs[i + 1])) / 2},
                                   zDimensions[i],
                                   kText,
                                   HAlign::Right,
                                   VAlign::Middle,
                                   false,
                                   Layer::Dimensions});
        }
    }
    {
        const Point origin{kInset + 1, lineBottom + kBubble + 1};
        const Point alongX{origin.x + kAxisArrow, origin.y};
        const Point alongZ{origin.x, origin.y + kAxisArrow};
        constexpr double kHead = 1.5;
        sheet.lines.push_back({origin, alongX, Layer::Grid});
        sheet.lines.push_back({alongX, {alongX.x - kHead, alongX.y - kHead / 2}, Layer::Grid});
        sheet.lines.push_back({alongX, {alongX.x - kHead, alongX.y + kHead / 2}, Layer::Grid});
        sheet.lines.push_back({origin, alongZ, Layer::Grid});
        sheet.lines.push_back({alongZ, {alongZ.x - kHead / 2, alongZ.y - kHead}, Layer::Grid});
        sheet.lines.push_back({alongZ, {alongZ.x + kHead / 2, alongZ.y - kHead}, Layer::Grid});
        addText(sheet, alongX.x + 1, alongX.y, "X", kText, HAlign::Left, VAlign::Middle);
        addText(sheet, alongZ.x, alongZ.y + 1, "Z", kText, HAlign::Centre, VAlign::Top);
    }
    // Each column's outline at the plan's scale, where it stands: solid with its mark when
    // designed, hollow without; a section the file does not give is a small square with a cross.
    for (const PlanColumn& column : columns) {
        const double x = px(column.x);
        const double y = pz(column.z);
        const bool designed = !column.mark.empty();
        const bool known = column.alongX > 0 && column.alongZ > 0;
        const double width = known ? column.alongX / chosen : kSquare;
        const double height = known ? column.alongZ / chosen : kSquare;
        if (!known) {
            addRectangle(sheet, x - width / 2, y - height / 2, width, height, Layer::Outline);
            sheet.lines.push_back({{x - width / 2, y - height / 2}, {x + width / 2, y + height / 2}, Layer::Outline});
            sheet.lines.push_back({{x - width / 2, y + height / 2}, {x + width / 2, y - height / 2}, Layer::Outline});
        } else if (column.circular) {
            sheet.circles.push_back({{x, y}, width, designed, Layer::Outline});
        } else {
            addRectangle(sheet, x - width / 2, y - height / 2, width, height, Layer::Outline);
            if (designed) hatchRectangle(sheet, x - width / 2, y - height / 2, width, height);
        }
        if (designed) {
            addText(sheet, x + width / 2 + 1, y - height / 2 - 1, column.mark, kText, HAlign::Left, VAlign::Bottom);
        }
    }

    drawFrameAndTitle(sheet, title);
    flipSheet(sheet);
    return sheet;
}

Drawing scheduleDrawing(const ColumnDetailing& schedule, const Model& model, const std::vector<ColumnLine>& groups,
                        const DrawingInfo& info) {
    Drawing drawing;
    DrawingInfo noted = info;
    noted.notes = scheduleNotes(model, groups, schedule);
    noted.incomplete = fromIncompleteFile(model);
    if (noted.fields.project.empty()) noted.fields.project = model.title;
    drawing.sheets = scheduleSheets(schedule, noted);
    drawing.sheets.push_back(layoutPlanSheet(schedule, planColumns(schedule, model, groups), noted));
    drawing.cadScale = drawing.sheets.back().planScale;
    return drawing;
}

}  // namespace tierwise
