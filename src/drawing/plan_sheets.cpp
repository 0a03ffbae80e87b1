// The column layout plan: the named grid lines with their bubbles and dimension chains, every column
// position's outline as it stands with its mark, and a legend of the marks; on one sheet at one of
// the usual plan scales, or cut into parts on several A0 sheets with match lines and a key plan.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>

#include "drawing/schedule_drawing.h"
#include "drawing/sheet_furniture.h"
#include "grid/grid_lines.h"

namespace tierwise {

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

namespace {

using namespace furniture;

constexpr std::array<int, 6> kPlanScales{50, 100, 200, 250, 500, 1000};  // the usual plan scales, 1:n
constexpr double kDimensionGap = 2;
constexpr double kAxisArrow = 10;      // the plan's axes, X across and Z down, below its lower left corner
constexpr double kKeyPlan = 80;        // the key plan's longer side
constexpr double kLegendChanges = 75;  // the legend's Changes column, wrapped to this
constexpr size_t kLegendLines = 30;    // lines of a legend column before the legend takes another
constexpr size_t kLegendColumns = 2;   // beyond that the legend only points to the schedule

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

std::string matchText(size_t sheet) { return "MATCH LINE - SEE SHEET " + std::to_string(sheet); }

// A match line: dashes and dots along the cut, drawn like the outlines, heavier than the grid.
void dashDot(Sheet& sheet, Point from, Point to) {
    constexpr double kDash = 12;
    constexpr double kSpace = 1.5;
    constexpr double kDot = 0.5;
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    const auto at = [&](double s) {
        const double t = std::min(s, length) / length;
        return Point{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
    };
    for (double s = 0; s < length; s += kDash + kDot + 2 * kSpace) {
        sheet.lines.push_back({at(s), at(s + kDash), Layer::Outline});
        if (s + kDash + kSpace < length)
            sheet.lines.push_back({at(s + kDash + kSpace), at(s + kDash + kSpace + kDot), Layer::Outline});
    }
}

// The legend of marks: each mark's lowest section and where it changes going up, a table row
// (mark, section, changes wrapped) each.
struct Legend {
    static constexpr double kHead = kHeading + 2;  // "LEGEND OF MARKS" above the table
    static inline const TableRow kHeadings{{"Mark"}, {"Section"}, {"Changes"}};
    std::vector<TableRow> rows;
    std::vector<double> widths;                // Mark, Section, Changes, with their padding
    std::vector<std::vector<size_t>> columns;  // rows of each column of the table, side by side
    std::string note;                          // instead of the table when it would take more than kLegendColumns
    [[nodiscard]] double tableWidth() const {
        double width = 0;
        for (const double w : widths) width += w;
        return width;
    }
    [[nodiscard]] double width() const {
        if (!note.empty()) return std::max(textWidth("LEGEND OF MARKS", kHeading), textWidth(note, kText));
        return rows.empty() ? 0 : static_cast<double>(columns.size()) * (tableWidth() + kGap) - kGap;
    }
    // The table of one column: the headings, then its rows.
    [[nodiscard]] std::vector<TableRow> table(size_t column) const {
        std::vector<TableRow> table{kHeadings};
        for (const size_t r : columns[column]) table.push_back(rows[r]);
        return table;
    }
    [[nodiscard]] double height() const {
        if (!note.empty()) return kHead + kPitch;
        double tallest = 0;
        for (size_t c = 0; c < columns.size(); ++c) tallest = std::max(tallest, tableHeight(table(c)));
        return rows.empty() ? 0 : kHead + tallest;
    }
};

// The level a storey range starts at, as its span gives it: "7.2" of "7.2 to 13.6".
std::string_view rangeFoot(const StoreyRange& range) {
    const std::string_view span = range.span;
    return span.substr(0, span.find(" to "));
}

Legend legendOf(const ColumnDetailing& schedule) {
    Legend legend;
    size_t lines = 0;
    for (const ColumnMark& mark : schedule.marks) {
        std::string lowest;
        std::string last;
        std::string changes;
        for (size_t k = 0; k < mark.ranges.size() && k < schedule.ranges.size(); ++k) {
            const RangeDetail& cell = schedule.cell(mark, k);
            std::vector<Section> shown;
            if (cell.outcome == RangeOutcome::MixedSections && !cell.sections.empty()) {
                shown = cell.sections;
            } else if (const std::optional<Section> section = shownSection(cell)) {
                shown.push_back(*section);
            }
            for (size_t i = 0; i < shown.size(); ++i) {
                const std::string text = sizeText(shown[i]);
                if (lowest.empty()) lowest = last = text;
                if (text == last) continue;
                changes += (changes.empty() ? "" : ", ") + text +
                           (i == 0 ? " above " + std::string(rangeFoot(schedule.ranges[k]))
                                   : " within " + schedule.ranges[k].span) +
                           " m";
                last = text;
            }
        }
        TableRow row{{mark.mark},
                     {lowest.empty() ? "-" : lowest},
                     changes.empty() ? TableCell{"-"} : wrapText(changes, kLegendChanges, kText)};
        lines += row[2].size();
        legend.rows.push_back(std::move(row));
    }
    std::vector<TableRow> all{Legend::kHeadings};
    all.insert(all.end(), legend.rows.begin(), legend.rows.end());
    legend.widths = tableWidths(all);
    // Rows shared evenly over as many columns as kLegendLines asks.
    const size_t count = std::max<size_t>(1, (lines + kLegendLines - 1) / kLegendLines);
    if (count > kLegendColumns) {
        legend.note = std::to_string(legend.rows.size()) + " marks: their sections are in the column schedule";
        legend.rows.clear();
        return legend;
    }
    const size_t perColumn = (legend.rows.size() + count - 1) / count;
    for (size_t r = 0; r < legend.rows.size(); ++r) {
        if (r % perColumn == 0) legend.columns.emplace_back();
        legend.columns.back().push_back(r);
    }
    return legend;
}

void drawLegend(Sheet& sheet, const Legend& legend, double left, double top) {
    if (legend.rows.empty() && legend.note.empty()) return;
    sheet.texts.push_back({{left, top}, "LEGEND OF MARKS", kHeading, HAlign::Left, VAlign::Top, true, Layer::Notes});
    if (!legend.note.empty()) {
        sheet.texts.push_back(
            {{left, top + Legend::kHead}, legend.note, kText, HAlign::Left, VAlign::Top, false, Layer::Notes});
        return;
    }
    for (size_t c = 0; c < legend.columns.size(); ++c) {
        drawTable(sheet, legend.table(c), legend.widths, left + static_cast<double>(c) * (legend.tableWidth() + kGap),
                  top + Legend::kHead);
    }
}

// A part of the plan on one sheet: its extent in model mm and which of its sides are cuts.
struct Part {
    double x0 = 0, x1 = 0, z0 = 0, z1 = 0;
    bool cutLeft = false, cutRight = false, cutTop = false, cutBottom = false;
    size_t number = 1;  // the plan sheet it is drawn on, 1-based
};

// Where the plan is cut along one axis into parts of at most `room` model mm: midway between
// neighbouring grid lines or column positions, never through a column's outline; inside a bay only
// where no such cut is near enough. Each cut as near an even share of what is left as it can be.
std::vector<double> partBounds(std::vector<double> at, const std::vector<std::pair<double, double>>& outlines,
                               double low, double high, double room) {
    std::sort(at.begin(), at.end());
    std::vector<double> candidates;
    for (size_t i = 1; i < at.size(); ++i) {
        const double mid = (at[i - 1] + at[i]) / 2;
        if (at[i] - at[i - 1] > 1e-6 && std::none_of(outlines.begin(), outlines.end(), [&](const auto& outline) {
                return outline.first < mid && mid < outline.second;
            })) {
            candidates.push_back(mid);
        }
    }
    std::vector<double> bounds{low};
    while (high - bounds.back() > room) {
        const double start = bounds.back();
        const double ideal = start + (high - start) / std::ceil((high - start) / room);
        double best = start + room;
        bool found = false;
        for (const double c : candidates) {
            if (c > start + 1e-6 && c <= start + room && (!found || std::abs(c - ideal) < std::abs(best - ideal))) {
                best = c;
                found = true;
            }
        }
        bounds.push_back(best);
    }
    bounds.push_back(high);
    return bounds;
}

bool within(double v, double low, double high, bool last) { return v >= low && (v < high || (last && v <= high)); }

// Everything the plan's sheets share: the grid, the columns, the scale-independent measures.
struct PlanLayout {
    const ColumnDetailing& schedule;
    const std::vector<PlanColumn>& columns;
    std::vector<double> xs, zs;  // the named grid lines, model mm
    double minX = 0, maxX = 0, minZ = 0, maxZ = 0;
    double overhang = 0;    // grid lines past the outermost columns, mm on paper
    double minGap = 0;      // neighbouring grid lines at least this far apart keep their marks apart
    double xBand = 0;       // the dimension chain along X, above the bubbles
    double zBand = 0;       // the dimension chain along Z, left of the bubbles
    double matchBandX = 0;  // beside a vertical match line: its text
    double matchBandZ = 0;  // beside a horizontal match line
    double axisBand = kAxisArrow + kText + 2;

    // A part's side on paper: beyond the grid lines' ends, the bubbles or on a cut the match line's
    // text; the grid lines run past the outermost columns to the bubbles, to the match line on a cut.
    [[nodiscard]] static double beyond(bool cut, double match) { return cut ? match : kBubble; }
    [[nodiscard]] double side(bool cut, double match) const { return (cut ? 0 : overhang) + beyond(cut, match); }
    [[nodiscard]] double marginLeft(const Part& p) const { return zBand + side(p.cutLeft, matchBandX); }
    [[nodiscard]] double marginTop(const Part& p) const { return xBand + side(p.cutTop, matchBandZ); }
    [[nodiscard]] Point size(const Part& p, int n) const {
        return {(p.x1 - p.x0) / n + marginLeft(p) + side(p.cutRight, matchBandX),
                (p.z1 - p.z0) / n + marginTop(p) + side(p.cutBottom, matchBandZ) + axisBand};
    }
    // The most a part may span along X and Z, model mm, in a drawing area of `area` mm at 1:n.
    [[nodiscard]] Point room(Point area, int n) const {
        const double sideX = std::max(overhang + kBubble, matchBandX);
        const double sideZ = std::max(overhang + kBubble, matchBandZ);
        return {(area.x - zBand - 2 * sideX) * n, (area.y - xBand - axisBand - 2 * sideZ) * n};
    }
};

PlanLayout planLayout(const ColumnDetailing& schedule, const std::vector<PlanColumn>& columns) {
    PlanLayout plan{schedule, columns, {}, {}};
    for (const GridLine& line : schedule.axes.x) plan.xs.push_back(line.at * 10.0);
    for (const GridLine& line : schedule.axes.z) plan.zs.push_back(line.at * 10.0);
    // The plan reaches over the named lines and every column's outline.
    double minX = std::numeric_limits<double>::infinity();
    double maxX = -minX;
    double minZ = minX;
    double maxZ = -minX;
    for (const double x : plan.xs) minX = std::min(minX, x), maxX = std::max(maxX, x);
    for (const double z : plan.zs) minZ = std::min(minZ, z), maxZ = std::max(maxZ, z);
    for (const PlanColumn& column : columns) {
        minX = std::min(minX, column.x - column.alongX / 2);
        maxX = std::max(maxX, column.x + column.alongX / 2);
        minZ = std::min(minZ, column.z - column.alongZ / 2);
        maxZ = std::max(maxZ, column.z + column.alongZ / 2);
    }
    if (minX > maxX) minX = maxX = 0;
    if (minZ > maxZ) minZ = maxZ = 0;
    plan.minX = minX, plan.maxX = maxX, plan.minZ = minZ, plan.maxZ = maxZ;

    double markWidth = 0;
    for (const PlanColumn& column : columns) markWidth = std::max(markWidth, textWidth(column.mark, kText));
    // Neighbouring columns' marks stand side by side; a mark at the edge stays clear of the bubbles.
    plan.minGap = std::max(14.0, markWidth + kSquare + 5);
    plan.overhang = std::max(12.0, markWidth + kSquare + 6);
    // The dimension chains stand outside the bubbles: along X above the plan, along Z to its left.
    plan.xBand = plan.xs.size() < 2 ? 0 : kDimensionGap + 1 + kText + 1;
    for (const std::string& text : dimensionTexts(plan.zs))
        plan.zBand = std::max(plan.zBand, kDimensionGap + 1 + textWidth(text, kText) + 1);
    plan.matchBandX = 2 + textWidth(matchText(99), kText) + 1;
    plan.matchBandZ = 2 + kText + 1;
    return plan;
}

// The key plan: the whole plan's outline with the parts, each numbered, this sheet's hatched; to
// scale, but never thinner than kKeyPlanLeast either way.
struct KeyPlan {
    Point scale;  // paper mm per model mm, across and down
    double width = 0;
    double height = 0;
    [[nodiscard]] Point size() const { return {width, kHeading + 2 + height}; }
};

KeyPlan keyPlan(const PlanLayout& plan) {
    constexpr double kKeyPlanLeast = 8;
    const double spanX = std::max(plan.maxX - plan.minX, 1.0);
    const double spanZ = std::max(plan.maxZ - plan.minZ, 1.0);
    const double scale = kKeyPlan / std::max(spanX, spanZ);
    const double width = std::max(spanX * scale, kKeyPlanLeast);
    const double height = std::max(spanZ * scale, kKeyPlanLeast);
    return {{width / spanX, height / spanZ}, width, height};
}

void drawKeyPlan(Sheet& sheet, const KeyPlan& key, const PlanLayout& plan, const std::vector<Part>& parts,
                 const Part& shown, double left, double top) {
    addText(sheet, left, top, "KEY PLAN", kHeading, HAlign::Left, VAlign::Top, true);
    const double y0 = top + kHeading + 2;
    addRectangle(sheet, left, y0, key.width, key.height, Layer::Outline);
    for (const Part& part : parts) {
        const double x = left + (part.x0 - plan.minX) * key.scale.x;
        const double y = y0 + (part.z0 - plan.minZ) * key.scale.y;
        const double w = (part.x1 - part.x0) * key.scale.x;
        const double h = (part.z1 - part.z0) * key.scale.y;
        addRectangle(sheet, x, y, w, h, Layer::Outline);
        if (part.number == shown.number) {
            // Lines at 45 degrees, 2 mm apart, from the top and right edges to the left and bottom,
            // kept off a box round the number.
            const double clearX = textWidth(std::to_string(part.number), kText) / 2 + 1;
            const double clearY = kText / 2 + 1;
            const Point centre{x + w / 2, y + h / 2};
            for (double s = 2; s < w + h; s += 2) {
                const Point from = s <= w ? Point{x + s, y} : Point{x + w, y + s - w};
                const Point to = s <= h ? Point{x, y + s} : Point{x + s - h, y + h};
                // The line runs x + y = const; the stretch within the box, by x.
                const double sum = from.x + from.y;
                const double enter = std::max(centre.x - clearX, sum - (centre.y + clearY));
                const double leave = std::min(centre.x + clearX, sum - (centre.y - clearY));
                if (enter >= leave || leave <= to.x || enter >= from.x) {
                    sheet.lines.push_back({from, to, Layer::Outline});
                    continue;
                }
                if (leave < from.x) sheet.lines.push_back({from, {leave, sum - leave}, Layer::Outline});
                if (enter > to.x) sheet.lines.push_back({{enter, sum - enter}, to, Layer::Outline});
            }
        }
        addText(sheet, x + w / 2, y + h / 2, std::to_string(part.number), kText, HAlign::Centre, VAlign::Middle,
                part.number == shown.number);
    }
}

// The title block's rows below the head rows; their widest form sizes the block before the
// paper, scale and sheet count are known.
TitleBlock planTitle(const DrawingInfo& info, int scale, std::string_view paper, size_t sheet, size_t count) {
    return titleBlock("COLUMN LAYOUT PLAN", info,
                      {"Date: " + info.date, "Scale 1:" + std::to_string(scale), plotRow(paper, scale),
                       "Layout plan sheet " + std::to_string(sheet) + " of " + std::to_string(count),
                       "Grid lines: letters along X, numbers along Z", "X to the right, Z down the sheet",
                       "Columns as they stand; dimensions in mm", "Hollow: a column without design results"});
}

// The blocks in the sheet's lower right corner, bottom up: the title block, the legend, the key plan.
Point cornerSize(const TitleBlock& title, const Legend& legend, const std::optional<KeyPlan>& key) {
    Point size = title.size();
    for (const Point block : {Point{legend.width(), legend.height()}, key ? key->size() : Point{}}) {
        if (block.y <= 0) continue;
        size.x = std::max(size.x, block.x);
        size.y += kGap + block.y;
    }
    return size;
}

// One part of the plan drawn at 1:n from the sheet's top left corner, with its match lines.
void drawPart(Sheet& sheet, const PlanLayout& plan, const Part& part, int n, size_t across) {
    const ColumnDetailing& schedule = plan.schedule;
    const double left = kInset + plan.marginLeft(part);
    const double top = kInset + plan.marginTop(part);
    const auto px = [&](double x) { return left + (x - part.x0) / n; };
    const auto pz = [&](double z) { return top + (z - part.z0) / n; };
    const double lineTop = part.cutTop ? top : top - plan.overhang;
    const double lineBottom = part.cutBottom ? pz(part.z1) : pz(part.z1) + plan.overhang;
    const double lineLeft = part.cutLeft ? left : left - plan.overhang;
    const double lineRight = part.cutRight ? px(part.x1) : px(part.x1) + plan.overhang;
    std::vector<double> xs;
    std::vector<double> zs;
    for (size_t i = 0; i < plan.xs.size(); ++i) {
        if (!within(plan.xs[i], part.x0, part.x1, !part.cutRight)) continue;
        const double x = px(plan.xs[i]);
        xs.push_back(plan.xs[i]);
        sheet.lines.push_back({{x, lineTop}, {x, lineBottom}, Layer::Grid});
        for (const auto& [cut, y] :
             {std::pair{part.cutTop, lineTop - kBubble / 2}, std::pair{part.cutBottom, lineBottom + kBubble / 2}}) {
            if (cut) continue;
            sheet.circles.push_back({{x, y}, kBubble, false, Layer::Grid});
            addText(sheet, x, y, schedule.axes.x[i].name, kHeading, HAlign::Centre, VAlign::Middle);
        }
    }
    for (size_t i = 0; i < plan.zs.size(); ++i) {
        if (!within(plan.zs[i], part.z0, part.z1, !part.cutBottom)) continue;
        const double y = pz(plan.zs[i]);
        zs.push_back(plan.zs[i]);
        sheet.lines.push_back({{lineLeft, y}, {lineRight, y}, Layer::Grid});
        for (const auto& [cut, x] :
             {std::pair{part.cutLeft, lineLeft - kBubble / 2}, std::pair{part.cutRight, lineRight + kBubble / 2}}) {
            if (cut) continue;
            sheet.circles.push_back({{x, y}, kBubble, false, Layer::Grid});
            addText(sheet, x, y, schedule.axes.z[i].name, kHeading, HAlign::Centre, VAlign::Middle);
        }
    }
    // Dimension chains, a tick at each grid line; a text only where it fits between its ticks.
    constexpr double kTick = 1;
    if (xs.size() > 1) {
        const std::vector<std::string> texts = dimensionTexts(xs);
        const double y = lineTop - PlanLayout::beyond(part.cutTop, plan.matchBandZ) - kDimensionGap;
        sheet.lines.push_back({{px(xs.front()), y}, {px(xs.back()), y}, Layer::Dimensions});
        for (const double x : xs)
            sheet.lines.push_back({{px(x) - kTick, y + kTick}, {px(x) + kTick, y - kTick}, Layer::Dimensions});
        for (size_t i = 0; i < texts.size(); ++i) {
            if (textWidth(texts[i], kText) + 1 > (xs[i + 1] - xs[i]) / n) continue;
            sheet.texts.push_back({{(px(xs[i]) + px(xs[i + 1])) / 2, y - 1},
                                   texts[i],
                                   kText,
                                   HAlign::Centre,
                                   VAlign::Bottom,
                                   false,
                                   Layer::Dimensions});
        }
    }
    if (zs.size() > 1) {
        const std::vector<std::string> texts = dimensionTexts(zs);
        const double x = lineLeft - PlanLayout::beyond(part.cutLeft, plan.matchBandX) - kDimensionGap;
        sheet.lines.push_back({{x, pz(zs.front())}, {x, pz(zs.back())}, Layer::Dimensions});
        for (const double z : zs)
            sheet.lines.push_back({{x - kTick, pz(z) + kTick}, {x + kTick, pz(z) - kTick}, Layer::Dimensions});
        for (size_t i = 0; i < texts.size(); ++i) {
            if (kText + 1 > (zs[i + 1] - zs[i]) / n) continue;
            sheet.texts.push_back({{x - 1, (pz(zs[i]) + pz(zs[i + 1])) / 2},
                                   texts[i],
                                   kText,
                                   HAlign::Right,
                                   VAlign::Middle,
                                   false,
                                   Layer::Dimensions});
        }
    }
    // Match lines on the cuts, each naming the sheet beyond it on that side; a vertical line's text
    // midway between two grid lines, clear of the marks standing above the columns.
    const size_t middle = zs.size() < 2 ? 0 : (zs.size() - 1) / 2;
    const double textY = zs.size() < 2 ? (lineTop + lineBottom) / 2 : (pz(zs[middle]) + pz(zs[middle + 1])) / 2;
    if (part.cutLeft) {
        dashDot(sheet, {left, lineTop}, {left, lineBottom});
        addText(sheet, left - 2, textY, matchText(part.number - 1), kText, HAlign::Right, VAlign::Middle);
    }
    if (part.cutRight) {
        dashDot(sheet, {px(part.x1), lineTop}, {px(part.x1), lineBottom});
        addText(sheet, px(part.x1) + 2, textY, matchText(part.number + 1), kText, HAlign::Left, VAlign::Middle);
    }
    if (part.cutTop) {
        dashDot(sheet, {lineLeft, top}, {lineRight, top});
        addText(sheet, (lineLeft + lineRight) / 2, top - 2, matchText(part.number - across), kText, HAlign::Centre,
                VAlign::Bottom);
    }
    if (part.cutBottom) {
        dashDot(sheet, {lineLeft, pz(part.z1)}, {lineRight, pz(part.z1)});
        addText(sheet, (lineLeft + lineRight) / 2, pz(part.z1) + 2, matchText(part.number + across), kText,
                HAlign::Centre, VAlign::Top);
    }
    {
        const Point origin{kInset + 1, lineBottom + PlanLayout::beyond(part.cutBottom, plan.matchBandZ) + 1};
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
    for (const PlanColumn& column : plan.columns) {
        if (!within(column.x, part.x0, part.x1, !part.cutRight) || !within(column.z, part.z0, part.z1, !part.cutBottom))
            continue;
        const double x = px(column.x);
        const double y = pz(column.z);
        const bool designed = !column.mark.empty();
        const bool known = column.alongX > 0 && column.alongZ > 0;
        const double width = known ? column.alongX / n : kSquare;
        const double height = known ? column.alongZ / n : kSquare;
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
}

}  // namespace

std::vector<Sheet> layoutPlanSheets(const ColumnDetailing& schedule, const std::vector<PlanColumn>& columns,
                                    const DrawingInfo& info) {
    const PlanLayout plan = planLayout(schedule, columns);
    const Legend legend = legendOf(schedule);
    const TitleBlock widest = planTitle(info, kPlanScales.back(), kLargestPaper.name, 99, 99);
    double closest = std::numeric_limits<double>::infinity();
    for (const std::vector<double>* axis : {&plan.xs, &plan.zs}) {
        for (size_t i = 1; i < axis->size(); ++i) closest = std::min(closest, (*axis)[i] - (*axis)[i - 1]);
    }
    // The coarsest scale at which neighbouring marks stay apart; any when none keeps them apart.
    int coarsest = 0;
    for (const int n : kPlanScales) {
        if (closest / n >= plan.minGap) coarsest = n;
    }
    if (coarsest == 0) coarsest = kPlanScales.back();

    // The smallest paper, then the finest scale, that holds the whole plan on one sheet.
    const Part whole{plan.minX, plan.maxX, plan.minZ, plan.maxZ};
    const Point corner = cornerSize(widest, legend, std::nullopt);
    std::vector<Part> parts;
    int scale = 0;
    const Paper* paper = nullptr;
    for (const Paper& candidate : kPapers) {
        for (const int n : kPlanScales) {
            if (n > coarsest) break;
            if (holds(candidate, plan.size(whole, n), corner)) {
                scale = n;
                paper = &candidate;
                break;
            }
        }
        if (paper != nullptr) break;
    }
    size_t across = 1;
    std::optional<KeyPlan> key;
    if (paper != nullptr) {
        parts.push_back(whole);
    } else {
        // Parts on A0 sheets at the coarsest readable scale, the corner blocks beside them or below,
        // whichever takes fewer sheets.
        scale = coarsest;
        paper = &kLargestPaper;
        key = keyPlan(plan);
        const Point blocks = cornerSize(widest, legend, key);
        const Point frame{kLargestPaper.width - 2 * kInset, kLargestPaper.height - 2 * kInset};
        std::vector<std::pair<double, double>> alongX;
        std::vector<std::pair<double, double>> alongZ;
        std::vector<double> atX = plan.xs;
        std::vector<double> atZ = plan.zs;
        for (const PlanColumn& column : columns) {
            alongX.emplace_back(column.x - column.alongX / 2, column.x + column.alongX / 2);
            alongZ.emplace_back(column.z - column.alongZ / 2, column.z + column.alongZ / 2);
            atX.push_back(column.x);
            atZ.push_back(column.z);
        }
        std::vector<double> boundsX;
        std::vector<double> boundsZ;
        for (const Point area :
             {Point{frame.x - kGap - blocks.x, frame.y}, Point{frame.x, frame.y - kGap - blocks.y}}) {
            const Point room = plan.room(area, scale);
            if (room.x <= 0 || room.y <= 0) continue;
            std::vector<double> bx = partBounds(atX, alongX, plan.minX, plan.maxX, room.x);
            std::vector<double> bz = partBounds(atZ, alongZ, plan.minZ, plan.maxZ, room.y);
            if (boundsX.empty() || bx.size() * bz.size() < boundsX.size() * boundsZ.size()) {
                boundsX = std::move(bx);
                boundsZ = std::move(bz);
            }
        }
        if (boundsX.empty()) boundsX = {plan.minX, plan.maxX}, boundsZ = {plan.minZ, plan.maxZ};
        across = boundsX.size() - 1;
        for (size_t j = 0; j + 1 < boundsZ.size(); ++j) {
            for (size_t i = 0; i + 1 < boundsX.size(); ++i) {
                parts.push_back({boundsX[i], boundsX[i + 1], boundsZ[j], boundsZ[j + 1], i > 0, i + 2 < boundsX.size(),
                                 j > 0, j + 2 < boundsZ.size(), parts.size() + 1});
            }
        }
    }

    std::vector<Sheet> sheets;
    for (const Part& part : parts) {
        Sheet& sheet = sheets.emplace_back();
        sheet.title = "Column layout plan";
        setPaper(sheet, *paper);
        sheet.planScale = scale;
        drawPart(sheet, plan, part, scale, across);
        const TitleBlock title = planTitle(info, scale, paper->name, part.number, parts.size());
        drawFrameAndTitle(sheet, title);
        // The legend above the title block, the key plan above the legend, all to the frame's right.
        const double right = sheet.width - kInset;
        double bottom = sheet.height - kInset - title.height();
        if (legend.height() > 0) {
            bottom -= kGap + legend.height();
            drawLegend(sheet, legend, right - legend.width(), bottom);
        }
        if (key) {
            bottom -= kGap + key->size().y;
            drawKeyPlan(sheet, *key, plan, parts, part, right - key->width, bottom);
        }
        flipSheet(sheet);
    }
    return sheets;
}

}  // namespace tierwise
