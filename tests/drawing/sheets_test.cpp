#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "drawing/schedule_drawing.h"
#include "platform/anl_file.h"
#include "report/schedule.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

RangeDetail detailed(Section section, BarArrangement bars, std::string barsText) {
    RangeDetail detail;
    detail.outcome = RangeOutcome::Detailed;
    detail.section = section;
    detail.bars = bars;
    detail.ties = {8, 150};
    detail.sizeText = section.circular() ? std::to_string(section.D) + " dia"
                                         : std::to_string(section.b) + " X " + std::to_string(section.D);
    detail.barsText = std::move(barsText);
    detail.tiesText = "8 dia @ 150 c/c";
    return detail;
}

RangeDetail refused(RangeOutcome outcome, Section section, std::string text) {
    RangeDetail detail;
    detail.outcome = outcome;
    detail.section = section;
    detail.sizeText = std::to_string(section.b) + " X " + std::to_string(section.D);
    detail.barsText = std::move(text);
    return detail;
}

ColumnDetailing smallSchedule() {
    ColumnDetailing schedule;
    schedule.ranges = {{1, 3, "0 to 7.2"}, {3, 5, "7.2 to 13.6"}};
    schedule.axes = {{{200, "A"}, {800, "B"}, {1400, "C"}}, {{300, "1"}, {800, "2"}}};
    schedule.lineRefs = {"A-1", "B-1", "C-2", "A-2"};
    schedule.details = {RangeDetail{},
                        detailed({300, 450}, {8, 20, 0, 2, 2513}, "8 - 20 dia (1.86 %)"),
                        detailed({300, 450}, {4, 16, 0, 0, 804}, "4 - 16 dia (0.6 %)"),
                        refused(RangeOutcome::OverMaxSteel, {300, 450}, "over 4 %"),
                        detailed({0, 500}, {6, 16, 0, 0, 1206}, "6 - 16 dia (0.82 %)"),
                        refused(RangeOutcome::NoArrangement, {0, 500}, "no arrangement fits")};
    schedule.marks = {
        {"C1", {0, 1}, {"A-1", "B-1"}, {1, 2}}, {"C2", {2}, {"C-2"}, {3, 0}}, {"C3", {3}, {"A-2"}, {4, 5}}};
    return schedule;
}

const DrawingInfo kInfo{"office-block.anl", "2026-12-08", 40};

struct Box {
    double left, bottom, right, top;
};

Box boxOf(const Text& text) {
    const double width = textWidth(text.text, text.height);
    const double left = text.at.x - (text.hAlign == HAlign::Centre  ? width / 2
                                     : text.hAlign == HAlign::Right ? width
                                                                    : 0);
    const double bottom = text.at.y - (text.vAlign == VAlign::Top      ? text.height
                                       : text.vAlign == VAlign::Middle ? text.height / 2
                                                                       : 0);
    return {left, bottom, left + width, bottom + text.height};
}

// No text overlaps another, and everything stays inside the frame 10 mm in from the paper's edge.
void expectLegible(const Sheet& drawn) {
    const Sheet sheet = flattened(drawn);
    std::vector<Box> boxes;
    for (const Text& text : sheet.texts) boxes.push_back(boxOf(text));
    std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.left < b.left; });
    size_t overlaps = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        for (size_t j = i + 1; j < boxes.size() && boxes[j].left < boxes[i].right; ++j) {
            if (boxes[j].bottom < boxes[i].top && boxes[i].bottom < boxes[j].top) ++overlaps;
        }
    }
    EXPECT_EQ(overlaps, 0u) << sheet.title;
    const auto inside = [&](Point p) {
        return p.x >= 10 - 1e-9 && p.y >= 10 - 1e-9 && p.x <= sheet.width - 10 + 1e-9 &&
               p.y <= sheet.height - 10 + 1e-9;
    };
    for (const Box& box : boxes) EXPECT_TRUE(inside({box.left, box.bottom}) && inside({box.right, box.top}));
    for (const Line& line : sheet.lines) EXPECT_TRUE(inside(line.from) && inside(line.to));
    for (const Circle& circle : sheet.circles) EXPECT_TRUE(inside(circle.centre));
}

const Text* findText(const Sheet& sheet, std::string_view content) {
    for (const Text& text : sheet.texts) {
        if (text.text == content) return &text;
    }
    return nullptr;
}

TEST(ScheduleSheet, CellsHeadingsAndTitle) {
    const std::vector<Sheet> sheets = scheduleSheets(smallSchedule(), kInfo);
    ASSERT_EQ(sheets.size(), 1u);
    // Cells alike are drawn once: five different cells in five places.
    EXPECT_EQ(sheets.front().symbols.size(), 5u);
    EXPECT_EQ(sheets.front().placements.size(), 5u);
    const Sheet sheet = flattened(sheets.front());
    EXPECT_EQ(sheet.paper, "A3");
    expectLegible(sheet);

    // The highest range heads the table; the marks head the columns with their grid references.
    const Text* upper = findText(sheet, "7.2 to 13.6");
    const Text* lower = findText(sheet, "0 to 7.2");
    ASSERT_TRUE(upper && lower);
    EXPECT_GT(upper->at.y, lower->at.y);
    for (const char* text :
         {"C1", "C2", "C3", "A-1, B-1", "8 - 20 dia (1.86 %)", "8 dia @ 150 c/c", "All dimensions in mm",
          "Model: office-block.anl", "Date: 2026-12-08", "Cover to main bars: 40 mm", "Detailing: IS 456:2000",
          "Sections 1:10, drawn with the larger side across", "Paper A3; plot the DXF at 1:1",
          "Schedule sheet 1 of 1 (A3)"}) {
        EXPECT_NE(findText(sheet, text), nullptr) << text;
    }

    // The engineer's fields head both title blocks; one not given is a line to write on.
    DrawingInfo info = kInfo;
    info.fields = {"Office block, Pune", "S-201", "A", "RK", "", ""};
    for (const Sheet& drawn : {flattened(scheduleSheets(smallSchedule(), info).front()),
                               flattened(layoutPlanSheets(smallSchedule(), {}, info).front())}) {
        for (const char* text : {"Project: Office block, Pune", "Drawing no.: S-201   Rev.: A",
                                 "Drawn: RK   Checked: ................   Approved: ................"}) {
            EXPECT_NE(findText(drawn, text), nullptr) << text;
        }
    }

    // Bars of the detailed cells only (8 + 4 + 6), at 1:10; refused cells in bold.
    const auto bars =
        std::count_if(sheet.circles.begin(), sheet.circles.end(), [](const Circle& c) { return c.filled; });
    EXPECT_EQ(bars, 18);
    EXPECT_TRUE(findText(sheet, "over 4 %")->bold);
    EXPECT_TRUE(findText(sheet, "no arrangement fits")->bold);
    EXPECT_FALSE(findText(sheet, "8 - 20 dia (1.86 %)")->bold);
    // Outlines: 4 rectangles + 2 circles of sections; ties: 2 rectangles + 1 circle.
    const auto onLayer = [&](Layer layer) {
        return std::count_if(sheet.polylines.begin(), sheet.polylines.end(),
                             [&](const Polyline& p) { return p.layer == layer; }) +
               std::count_if(sheet.circles.begin(), sheet.circles.end(),
                             [&](const Circle& c) { return c.layer == layer; });
    };
    EXPECT_EQ(onLayer(Layer::Ties), 3);
    EXPECT_EQ(onLayer(Layer::Outline), 5 + 3);  // and the table, frame and title block
}

// The notes under the table, numbered and wrapped; a cut-off file in the title block; a cell's
// heights without design results as a line of its own.
TEST(ScheduleSheet, NotesAndFlags) {
    ColumnDetailing schedule = smallSchedule();
    schedule.details[2].undesignedText = "6 to 9 m: no design results";
    DrawingInfo info = kInfo;
    info.incomplete = true;
    info.notes = {"Detailing by IS 456:2000.",
                  std::string(60, 'x') + " " + std::string(60, 'y') + " " + std::string(60, 'z')};
    const std::vector<Sheet> sheets = scheduleSheets(schedule, info);
    ASSERT_EQ(sheets.size(), 1u);
    const Sheet sheet = flattened(sheets.front());
    expectLegible(sheet);
    for (const char* text : {"NOTES", "1. Detailing by IS 456:2000.", "Made from an incomplete analysis file"}) {
        EXPECT_NE(findText(sheet, text), nullptr) << text;
    }
    const auto linesWith = [&](const std::string& part) {
        return std::count_if(sheet.texts.begin(), sheet.texts.end(),
                             [&](const Text& t) { return t.text.find(part) != std::string::npos; });
    };
    // The cell's own line (wrapped to the cell), and the long note wrapped; the block stands
    // below the table (y up).
    EXPECT_EQ(linesWith("6 to 9 m:"), 1);
    for (const Text& text : sheet.texts) {
        if (text.text.find("6 to 9 m:") != std::string::npos) {
            EXPECT_TRUE(text.bold);
        }
    }
    EXPECT_GE(linesWith("xxxxxxxxxx") + linesWith("yyyyyyyyyy") + linesWith("zzzzzzzzzz"), 2);
    EXPECT_LT(findText(sheet, "NOTES")->at.y, findText(sheet, "0 to 7.2")->at.y);
}

struct RulesCase {
    std::string name;
    bool ductile;
    int hoop;  // C1's lowest cell's hoop diameter; 0: no hoop fits
    std::string rules;
    bool elevation;
};
using support::PrintTo;

class RulesTest : public ::testing::TestWithParam<RulesCase> {};

// The title block names the rules; a ductile schedule draws the typical elevation beside the notes,
// its numbers from C1's lowest cell with hoops, and the sheet stays legible; a cell's crossties are drawn.
TEST_P(RulesTest, TitleAndTypicalElevation) {
    const RulesCase& c = GetParam();
    ColumnDetailing schedule = smallSchedule();
    schedule.options.ductile = c.ductile;
    RangeDetail& cell = schedule.details[1];
    cell.layout = {2, 0, 118, {1, 2}, {}};
    cell.confinement = {c.hoop, 100, 600, 150, cell.layout};
    DrawingInfo info = kInfo;
    info.notes = {"Detailing by the rules named in the title block."};
    const std::vector<Sheet> sheets = scheduleSheets(schedule, info);
    ASSERT_EQ(sheets.size(), 1u);
    const Sheet sheet = flattened(sheets.front());
    expectLegible(sheet);
    EXPECT_NE(findText(sheet, "Detailing: " + c.rules), nullptr);
    for (const char* text :
         {"TYPICAL COLUMN ELEVATION (not to scale)", "Numbers of C1, 0 to 7.2 m, typical", "lo = 600",
          "10 dia @ 100 c/c", "@ 150 c/c between,", "@ 100 c/c over a lap", "lap zone"}) {
        EXPECT_EQ(findText(sheet, text) != nullptr, c.elevation) << text;
    }
    // The perimeter ties of the three detailed cells and C1's two crossties, open polylines.
    EXPECT_EQ(std::count_if(sheet.polylines.begin(), sheet.polylines.end(),
                            [](const Polyline& p) { return p.layer == Layer::Ties && !p.closed; }),
              2);
}

INSTANTIATE_TEST_SUITE_P(Rules, RulesTest,
                         ::testing::Values(RulesCase{"plain", false, 10, "IS 456:2000", false},
                                           RulesCase{"ductile", true, 10, "IS 456:2000 and IS 13920:2016", true},
                                           RulesCase{"ductile_no_hoop_fits", true, 0, "IS 456:2000 and IS 13920:2016",
                                                     false}),
                         [](const auto& testCase) { return testCase.param.name; });

struct TableSizeCase {
    std::string name;
    size_t marks;
    size_t ranges;
    std::vector<std::string> papers;
    size_t notes = 1;  // lines of notes
};
using support::PrintTo;

class TableSizeTest : public ::testing::TestWithParam<TableSizeCase> {};

// A larger table takes larger paper, then as many sheets as A0 would need, all of one paper: the
// smallest that holds the largest part, the marks and rows shared out evenly (the rows here alike).
TEST_P(TableSizeTest, PaperAndSheets) {
    const TableSizeCase& c = GetParam();
    ColumnDetailing schedule = smallSchedule();
    const ColumnMark first = schedule.marks.front();
    schedule.marks.assign(c.marks, first);
    for (ColumnMark& mark : schedule.marks) mark.ranges.resize(c.ranges, mark.ranges.front());
    schedule.ranges.resize(c.ranges, schedule.ranges.front());
    DrawingInfo info = kInfo;
    info.notes.assign(c.notes, "A note.");
    const std::vector<Sheet> sheets = scheduleSheets(schedule, info);
    std::vector<std::string> papers;
    size_t cells = 0;
    std::set<size_t> rows;
    std::set<size_t> marks;
    for (const Sheet& sheet : sheets) {
        papers.push_back(sheet.paper);
        expectLegible(sheet);
        EXPECT_LE(sheet.symbols.size(), 2u);  // C1's two cells, however many times
        const Sheet flat = flattened(sheet);
        if (findText(flat, "C1") == nullptr) {  // long notes, on a last sheet of their own
            EXPECT_EQ(&sheet, &sheets.back());
            EXPECT_NE(findText(flat, std::to_string(c.notes) + ". A note."), nullptr);
            continue;
        }
        cells += static_cast<size_t>(std::count_if(flat.polylines.begin(), flat.polylines.end(),
                                                   [](const Polyline& p) { return p.layer == Layer::Ties; }));
        rows.insert(static_cast<size_t>(std::count_if(flat.texts.begin(), flat.texts.end(), [](const Text& t) {
            return t.text.find(" to ") != std::string::npos;
        })));
        marks.insert(static_cast<size_t>(
            std::count_if(flat.texts.begin(), flat.texts.end(), [](const Text& t) { return t.text == "C1"; })));
        EXPECT_NE(findText(flat, "Paper " + sheet.paper + "; plot the DXF at 1:1"), nullptr);
    }
    EXPECT_EQ(papers, c.papers);
    EXPECT_EQ(cells, c.marks * c.ranges);  // every cell on exactly one sheet
    EXPECT_LE(*rows.rbegin() - *rows.begin(), 1u);
    EXPECT_LE(*marks.rbegin() - *marks.begin(), 1u);
}

// Cells 51 mm wide (a 450 side across at 1:10, and the padding); an A0 sheet holds 22 marks and 13 rows.
INSTANTIATE_TEST_SUITE_P(ScheduleSheet, TableSizeTest,
                         ::testing::Values(TableSizeCase{"A3", 7, 2, {"A3"}}, TableSizeCase{"A2", 10, 2, {"A2"}},
                                           TableSizeCase{"A1", 15, 2, {"A1"}}, TableSizeCase{"A0", 22, 2, {"A0"}},
                                           TableSizeCase{"MarksOverA0", 29, 2, {"A1", "A1"}},
                                           TableSizeCase{"MarksOverTwoA0", 46, 2, {"A0", "A0", "A0"}},
                                           TableSizeCase{"RowsJustOverA0", 2, 15, {"A1", "A1"}},
                                           TableSizeCase{"RowsOverTwoA0", 2, 30, {"A1", "A1", "A1"}},
                                           // 120 lines of notes would leave an A0 room for 4 rows.
                                           TableSizeCase{"LongNotesApart", 2, 30, {"A1", "A1", "A1", "A1"}, 120}),
                         [](const auto& testCase) { return testCase.param.name; });

// Whether the segment runs through the box's inside (Liang-Barsky clipping).
bool runsThrough(Point from, Point to, const Box& box) {
    constexpr double kTouch = 1e-6;  // a line along a text's edge does not count
    double enter = 0;
    double leave = 1;
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const std::pair<double, double> limits[] = {{-dx, from.x - (box.left + kTouch)},
                                                {dx, (box.right - kTouch) - from.x},
                                                {-dy, from.y - (box.bottom + kTouch)},
                                                {dy, (box.top - kTouch) - from.y}};
    for (const auto& [p, q] : limits) {
        if (p == 0) {
            if (q < 0) return false;
        } else if (p < 0) {
            enter = std::max(enter, q / p);
        } else {
            leave = std::min(leave, q / p);
        }
    }
    return enter < leave;
}

struct CellTextCase {
    std::string name;
    std::filesystem::path file;
    LevelTicks ticks;  // empty: every level
    double maxSteelPercent;
};
using support::PrintTo;

class CellTextTest : public ::testing::TestWithParam<CellTextCase> {};

// Every text of the schedule sheets stays inside its cell: no line of the sheet runs through it,
// measured as the drawing measures text. A cell's texts stand whole, never broken into pieces.
TEST_P(CellTextTest, EveryTextStaysInItsCell) {
    const CellTextCase& c = GetParam();
    Model model = readAnlFile(c.file);
    DetailOptions options;
    options.maxSteelPercent = c.maxSteelPercent;
    const ColumnDetailing schedule = detailColumns(prepareColumnLines(model), c.ticks, options);
    std::set<std::string> whole;
    for (const RangeDetail& detail : schedule.details) {
        whole.insert({detail.sizeText, detail.barsText, detail.tiesText});
        for (const Section& section : detail.sections) whole.insert(sizeText(section));
    }
    for (const Sheet& drawn : scheduleSheets(schedule, kInfo)) {
        for (const Shapes& symbol : drawn.symbols) {
            for (const Text& text : symbol.texts) EXPECT_TRUE(whole.contains(text.text)) << text.text;
        }
        const Sheet sheet = flattened(drawn);
        std::vector<std::pair<Point, Point>> segments;
        for (const Line& line : sheet.lines) segments.emplace_back(line.from, line.to);
        for (const Polyline& polyline : sheet.polylines) {
            const size_t n = polyline.points.size();
            for (size_t i = 0; i + 1 < n + (polyline.closed ? 1 : 0); ++i) {
                segments.emplace_back(polyline.points[i], polyline.points[(i + 1) % n]);
            }
        }
        for (const Text& text : sheet.texts) {
            const Box box = boxOf(text);
            for (const auto& [from, to] : segments) EXPECT_FALSE(runsThrough(from, to, box)) << text.text;
        }
    }
}

const std::filesystem::path kSample = std::filesystem::path(TIERWISE_SAMPLES_DIR) / "office-block.anl";
const std::filesystem::path kTower = std::filesystem::path(TIERWISE_SEEDS_DIR) / "tower-3x3x2-mms-lf.anl";

INSTANTIATE_TEST_SUITE_P(ScheduleSheet, CellTextTest,
                         ::testing::Values(CellTextCase{"Sample", kSample, {}, 4},
                                           // "over 0.9 %: enlarge the section" is wider than a cell of the least width
                                           CellTextCase{"SampleRefusedAtLength", kSample, {}, 0.9},
                                           CellTextCase{"Tower", kTower, {}, 4},
                                           // one storey range over both storeys: the sections change within it
                                           CellTextCase{"TowerMixedSections", kTower, {true, false, true}, 4}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(LayoutPlan, GridBubblesAndMarksToScale) {
    const ColumnDetailing schedule = smallSchedule();
    const std::vector<PlanColumn> columns{
        {2000, 3000, "C1"}, {8000, 3000, "C1"}, {14000, 8000, "C2"}, {2000, 8000, "C3"}};
    const std::vector<Sheet> sheets = layoutPlanSheets(schedule, columns, kInfo);
    ASSERT_EQ(sheets.size(), 1u);
    const Sheet& sheet = sheets.front();
    expectLegible(sheet);
    EXPECT_EQ(sheet.paper, "A3");
    EXPECT_EQ(findText(sheet, "Made from an incomplete analysis file"), nullptr);
    DrawingInfo cutOff = kInfo;
    cutOff.incomplete = true;
    const Sheet marked = layoutPlanSheets(schedule, columns, cutOff).front();
    expectLegible(marked);
    EXPECT_NE(findText(marked, "Made from an incomplete analysis file"), nullptr);
    // The scale row keeps its place among the rows: the same as without the mark.
    const auto scaleRow = [](const Sheet& plan) {
        return std::find_if(plan.texts.begin(), plan.texts.end(),
                            [](const Text& t) { return t.text.starts_with("Scale 1:"); })
            ->text;
    };
    EXPECT_EQ(scaleRow(marked), scaleRow(sheet));
    // Five grid lines and the axes' two arrows on GRID; the dimension chains (one line along X with
    // three ticks, one along Z with two) and their texts on DIMENSIONS.
    const auto linesOn = [&](Layer layer) {
        return std::count_if(sheet.lines.begin(), sheet.lines.end(), [&](const Line& l) { return l.layer == layer; });
    };
    EXPECT_EQ(linesOn(Layer::Grid), 5 + 6);
    EXPECT_EQ(linesOn(Layer::Dimensions), 4 + 3);
    EXPECT_EQ(std::count_if(sheet.texts.begin(), sheet.texts.end(),
                            [](const Text& t) { return t.layer == Layer::Dimensions; }),
              3);
    for (const auto& [text, count] : std::vector<std::pair<std::string, int>>{{"6000", 2}, {"5000", 1}}) {
        EXPECT_EQ(std::count_if(sheet.texts.begin(), sheet.texts.end(), [&](const Text& t) { return t.text == text; }),
                  count)
            << text;
    }
    EXPECT_EQ(std::count_if(sheet.circles.begin(), sheet.circles.end(),
                            [](const Circle& c) { return c.layer == Layer::Grid; }),
              10);
    for (const char* label : {"A", "B", "C", "1", "2"}) {
        EXPECT_EQ(std::count_if(sheet.texts.begin(), sheet.texts.end(), [&](const Text& t) { return t.text == label; }),
                  2)
            << label;
    }
    // The scale in the title block is the scale drawn: A to B is 6 m.
    const auto scaleText = std::find_if(sheet.texts.begin(), sheet.texts.end(),
                                        [](const Text& t) { return t.text.starts_with("Scale 1:"); });
    ASSERT_NE(scaleText, sheet.texts.end());
    const double n = std::stod(scaleText->text.substr(8));
    EXPECT_EQ(sheet.planScale, n);
    for (const std::string& text :
         {"Paper A3; plot the DXF at 1:" + std::to_string(sheet.planScale), std::string("Layout plan sheet 1 of 1")}) {
        EXPECT_NE(findText(sheet, text), nullptr) << text;
    }
    std::vector<double> verticals;
    for (const Line& line : sheet.lines) {
        if (line.layer == Layer::Grid && line.from.x == line.to.x) verticals.push_back(line.from.x);
    }
    // The axes' Z arrow stands left of the grid lines.
    std::sort(verticals.begin(), verticals.end());
    ASSERT_EQ(verticals.size(), 4u);
    verticals.erase(verticals.begin());
    EXPECT_NEAR(verticals[1] - verticals[0], 6000 / n, 1e-9);
    // Marks stand beside their columns: C2 at C-2, right of and below C1 at A-1.
    const Text* c2 = findText(sheet, "C2");
    ASSERT_NE(c2, nullptr);
    EXPECT_NEAR(c2->at.x - verticals[2], 2.5, 1e-9);
}

struct LegendCase {
    std::string name;
    RangeOutcome upper;                  // C1's cell in the upper range
    std::vector<Section> upperSections;  // its section, or a mixed range's sections
    std::string changes;                 // what the legend says in C1's row
};
using support::PrintTo;

class LegendTest : public ::testing::TestWithParam<LegendCase> {};

// The plan's legend gives each mark's lowest section and where it changes going up.
TEST_P(LegendTest, MarkSectionChanges) {
    const LegendCase& c = GetParam();
    ColumnDetailing schedule = smallSchedule();
    RangeDetail& upper = schedule.details[2];
    upper.outcome = c.upper;
    if (c.upper == RangeOutcome::MixedSections) {
        upper.sections = c.upperSections;
    } else {
        upper.section = c.upperSections.front();
    }
    const Sheet sheet = layoutPlanSheets(schedule, {}, kInfo).front();
    expectLegible(sheet);
    const Text* mark = findText(sheet, "C1");
    ASSERT_NE(mark, nullptr);
    // The row's texts: those level with the mark, left to right.
    std::vector<std::string> row;
    for (const Text& text : sheet.texts) {
        if (text.layer == Layer::Notes && std::abs(text.at.y - mark->at.y) < 1e-9) row.push_back(text.text);
    }
    EXPECT_EQ(row, (std::vector<std::string>{"C1", "300 X 450", c.changes}));
    EXPECT_NE(findText(sheet, "LEGEND OF MARKS"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    LayoutPlan, LegendTest,
    ::testing::Values(LegendCase{"Unchanged", RangeOutcome::Detailed, {{300, 450}}, "-"},
                      LegendCase{"Changes", RangeOutcome::Detailed, {{300, 600}}, "300 X 600 above 7.2 m"},
                      LegendCase{"ChangesWithinRange",
                                 RangeOutcome::MixedSections,
                                 {{300, 450}, {300, 300}},
                                 "300 X 300 within 7.2 to 13.6 m"}),
    [](const auto& testCase) { return testCase.param.name; });

struct PlanSizeCase {
    std::string name;
    int alongX, alongZ;  // grid lines
    int bayX, bayZ;      // cm
    size_t sheets;
};
using support::PrintTo;

class PlanSizeTest : public ::testing::TestWithParam<PlanSizeCase> {};

// A grid with a column at every crossing, each its own mark: the plan on one sheet while that holds
// it, else on A0 sheets at one scale, each column on exactly one of them, each sheet numbered with
// match lines naming its neighbours and a key plan; every sheet a standard paper and scale.
TEST_P(PlanSizeTest, StandardSheets) {
    const PlanSizeCase& c = GetParam();
    ColumnDetailing schedule;
    std::vector<PlanColumn> columns;
    for (int i = 0; i < c.alongX; ++i) schedule.axes.x.push_back({200 + c.bayX * i, gridLetters(i + 1)});
    for (int k = 0; k < c.alongZ; ++k) schedule.axes.z.push_back({300 + c.bayZ * k, std::to_string(k + 1)});
    for (const GridLine& x : schedule.axes.x) {
        for (const GridLine& z : schedule.axes.z) {
            columns.push_back({x.at * 10.0, z.at * 10.0, "C" + std::to_string(columns.size() + 1), 300, 600});
        }
    }
    const std::vector<Sheet> sheets = layoutPlanSheets(schedule, columns, kInfo);
    ASSERT_EQ(sheets.size(), c.sheets);
    std::map<std::string, int> marks;
    const std::string of = " of " + std::to_string(sheets.size());
    for (size_t i = 0; i < sheets.size(); ++i) {
        const Sheet& sheet = sheets[i];
        SCOPED_TRACE("sheet " + std::to_string(i + 1));
        expectLegible(sheet);
        EXPECT_TRUE(std::set<std::string>({"A3", "A2", "A1", "A0"}).contains(sheet.paper)) << sheet.paper;
        EXPECT_TRUE(sheets.size() == 1 || sheet.paper == "A0") << sheet.paper;
        EXPECT_TRUE(std::set<int>({50, 100, 200, 250, 500, 1000}).contains(sheet.planScale)) << sheet.planScale;
        EXPECT_EQ(sheet.planScale, sheets.front().planScale);
        EXPECT_NE(findText(sheet, "Layout plan sheet " + std::to_string(i + 1) + of), nullptr);
        EXPECT_EQ(findText(sheet, "KEY PLAN") != nullptr, sheets.size() > 1);
        size_t matchLines = 0;
        for (const Text& text : sheet.texts) {
            if (text.text.size() > 1 && text.text[0] == 'C' && std::isdigit(text.text[1]) != 0) ++marks[text.text];
            if (!text.text.starts_with("MATCH LINE - SEE SHEET ")) continue;
            const size_t other = std::stoul(text.text.substr(23));
            EXPECT_TRUE(other >= 1 && other <= sheets.size() && other != i + 1) << text.text;
            ++matchLines;
        }
        EXPECT_EQ(matchLines > 0, sheets.size() > 1);
    }
    EXPECT_EQ(marks.size(), columns.size());
    EXPECT_TRUE(std::all_of(marks.begin(), marks.end(), [](const auto& mark) { return mark.second == 1; }));
}

INSTANTIATE_TEST_SUITE_P(
    LayoutPlan, PlanSizeTest,
    ::testing::Values(PlanSizeCase{"OneSheet", 6, 4, 600, 500, 1},
                      // the generated tower's plan: 40 x 40 columns, 6 m by 5 m bays, 234 m by 195 m
                      PlanSizeCase{"Tower", 40, 40, 600, 500, 2},
                      // a long row of bays: cut across X only, the match lines upright
                      PlanSizeCase{"LongRow", 120, 3, 600, 500, 3}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(DrawingText, WrapAndFormats) {
    EXPECT_EQ(wrapText("A-1, B-1, C-1", 100, 2.5), (std::vector<std::string>{"A-1, B-1, C-1"}));
    EXPECT_EQ(wrapText("A-1, B-1, C-1", textWidth("A-1, B-1,", 2.5), 2.5),
              (std::vector<std::string>{"A-1, B-1,", "C-1"}));
    EXPECT_EQ(wrapText("ABCDEFGHIJ", 1, 2.5), (std::vector<std::string>{"ABCDEFGHIJ"}));
    const std::pair<const char*, std::optional<DrawingFormat>> formats[] = {
        {"out.pdf", DrawingFormat::Pdf}, {"OUT.SVG", DrawingFormat::Svg}, {"a.b/out.Dxf", DrawingFormat::Dxf},
        {"out.png", std::nullopt},       {"dir.pdf/out", std::nullopt},   {"pdf", std::nullopt}};
    for (const auto& [name, format] : formats) EXPECT_EQ(drawingFormatFor(name), format) << name;
}

}  // namespace
}  // namespace tierwise
