// The schedule's worksheets: headings, storey ranges, rows, blocks and texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "model/rejection.h"
#include "report/column_schedule_sheet.h"
#include "report/schedule.h"
#include "report/worksheets.h"
#include "support/memory_workbook.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

using support::buildFrame;
using support::Column;
using support::Line;

const std::vector<int32_t> kLevels{0, 350, 700, 1050};
const LevelTicks kAllTicked{true, true, true, true};

CellValue text(const char* value) { return std::string(value); }

// The schedule of a frame built as buildPlanGrid leaves it, written through the pipeline.
void writeFrame(const Model& model, const LevelTicks& ticks, Workbook& book) {
    writeWorkbook(groupColumnLines(model), ticks, book);
}

struct Cell {
    int sheet, row, column;
    CellValue value;
};

struct WriterCase {
    std::string name;
    std::vector<int32_t> levels;
    LevelTicks ticks;
    std::vector<Line> lines;
    std::vector<Cell> cells;       // must hold these values
    std::vector<Cell> emptyCells;  // must be empty (value unused)
};

class WriterTest : public ::testing::TestWithParam<WriterCase> {};

TEST_P(WriterTest, Cells) {
    const WriterCase& c = GetParam();
    MemoryWorkbook book;
    writeFrame(buildFrame(c.levels, c.lines), c.ticks, book);
    for (const Cell& cell : c.cells) {
        SCOPED_TRACE("sheet " + std::to_string(cell.sheet) + " row " + std::to_string(cell.row) + " column " +
                     std::to_string(cell.column));
        const CellValue* got = book.cell(cell.sheet, cell.row, cell.column);
        ASSERT_NE(got, nullptr) << "empty";
        EXPECT_EQ(*got, cell.value);
    }
    for (const Cell& cell : c.emptyCells) {
        EXPECT_EQ(book.cell(cell.sheet, cell.row, cell.column), nullptr)
            << "sheet " << cell.sheet << " row " << cell.row << " column " << cell.column << " is not empty";
    }
}

const Line kThreeStoreyLine{1, 1, 7, {{2, 101, 300, 450, 800}, {3, 201, 300, 450, 1200}, {4, 301, 300, 450, 500}}};

INSTANTIATE_TEST_SUITE_P(
    Writer, WriterTest,
    ::testing::Values(
        WriterCase{"HeadingsOnEverySheet",
                   kLevels,
                   kAllTicked,
                   {},
                   {{1, 1, 1, text(" Node ")},
                    {1, 1, 2, text(" Size ")},
                    {1, 1, 3, text("Sl No.")},
                    {1, 1, 4, text(" Max Area")},
                    {2, 1, 1, text(" Node ")},
                    {2, 1, 4, text(" Max Area")},
                    {3, 1, 2, text(" Size ")},
                    {3, 1, 3, text("Sl No.")}},
                   {{1, 1, 5, 0}, {2, 1, 5, 0}, {3, 1, 5, 0}, {1, 2, 1, 0}}},
        WriterCase{"LowestThirdAndHighestTicked",
                   kLevels,
                   {true, false, true, true},
                   {kThreeStoreyLine},
                   {{3, 1, 7, text("(0 to 7)")}, {3, 1, 9, text("(7 to 10.5)")}, {3, 2, 7, 1200.0f}, {3, 2, 9, 500.0f}},
                   {{3, 1, 11, 0}, {3, 2, 11, 0}, {3, 1, 5, 0}, {3, 1, 6, 0}, {3, 1, 8, 0}, {3, 2, 8, 0}}},
        WriterCase{"OnlyLowestAndHighestTicked",
                   kLevels,
                   {true, false, false, true},
                   {kThreeStoreyLine},
                   {{3, 1, 7, text("(0 to 10.5)")}, {3, 2, 7, 1200.0f}},
                   {{3, 1, 9, 0}, {3, 2, 9, 0}}},
        WriterCase{"HighestCountsAsTickedAlways",
                   kLevels,
                   {true, false, false, false},
                   {kThreeStoreyLine},
                   {{3, 1, 7, text("(0 to 10.5)")}, {3, 2, 7, 1200.0f}},
                   {{3, 1, 9, 0}}},
        WriterCase{"LevelsBeyondTheTicksCountAsTicked",
                   kLevels,
                   {},
                   {kThreeStoreyLine},
                   {{3, 1, 7, text("(0 to 3.5)")},
                    {3, 1, 9, text("(3.5 to 7)")},
                    {3, 1, 11, text("(7 to 10.5)")},
                    {3, 2, 7, 800.0f},
                    {3, 2, 9, 1200.0f},
                    {3, 2, 11, 500.0f}},
                   {}},
        WriterCase{"RangeOfFailedColumnsStaysEmpty",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 7, {{2, 101, 300, 450, 0}, {3, 201, 300, 450, 0}, {4, 301, 300, 450, 600}}}},
                   {{3, 2, 11, 600.0f}, {3, 2, 4, 600.0f}, {4, 3, 10, text("300 X 450")}},
                   // Nor detailed: a failed design needs more than the least steel.
                   {{3, 2, 7, 0}, {3, 2, 9, 0}, {4, 3, 4, 0}, {4, 3, 5, 0}, {4, 3, 7, 0}}},
        WriterCase{"NegativeLevelsInCaptions",
                   {-350, 0, 350},
                   {true, true, true},
                   {},
                   {{3, 1, 7, text("(-3.5 to 0)")}, {3, 1, 9, text("(0 to 3.5)")}},
                   {}},
        WriterCase{"BlocksOfSectionWithEmptyRowBetween",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 11, {{2, 1, 300, 450, 900}}},
                    {2, 1, 12, {{2, 2, 300, 450, 1000}}},
                    {3, 1, 13, {{2, 3, 300, 600, 800}}}},
                   {{1, 2, 1, 11},
                    {1, 2, 3, 1},
                    {1, 3, 1, 12},
                    {1, 3, 3, 2},
                    {1, 5, 1, 13},
                    {1, 5, 3, 1},
                    {2, 5, 3, 1},
                    {3, 5, 3, 1},
                    {3, 3, 3, 2}},
                   {{1, 4, 1, 0}, {1, 4, 3, 0}, {2, 4, 1, 0}, {3, 4, 1, 0}, {3, 4, 7, 0}, {1, 6, 1, 0}}},
        WriterCase{"RectangularRow",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 7, {{2, 101, 300, 450, 2700}}}},
                   {{1, 2, 1, 7},
                    {1, 2, 2, text("300 X 450")},
                    {1, 2, 3, 1},
                    {1, 2, 4, 2700.0f},
                    {1, 2, 5, text("2 %")},
                    {2, 2, 2, text("300 X 450")},
                    {3, 2, 2, text("300 X 450")}},
                   {}},
        WriterCase{"CircularRow",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 7, {{2, 101, 700, 0, 3850}}}},
                   {{1, 2, 2, 700}, {1, 2, 5, text("1 %")}, {2, 2, 2, text("0 X 700")}, {3, 2, 2, text("0 X 700")}},
                   {}},
        // Worksheet 1's percentage is over the section of the column that holds the largest area:
        // 7007.13 / (300 x 600) = 3.89 %, not 5.08 % over the lowest 230 X 600; the size stays the lowest's.
        WriterCase{"PercentOverTheGoverningSection",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 7, {{2, 101, 230, 600, 2000}, {3, 201, 300, 600, 7007.13f}, {4, 301, 300, 600, 7007.13f}}}},
                   {{1, 2, 2, text("230 X 600")}, {1, 2, 5, text("3.89 %")}},
                   {}},
        // 3850 / (22/28 x 700^2) = 1 %, the round upper column's, where the lowest is 300 X 450.
        WriterCase{"PercentOverAGoverningRoundColumn",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 7, {{2, 101, 300, 450, 900}, {3, 201, 700, 0, 3850}}}},
                   {{1, 2, 2, text("300 X 450")}, {1, 2, 5, text("1 %")}},
                   {}},
        WriterCase{"AreasOfEveryColumnBottomUp",
                   kLevels,
                   kAllTicked,
                   {{1, 1, 7, {{2, 101, 300, 450, 950.5f}, {3, 201, 300, 450, 1080.37f}, {4, 301, 300, 450, 0}}}},
                   {{1, 2, 6, 950.5f},
                    {1, 2, 7, 1080.37f},
                    {1, 2, 8, 0.0f},
                    {2, 2, 6, text("950.5 (101)")},
                    {2, 2, 7, text("1080.37 (201)")},
                    {2, 2, 8, text("0 (301)")},
                    {2, 2, 4, 1080.37f}},
                   {{2, 2, 5, 0}, {3, 2, 5, 0}, {1, 2, 9, 0}, {2, 2, 9, 0}, {3, 2, 6, 0}}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(Writer, NoGroupsGivesHeadingsAndCaptionsOnly) {
    MemoryWorkbook book;
    writeFrame(buildFrame(kLevels, {}), {true, false, true, true}, book);
    // Worksheets 1 to 4; the steel quantities' headings and notes are the quantities tests' own.
    const std::string dump = book.dump();
    EXPECT_EQ(dump.substr(0, dump.find("\n" + std::to_string(kSheetQuantities) + ",") + 1),
              "1,1,1,text,\" Node \"\n1,1,2,text,\" Size \"\n1,1,3,text,\"Sl No.\"\n1,1,4,text,\" Max Area\"\n"
              "2,1,1,text,\" Node \"\n2,1,2,text,\" Size \"\n2,1,3,text,\"Sl No.\"\n2,1,4,text,\" Max Area\"\n"
              "3,1,1,text,\" Node \"\n3,1,2,text,\" Size \"\n3,1,3,text,\"Sl No.\"\n3,1,4,text,\" Max Area\"\n"
              "3,1,7,text,\"(0 to 7)\"\n3,1,9,text,\"(7 to 10.5)\"\n"
              "4,1,1,text,\"Mark\"\n4,1,2,text,\"Grid\"\n4,1,3,text,\"Lines\"\n"
              "4,1,4,text,\"(0 to 7)\"\n4,1,7,text,\"(7 to 10.5)\"\n"
              "4,2,1,text,\"IS 456:2000\"\n4,2,4,text,\"Size\"\n4,2,5,text,\"Bars\"\n4,2,6,text,\"Ties\"\n"
              "4,2,7,text,\"Size\"\n4,2,8,text,\"Bars\"\n4,2,9,text,\"Ties\"\n");
}

// Worksheet 4: the line at (2, 1) reads as kThreeStoreyLine does (1100 and 1200 both take 6 x 16;
// 500 takes the 0.8 % minimum, 1080, as 1100 does), and sorts first on its smaller largest area;
// the line at (2, 2) stops a storey lower. And the layout of every worksheet.
TEST(Writer, ColumnScheduleAndLayout) {
    const Line twin{2, 1, 8, {{2, 102, 300, 450, 1100}, {3, 202, 300, 450, 1100}, {4, 302, 300, 450, 1100}}};
    const Line shorter{2, 2, 9, {{2, 103, 300, 450, 1100}, {3, 203, 300, 450, 1100}}};
    MemoryWorkbook book;
    writeFrame(buildFrame(kLevels, {kThreeStoreyLine, twin, shorter}), {true, false, true, true}, book);
    const std::vector<Cell> cells{{4, 1, 4, text("(0 to 7)")},
                                  {4, 2, 8, text("Bars")},
                                  {4, 3, 1, text("C1")},
                                  // X 1 m carries one column: no grid line of its own
                                  {4, 3, 2, text("A-1, (X 1)-1")},
                                  {4, 3, 3, 2},
                                  {4, 3, 4, text("300 X 450")},
                                  {4, 3, 5, text("6 - 16 dia (0.89 %)")},
                                  {4, 3, 6, text("8 dia @ 250 c/c + 1 crosstie")},
                                  {4, 3, 7, text("300 X 450")},
                                  {4, 3, 8, text("6 - 16 dia (0.89 %)")},
                                  {4, 4, 1, text("C2")},
                                  {4, 4, 2, text("A-(Z 2)")},
                                  {4, 4, 3, 1},
                                  {4, 4, 4, text("300 X 450")}};
    for (const Cell& cell : cells) {
        const CellValue* got = book.cell(cell.sheet, cell.row, cell.column);
        ASSERT_NE(got, nullptr) << "row " << cell.row << " column " << cell.column;
        EXPECT_EQ(*got, cell.value) << "row " << cell.row << " column " << cell.column;
    }
    EXPECT_EQ(book.cell(4, 4, 7), nullptr);  // (7 to 10.5): the shorter line has no column there
    EXPECT_EQ(book.cell(4, 5, 1), nullptr);
    EXPECT_EQ(book.sheetName(1), "");
    EXPECT_EQ(book.sheetName(4), "Column schedule");
    EXPECT_EQ(std::vector<int>({book.headingRows(1), book.headingRows(3), book.headingRows(4)}),
              std::vector<int>({1, 1, 2}));
    EXPECT_EQ(book.columnWidth(2, 2), 11);  // "300 X 450" and a margin of two
    EXPECT_EQ(book.columnWidth(4, 5), 21);  // "6 - 16 dia (0.89 %)"
    EXPECT_EQ(book.columnWidth(4, 10), 0);  // nothing there
    // Every worksheet prints; worksheet 4 repeats Mark and Grid and keeps a range's Size, Bars and
    // Ties (columns 4 to 6, 7 to 9) on one page.
    for (int sheet = 1; sheet <= kSheetCount; ++sheet) EXPECT_NE(book.printSetup(sheet), nullptr) << sheet;
    const PrintSetup* print = book.printSetup(4);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(std::vector<int>({print->titleColumns, print->firstBlockColumn, print->blockColumns}),
              std::vector<int>({2, 4, 3}));
}

TEST(Writer, GridReferencesCutToWhatACellHolds) {
    const std::vector<std::string> refs{"A-1", "B-1", "C-1", "D-1"};
    EXPECT_EQ(joinedRefs(refs, 100), "A-1, B-1, C-1, D-1");
    EXPECT_EQ(joinedRefs(refs, 18), "A-1, B-1, C-1, D-1");
    EXPECT_EQ(joinedRefs(refs, 17), "A-1, … (3 more)");
    EXPECT_LE(joinedRefs(std::vector<std::string>(20000, "AB-12")).size(), 32767u);
}

struct PercentCase {
    std::string name;
    float area;
    int32_t dimMin, dimMax;
    std::string text;
};

class SteelPercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(SteelPercentTest, Text) {
    const PercentCase& c = GetParam();
    EXPECT_EQ(steelPercentText(c.area, c.dimMin, c.dimMax), c.text);
}

INSTANTIATE_TEST_SUITE_P(Writer, SteelPercentTest,
                         ::testing::Values(PercentCase{"Rectangular", 2700, 300, 450, "2 %"},
                                           PercentCase{"Circular", 3850, 0, 700, "1 %"},
                                           PercentCase{"TwoDecimals", 1687.5f, 300, 450, "1.25 %"},
                                           PercentCase{"RoundedToTwoDecimals", 1000, 300, 450, "0.74 %"},
                                           PercentCase{"CircularRounded", 1590.4f, 0, 450, "1 %"},
                                           PercentCase{"AllFailed", 0, 300, 450, "0 %"}),
                         [](const auto& testCase) { return testCase.param.name; });

struct RefusalCase {
    std::string name;
    std::vector<int32_t> levels;
    LevelTicks ticks;
    std::vector<Line> lines;
    std::string message;
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, NothingWritten) {
    const RefusalCase& c = GetParam();
    const Model model = buildFrame(c.levels, c.lines);
    MemoryWorkbook book;
    try {
        writeFrame(model, c.ticks, book);
        FAIL() << "no rejection";
    } catch (const Rejection& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(book.cellCount(), 0u);
    EXPECT_THROW(checkTicks(groupColumnLines(model), c.ticks), Rejection);
}

std::vector<int32_t> levelsUpTo(int32_t count) {
    std::vector<int32_t> levels;
    for (int32_t i = 0; i < count; ++i) levels.push_back(300 * i);
    return levels;
}

Line lineOfColumns(int32_t count) {
    Line line{1, 1, 7, {}};
    for (int32_t i = 2; i <= count + 1; ++i) line.columns.push_back({i, static_cast<float>(i), 300, 450, 900});
    return line;
}

INSTANTIATE_TEST_SUITE_P(
    Writer, RefusalTest,
    ::testing::Values(
        RefusalCase{"NoLevels", {}, {}, {}, "The model has 0 levels; a column schedule needs at least two."},
        RefusalCase{"OneLevel", {0}, {true}, {}, "The model has 1 level; a column schedule needs at least two."},
        RefusalCase{"CircularOfDiameterZero",
                    kLevels,
                    kAllTicked,
                    {{1, 1, 7, {{2, 101, 0.4f, 0, 600}}}},
                    "Column 101 has a circular section whose diameter 0.4 rounds to 0; its steel percentage "
                    "cannot be worked out."},
        RefusalCase{"RectangleOfNothing",
                    kLevels,
                    kAllTicked,
                    {{1, 1, 7, {{2, 101, 0.4f, 0.4f, 600}}}},
                    "Column 101 has a rectangular section 0.4 X 0.4 that rounds to 0 mm; its steel percentage "
                    "cannot be worked out."},
        RefusalCase{"TooManyStoreyRanges",
                    levelsUpTo(8191),
                    {},
                    {},
                    "The 8190 storey ranges need 16385 worksheet columns, more than the 16384 a worksheet holds; "
                    "tick fewer levels."},
        // Three columns per range on worksheet 4 give out first.
        RefusalCase{"TooManyStoreyRangesForTheColumnSchedule",
                    levelsUpTo(5462),
                    {},
                    {},
                    "The 5461 storey ranges need 16386 columns on the column schedule worksheet, more than the 16384 "
                    "a worksheet holds; tick fewer levels."},
        RefusalCase{"LineTooTall",
                    levelsUpTo(16381),
                    LevelTicks(2, false),
                    {lineOfColumns(16380)},
                    "A column line of 16380 columns needs 16385 worksheet columns, more than the 16384 a "
                    "worksheet holds."}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(Writer, ManyLevelsFitWhenFewAreTicked) {
    const Model model = buildFrame(levelsUpTo(8191), {lineOfColumns(100)});
    LevelTicks ticks(8191, false);
    ticks[99] = true;
    MemoryWorkbook book;
    writeFrame(model, ticks, book);
    EXPECT_EQ(*book.cell(3, 1, 9), CellValue(std::string("(297 to 24570)")));
    EXPECT_EQ(book.cell(3, 1, 11), nullptr);
}

// Worksheet 3 as the level-by-level walk gives it: a range's value is the largest area met since
// the last ticked level, written only when above 0.
TEST(Writer, StoreyRangesSameAsLevelWalkOnRandomFrames) {
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int32_t>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int32_t levels = 2 + pick(12);
        std::vector<Line> lines;
        for (int32_t x = 1; x <= 3; ++x) {
            for (int32_t z = 1; z <= 3; ++z) {
                Line line{x, z, pick(3) == 0 ? 0 : 10 * x + z, {}};
                for (int32_t level = 2; level <= levels; ++level) {
                    if (pick(3) == 0) continue;
                    const float area = pick(4) == 0 ? 0.0f : static_cast<float>(100 * pick(30));
                    line.columns.push_back(
                        {level, static_cast<float>(level), 300, pick(2) == 0 ? 450.0f : 600.0f, area, pick(8) != 0});
                }
                lines.push_back(line);
            }
        }
        LevelTicks ticks;
        for (int32_t i = 0; i < levels; ++i) ticks.push_back(pick(2) == 0);
        const Model model = buildFrame(levelsUpTo(levels), lines);
        MemoryWorkbook book;
        writeFrame(model, ticks, book);

        const std::vector<ColumnLine> groups = groupColumns(model);
        int32_t rowNo = 1;
        for (size_t g = 0; g < groups.size(); ++g) {
            ++rowNo;
            std::vector<float> levelArea(static_cast<size_t>(levels) + 1, 0.0f);
            for (int32_t y = 1; y <= levels; ++y) levelArea[static_cast<size_t>(y)] = groups[g].areaAt(y);
            float rangeMax = 0;
            int32_t colPos = 0;
            for (int32_t y = 2; y <= levels; ++y) {
                if (rangeMax < levelArea[static_cast<size_t>(y)]) rangeMax = levelArea[static_cast<size_t>(y)];
                if (y == levels || ticks[static_cast<size_t>(y - 1)]) {
                    colPos += 2;
                    const CellValue* got = book.cell(3, rowNo, colPos + 5);
                    if (rangeMax > 0) {
                        ASSERT_NE(got, nullptr) << "row " << rowNo << " column " << colPos + 5;
                        EXPECT_EQ(*got, CellValue(rangeMax));
                    } else {
                        EXPECT_EQ(got, nullptr) << "row " << rowNo << " column " << colPos + 5;
                    }
                    rangeMax = 0;
                }
            }
            EXPECT_EQ(book.cell(3, rowNo, colPos + 7), nullptr);
            if (g + 1 < groups.size() && groups[g].section != groups[g + 1].section) {
                ++rowNo;
            }
        }
    }
}

}  // namespace
}  // namespace tierwise
