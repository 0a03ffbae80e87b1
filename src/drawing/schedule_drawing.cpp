#include "drawing/schedule_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>

#include "drawing/section_cell.h"
#include "drawing/sheet_furniture.h"
#include "model/numbers.h"
#include "report/column_schedule_sheet.h"
#include "report/notes.h"

namespace tierwise {

namespace {

using namespace furniture;

constexpr double kMinCell = 46;      // a cell holds "8 - 20 dia (1.86 %)" unwrapped
constexpr double kMaxSection = 60;   // 600 mm at 1:10
constexpr double kNotesWidth = 180;  // the notes block's text, wrapped

constexpr std::array<int, 6> kSectionScales{5, 10, 20, 25, 50, 100};
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

TitleBlock scheduleTitle(const ColumnDetailing& schedule, const DrawingInfo& info, int scaleDenominator) {
    return titleBlock("COLUMN SCHEDULE", info,
                      {"Date: " + info.date, "All dimensions in mm", coverRow(schedule, info),
                       "Detailing: " + rulesText(schedule.options),
                       "Sections 1:" + std::to_string(scaleDenominator) + ", drawn with the larger side across",
                       plotRow(kLargestPaper.name, info.cadScale), "Schedule sheet 999 of 999 (A0)"});
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

// The lap-length table beside the notes: a bar diameter a row, its laps in tension and in compression.
struct LapBlock {
    std::vector<TableRow> rows;  // the headings first; none without laps
    std::vector<double> widths;
    [[nodiscard]] double width() const {
        double width = 0;
        for (const double w : widths) width += w;
        return width;
    }
    [[nodiscard]] double height() const { return rows.empty() ? 0 : kGap + kHeading + 2 + tableHeight(rows); }
};

LapBlock lapBlock(const LapTable& table) {
    LapBlock block;
    if (table.rows.empty()) return block;
    block.rows.push_back({{"Bar"}, {"Tension"}, {"Compression"}});
    for (const LapRow& row : table.rows) {
        const auto length = [](const std::optional<int>& mm) {
            return mm ? std::to_string(*mm) : std::string("no lap");
        };
        block.rows.push_back(
            {{std::to_string(row.diameter) + " dia"}, {length(row.tension)}, {length(row.compression)}});
    }
    block.widths = tableWidths(block.rows);
    return block;
}

void drawLapBlock(Sheet& sheet, const LapBlock& block, double left, double top) {
    const double y = top + kGap;
    sheet.texts.push_back(
        {{left, y}, std::string(kLapTableTitle) + " (mm)", kHeading, HAlign::Left, VAlign::Top, true, Layer::Notes});
    drawTable(sheet, block.rows, block.widths, left, y + kHeading + 2);
}

// The notes under the table, numbered and wrapped; beside them the lap-length table and a ductile
// schedule's typical elevation.
struct NotesBlock {
    std::vector<std::string> lines;
    LapBlock laps;
    std::optional<ElevationBlock> elevation;
    [[nodiscard]] double notesHeight() const {
        return lines.empty() ? 0 : kGap + kHeading + 2 + static_cast<double>(lines.size()) * kPitch;
    }
    [[nodiscard]] double height() const {
        return std::max({notesHeight(), laps.height(), elevation ? kGap + elevation->height() : 0.0});
    }
    [[nodiscard]] double notesWidth() const { return lines.empty() ? 0 : kNotesWidth; }
    [[nodiscard]] double lapsLeft() const { return notesWidth() + (notesWidth() > 0 ? kGap : 0); }
    [[nodiscard]] double elevationLeft() const { return lapsLeft() + laps.width() + (laps.width() > 0 ? kGap : 0); }
    [[nodiscard]] double width() const {
        return elevation          ? elevationLeft() + kElevationWidth
               : laps.width() > 0 ? lapsLeft() + laps.width()
                                  : notesWidth();
    }
};

NotesBlock notesBlock(const std::vector<std::string>& notes, const LapTable& laps, const ColumnDetailing& schedule) {
    NotesBlock block;
    for (size_t i = 0; i < notes.size(); ++i) {
        for (std::string& line : wrapText(std::to_string(i + 1) + ". " + notes[i], kNotesWidth, kText))
            block.lines.push_back(std::move(line));
    }
    block.laps = lapBlock(laps);
    block.elevation = elevationBlock(schedule);
    return block;
}

void drawNotes(Sheet& sheet, const NotesBlock& notes, double left, double top) {
    if (notes.elevation) drawElevation(sheet, *notes.elevation, left + notes.elevationLeft(), top + kGap);
    if (!notes.laps.rows.empty()) drawLapBlock(sheet, notes.laps, left + notes.lapsLeft(), top);
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
                 const NotesBlock& notes, const Paper& paper, size_t firstMark, size_t endMark, size_t firstRow,
                 size_t endRow) {
    Sheet sheet;
    setPaper(sheet, paper);
    sheet.title = "Column schedule";
    std::map<SymbolKey, size_t> symbols;
    double tableHeight = table.headHeight;
    for (size_t r = firstRow; r < endRow; ++r) tableHeight += table.rows[r].height;
    const double tableWidth = table.levelWidth + static_cast<double>(endMark - firstMark) * table.cellWidth;

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

// Rows [first, end) of the table on one sheet, and their height.
struct RowBand {
    size_t first = 0;
    size_t end = 0;
    double height = 0;
};

// The rows in order, each band taking rows while they stay within `cap` (a row taller than the cap
// alone); one empty band for no rows.
std::vector<RowBand> packRows(const std::vector<TableLayout::Row>& rows, double cap) {
    std::vector<RowBand> bands;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (bands.empty() || bands.back().height + rows[r].height > cap) bands.push_back({r, r, 0});
        bands.back().end = r + 1;
        bands.back().height += rows[r].height;
    }
    if (bands.empty()) bands.push_back({});
    return bands;
}

// At most `count` bands of contiguous rows whose tallest is as low as it can be: the least cap at
// which packing takes no more bands, found by bisection.
std::vector<RowBand> balancedBands(const std::vector<TableLayout::Row>& rows, size_t count) {
    double low = 0;
    double high = 0;
    for (const TableLayout::Row& row : rows) {
        low = std::max(low, row.height);
        high += row.height;
    }
    while (high - low > 0.01) {
        const double mid = (low + high) / 2;
        (packRows(rows, mid).size() <= count ? high : low) = mid;
    }
    return packRows(rows, high);
}

// Numbers the sheets in their title blocks, draws frames and title blocks, and turns the sheets
// the right way up.
void finishSheets(std::vector<Sheet>& sheets, const TitleBlock& schedule, int cadScale) {
    for (size_t i = 0; i < sheets.size(); ++i) {
        TitleBlock title = schedule;
        title.rows.end()[-2] = plotRow(sheets[i].paper, cadScale);
        title.rows.back() = "Schedule sheet " + std::to_string(i + 1) + " of " + std::to_string(sheets.size()) + " (" +
                            sheets[i].paper + ")";
        drawFrameAndTitle(sheets[i], title);
        flipSheet(sheets[i]);
    }
}

}  // namespace

namespace {

// How the table is shared out over sheets: as many as A0 needs, the marks and rows shared out
// evenly, all on the paper of the largest part.
struct TableParts {
    size_t markParts = 1;
    std::vector<RowBand> rowBands;
    Point largest;  // the largest part with what stands under it
    [[nodiscard]] size_t sheets() const { return markParts * rowBands.size(); }
};

TableParts shareOut(const ColumnDetailing& schedule, const TableLayout& table, const NotesBlock& notes,
                    const TitleBlock& title) {
    const double roomWidth = kLargestPaper.width - 2 * kInset - table.levelWidth;
    const double roomHeight =
        kLargestPaper.height - 2 * kInset - table.headHeight - notes.height() - kGap - title.height();
    const size_t marksPerSheet = std::max<size_t>(1, static_cast<size_t>(roomWidth / table.cellWidth));
    const size_t marks = schedule.marks.size();
    TableParts parts;
    parts.markParts = std::max<size_t>(1, (marks + marksPerSheet - 1) / marksPerSheet);
    const size_t widestPart = (marks + parts.markParts - 1) / parts.markParts;  // part p: [p M / P, (p + 1) M / P)
    parts.rowBands = balancedBands(table.rows, packRows(table.rows, roomHeight).size());
    double bandHeight = 0;
    for (const RowBand& band : parts.rowBands) bandHeight = std::max(bandHeight, band.height);
    parts.largest = {std::max(table.levelWidth + static_cast<double>(widestPart) * table.cellWidth, notes.width()),
                     table.headHeight + bandHeight + notes.height()};
    return parts;
}

// What the table sheets say instead of the notes when the notes have a sheet of their own.
NotesBlock notesPointer(size_t notesSheet, size_t sheets) {
    NotesBlock pointer;
    pointer.lines = {"The notes and the lap lengths are on schedule sheet " + std::to_string(notesSheet) + " of " +
                     std::to_string(sheets) + "."};
    return pointer;
}

}  // namespace

std::vector<Sheet> scheduleSheets(const ColumnDetailing& schedule, const DrawingInfo& info) {
    const TableLayout table = layoutTable(schedule);
    const TitleBlock title = scheduleTitle(schedule, info, table.scaleDenominator);
    const NotesBlock notes = notesBlock(info.notes, info.laps, schedule);
    // A table larger than A0 continues on further sheets: first across the marks, then down the
    // storey ranges, every sheet with the marks' headings and the ranges' levels, and with the
    // notes below, or, where long notes would cost sheets, the notes on a last sheet of their own.
    TableParts parts = shareOut(schedule, table, notes, title);
    std::optional<NotesBlock> pointer;
    if (parts.sheets() > 1) {
        NotesBlock shortNotes = notesPointer(parts.sheets(), parts.sheets());
        TableParts alone = shareOut(schedule, table, shortNotes, title);
        if (alone.sheets() + 1 < parts.sheets()) {
            pointer = notesPointer(alone.sheets() + 1, alone.sheets() + 1);
            parts = alone;
            parts.largest = {std::max(parts.largest.x, notes.width()), std::max(parts.largest.y, notes.height())};
        }
    }
    const Paper& paper = paperFor(parts.largest, title.size());
    const size_t marks = schedule.marks.size();
    std::vector<Sheet> sheets;
    for (size_t part = 0; part < parts.markParts; ++part) {
        for (const RowBand& band : parts.rowBands) {
            sheets.push_back(tableSheet(schedule, table, info, pointer ? *pointer : notes, paper,
                                        part * marks / parts.markParts, (part + 1) * marks / parts.markParts,
                                        band.first, band.end));
        }
    }
    if (pointer) {
        Sheet& notesSheet = sheets.emplace_back();
        setPaper(notesSheet, paper);
        notesSheet.title = "Column schedule";
        drawNotes(notesSheet, notes, kInset, kInset - kGap);
    }
    finishSheets(sheets, title, info.cadScale);
    return sheets;
}

Drawing scheduleDrawing(const ColumnDetailing& schedule, const Model& model, const std::vector<ColumnLine>& groups,
                        const DrawingInfo& info) {
    Drawing drawing;
    DrawingInfo noted = info;
    noted.notes = scheduleNotes(model, groups, schedule, LapNote::BesideAsTable);
    noted.laps = lapTable(model, schedule);
    noted.incomplete = fromIncompleteFile(model);
    if (noted.fields.project.empty()) noted.fields.project = model.title;
    // The plan's scale first: every schedule sheet says the DXF plots at it.
    std::vector<Sheet> plan = layoutPlanSheets(schedule, planColumns(schedule, model, groups), noted);
    drawing.cadScale = plan.front().planScale;
    noted.cadScale = drawing.cadScale;
    drawing.sheets = scheduleSheets(schedule, noted);
    std::move(plan.begin(), plan.end(), std::back_inserter(drawing.sheets));
    return drawing;
}

}  // namespace tierwise
