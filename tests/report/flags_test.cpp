// What a schedule flags and notes: columns without design results inside a storey range, ranges
// a line does not reach, covers from the design blocks, grades, section changes and a cut-off
// file, each on a small frame of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "report/column_schedule_sheet.h"
#include "report/notes.h"
#include "report/schedule.h"
#include "support/case_name.h"
#include "support/memory_workbook.h"

namespace tierwise {
namespace {

using support::buildFrame;
using support::Column;
using support::Line;
using support::PrintTo;

bool holds(const std::vector<std::string>& notes, const std::string& part) {
    return std::any_of(notes.begin(), notes.end(),
                       [&](const std::string& note) { return note.find(part) != std::string::npos; });
}

// Levels 0, 3, 6 and 9 m, ticked at 3: ranges (0 to 3) and (3 to 9), as a parking model split at 3.
const std::vector<int32_t> kLevels{0, 300, 600, 900};
const LevelTicks kSplitAt3{true, true, false, true};

struct CellCase {
    std::string name;
    std::vector<Column> columns;  // one line at A-1
    std::string upperBars;        // worksheet 4's Bars cell of (3 to 9)
    std::string lowerBars;        // and of (0 to 3)
    std::string note;             // a part of one note
};

class FlaggedCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(FlaggedCellTest, BarsCellAndNote) {
    const CellCase& c = GetParam();
    const Model model = buildFrame(kLevels, {{1, 1, 1, c.columns}});
    const std::vector<ColumnLine> lines = groupColumns(model);
    const ColumnDetailing schedule = detailColumns(model, lines, kSplitAt3, {});
    ASSERT_EQ(schedule.marks.size(), 1u);
    EXPECT_EQ(cellBarsText(schedule.cell(schedule.marks[0], 0)), c.lowerBars);
    EXPECT_EQ(cellBarsText(schedule.cell(schedule.marks[0], 1)), c.upperBars);
    EXPECT_TRUE(holds(scheduleNotes(model, lines, schedule), c.note)) << c.note;
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FlaggedCellTest,
    ::testing::Values(
        // The parking case: the 3 to 6 m design carried onto the 6 to 9 m column, which has none.
        CellCase{"UpperStoreyWithoutDesign",
                 {{2, 101}, {3, 201}, {4, 301, 300, 450, 0, false}},
                 "6 - 16 dia (0.89 %); 6 to 9 m: no design results",
                 "6 - 16 dia (0.89 %)",
                 "must be checked for them"},
        CellCase{"NoDesignedColumnInTheRange",
                 {{2, 101}, {3, 201, 300, 450, 0, false}, {4, 301, 300, 450, 0, false}},
                 "no design results",
                 "6 - 16 dia (0.89 %)",
                 "no design results for any of them"},
        CellCase{
            "LineStopsBelowTheTop", {{2, 101}}, "no column", "6 - 16 dia (0.89 %)", "it starts higher or stops lower"},
        CellCase{"LineStartsAboveTheLowest", {{3, 201}, {4, 301}}, "6 - 16 dia (0.89 %)", "no column", "\"no column\""},
        // Aneed 5500 in 300 X 450: 18 - 20 (4.19 %), above the 4 % laps keep to.
        CellCase{"OverThePracticalLimit",
                 {{2, 101, 300, 450, 5500}, {3, 201}, {4, 301}},
                 "6 - 16 dia (0.89 %)",
                 "18 - 20 dia (4.19 %, over 4 %)",
                 "stagger the laps of such columns or join their bars by couplers"},
        CellCase{"SectionChanges",
                 {{2, 101, 400, 450}, {3, 201}, {4, 301}},
                 "6 - 16 dia (0.89 %)",
                 "8 - 16 dia (0.89 %)",
                 "bars continue into the smaller section by laps or dowels"}),
    [](const auto& testCase) { return testCase.param.name; });

// A block's larger COVER is the column's; the range takes the largest, and it keeps otherwise
// identical lines apart.
TEST(Flags, CoverFromTheDesignBlocks) {
    const Model model = buildFrame(kLevels, {{1, 1, 1, {{2, 101}, {3, 201}, {4, 301}}},
                                             {2, 1, 2, {{2, 102}, {3, 202, 300, 450, 1000, true, 50}, {4, 302}}},
                                             {3, 1, 3, {{2, 103, 300, 450, 1000, true, 25}, {3, 203}, {4, 303}}}});
    const std::vector<ColumnLine> lines = groupColumns(model);
    const ColumnDetailing schedule = detailColumns(model, lines, kSplitAt3, {});
    ASSERT_EQ(schedule.marks.size(), 2u);
    // Each X line carries one column, so none is lettered; mark 1 is the outer two lines.
    EXPECT_EQ(schedule.marks[0].gridRefs, (std::vector<std::string>{"(X 1)-1", "(X 3)-1"}));
    EXPECT_EQ(schedule.cell(schedule.marks[0], 1).cover, 40);
    EXPECT_EQ(schedule.cell(schedule.marks[1], 1).cover, 50);
    EXPECT_EQ(schedule.cell(schedule.marks[1], 0).cover, 40);
    EXPECT_TRUE(
        holds(scheduleNotes(model, lines, schedule), "Clear cover to the main bars: 40 mm in C1, C2; 50 mm in C2"));
}

TEST(Flags, GradesOnceOrPerRange) {
    const Model same = buildFrame(kLevels, {{1, 1, 1, {{2, 101, 300, 450, 1000, true, 0, 25}}}});
    EXPECT_TRUE(holds(scheduleNotes(same, groupColumns(same), detailColumns(same, groupColumns(same), kSplitAt3, {})),
                      "Grades: M25."));
    const Model mixed = buildFrame(
        kLevels, {{1, 1, 1, {{2, 101, 300, 450, 1000, true, 0, 30}, {3, 201, 300, 450, 1000, true, 0, 25}}}});
    const std::vector<std::string> notes =
        scheduleNotes(mixed, groupColumns(mixed), detailColumns(mixed, groupColumns(mixed), kSplitAt3, {}));
    EXPECT_TRUE(holds(notes, "Grades, 0 to 3 m: M30."));
    EXPECT_TRUE(holds(notes, "Grades, 3 to 9 m: M25."));
    EXPECT_EQ(modelGradesText(mixed), "M30; M25");
}

// A cut-off file: worksheet 4's notes, after one empty row, and the document properties say so;
// a complete one does not.
TEST(Flags, IncompleteFileMarked) {
    Model model = buildFrame(kLevels, {{1, 1, 1, {{2, 101}, {3, 201}, {4, 301}}}});
    for (const bool cutOff : {false, true}) {
        model.cutOffLine = cutOff ? 120 : 0;
        const ColumnLines schedule = groupColumnLines(model);
        MemoryWorkbook book;
        writeWorkbook(schedule, kSplitAt3, book);
        // One mark in row 3, row 4 empty, "Notes" in row 5.
        EXPECT_EQ(book.cell(kSheetColumnSchedule, 4, 1), nullptr);
        ASSERT_NE(book.cell(kSheetColumnSchedule, 5, 1), nullptr);
        EXPECT_EQ(cellText(*book.cell(kSheetColumnSchedule, 5, 1)), "Notes");
        const std::string first = cellText(*book.cell(kSheetColumnSchedule, 6, 1));
        EXPECT_EQ(first.find(kIncompleteFileText) != std::string::npos, cutOff) << first;
        EXPECT_EQ(book.comments(), cutOff ? "Made from an incomplete analysis file" : "");
        EXPECT_EQ(book.title(), "Column schedule");
    }
}

}  // namespace
}  // namespace tierwise
