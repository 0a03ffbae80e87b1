#include "report/worksheets.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "model/numbers.h"
#include "model/rejection.h"
#include "report/column_schedule_sheet.h"

namespace tierwise {

namespace {

// The worksheets of the area schedule.
constexpr int kSheetPercent = 1;  // steel percentage, then the area of every column
constexpr int kSheetMembers = 2;  // area of every column with its member number
constexpr int kSheetRanges = 3;   // largest area per storey range

// Columns of a group row; row 1 holds the headings.
constexpr int kHeadingRow = 1;
constexpr int kColNode = 1;
constexpr int kColSize = 2;
constexpr int kColSlNo = 3;
constexpr int kColMaxArea = 4;
constexpr int kColPercent = 5;
constexpr int kColBeforeAreas = 5;   // area j of a line goes to column 5 + j (worksheets 1 and 2)
constexpr int kColBeforeRanges = 5;  // storey range k goes to column 5 + 2k (worksheet 3)

// What a worksheet holds.
constexpr int64_t kMaxRows = 1048576;
constexpr int64_t kMaxColumns = 16384;

bool sameSection(const ColGroup& a, const ColGroup& b) { return a.dimMin == b.dimMin && a.dimMax == b.dimMax; }

std::string sectionText(const ColGroup& group) {
    return std::to_string(group.dimMin) + " X " + std::to_string(group.dimMax);
}

void check(const Model& model, const std::vector<ColGroup>& groups) {
    // Headings without rows would pass for the schedule of a frame without designed columns.
    if (!model.endsInside.empty()) {
        throw Rejection("The file ends inside the " + model.endsInside + " at line " + std::to_string(model.endLine) +
                        "; it is cut off before the column design results.");
    }
    const int32_t levels = model.levelCount();
    if (levels < 2) {
        throw Rejection("The model has " + std::to_string(levels) + (levels == 1 ? " level" : " levels") +
                        "; a column schedule needs at least two.");
    }
    int64_t rows = 1;
    int32_t widest = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        const ColGroup& group = groups[g];
        if (group.dimMin <= 0 && group.dimMax == 0) {
            const ColEntry& entry = model.colTab[static_cast<size_t>(group.firstCol - 1)];
            throw Rejection("Column " + memberText(entry) + " has a circular section whose diameter " +
                            formatSingle(std::max(entry.width, entry.depth)) +
                            " rounds to 0; its steel percentage cannot be worked out.");
        }
        rows += 1 + (g + 1 < groups.size() && !sameSection(group, groups[g + 1]) ? 1 : 0);
        widest = std::max(widest, group.nCols);
    }
    if (rows > kMaxRows) {
        throw Rejection("The schedule needs " + std::to_string(rows) + " rows, more than the " +
                        std::to_string(kMaxRows) + " a worksheet holds.");
    }
    const int64_t areaColumns = kColBeforeAreas + int64_t{widest};
    if (areaColumns > kMaxColumns) {
        throw Rejection("A column line of " + std::to_string(widest) + " columns needs " + std::to_string(areaColumns) +
                        " worksheet columns, more than the " + std::to_string(kMaxColumns) + " a worksheet holds.");
    }
}

void writeHeadings(Workbook& book) {
    for (const int sheet : {kSheetPercent, kSheetMembers, kSheetRanges}) {
        book.setHeadingRows(sheet, kHeadingRow);
        book.setCell(sheet, kHeadingRow, kColNode, std::string(" Node "));
        book.setCell(sheet, kHeadingRow, kColSize, std::string(" Size "));
        book.setCell(sheet, kHeadingRow, kColSlNo, std::string("Sl No."));
        book.setCell(sheet, kHeadingRow, kColMaxArea, std::string(" Max Area"));
    }
}

}  // namespace

std::string steelPercentText(float maxArea, int32_t dimMin, int32_t dimMax) {
    // Single precision, left to right; a circle's gross area takes pi as 22/7.
    const auto small = static_cast<float>(dimMin);
    const auto large = static_cast<float>(dimMax);
    const float percent =
        dimMin > 0 ? maxArea / small / large * 100.0f : maxArea / 22.0f / large / large * 28.0f * 100.0f;
    return formatDouble(roundTo2Decimals(percent)) + " %";
}

void checkSchedule(const Model& model, const std::vector<ColGroup>& groups) { check(model, groups); }

void checkRanges(const Model& model, const LevelTicks& ticks) {
    const int32_t levels = model.levelCount();
    const int32_t ranges = rangeCount(ticks, levels);
    const int64_t rangeColumns = kColBeforeRanges + 2 * int64_t{ranges};
    if (rangeColumns > kMaxColumns) {
        throw Rejection("The " + std::to_string(ranges) + " storey ranges need " + std::to_string(rangeColumns) +
                        " worksheet columns, more than the " + std::to_string(kMaxColumns) +
                        " a worksheet holds; tick fewer levels.");
    }
    const int64_t scheduleColumns = columnScheduleColumns(ranges);
    if (scheduleColumns > kMaxColumns) {
        throw Rejection("The " + std::to_string(ranges) + " storey ranges need " + std::to_string(scheduleColumns) +
                        " columns on the column schedule worksheet, more than the " + std::to_string(kMaxColumns) +
                        " a worksheet holds; tick fewer levels.");
    }
}

void writeReport(const Model& model, const std::vector<ColGroup>& groups, const LevelTicks& ticks, Workbook& book) {
    const int32_t levels = model.levelCount();

    writeHeadings(book);
    int32_t rowNo = kHeadingRow;
    int32_t slNo = 0;

    // Storey-range captions: one per ticked level above the lowest, "(0 to 7)".
    // rangeColumn[y] is the worksheet-3 column of the range that level y belongs to.
    std::vector<int32_t> rangeColumn(static_cast<size_t>(levels) + 1, 0);
    {
        int32_t colPos = 0;
        int32_t prevLevel = 1;
        for (int32_t i = 2; i <= levels; ++i) {
            rangeColumn[static_cast<size_t>(i)] = kColBeforeRanges + colPos + 2;
            if (!isTicked(ticks, i, levels)) continue;
            colPos += 2;
            book.setCell(kSheetRanges, rowNo, kColBeforeRanges + colPos,
                         "(" + levelText(model, prevLevel) + " to " + levelText(model, i) + ")");
            prevLevel = i;
        }
    }

    for (size_t g = 0; g < groups.size(); ++g) {
        const ColGroup& group = groups[g];
        ++rowNo;
        ++slNo;
        const std::string section = sectionText(group);

        book.setCell(kSheetPercent, rowNo, kColNode, group.node);
        book.setCell(kSheetPercent, rowNo, kColSlNo, slNo);
        book.setCell(kSheetPercent, rowNo, kColMaxArea, group.area[0]);
        // A circular section shows its diameter alone, as a number.
        if (group.dimMin > 0) {
            book.setCell(kSheetPercent, rowNo, kColSize, section);
        } else {
            book.setCell(kSheetPercent, rowNo, kColSize, group.dimMax);
        }
        book.setCell(kSheetPercent, rowNo, kColPercent, steelPercentText(group.area[0], group.dimMin, group.dimMax));
        for (const int sheet : {kSheetMembers, kSheetRanges}) {
            book.setCell(sheet, rowNo, kColNode, group.node);
            book.setCell(sheet, rowNo, kColSize, section);
            book.setCell(sheet, rowNo, kColSlNo, slNo);
            book.setCell(sheet, rowNo, kColMaxArea, group.area[0]);
        }

        for (int32_t j = 1; j <= group.nCols; ++j) {
            const float area = group.area[static_cast<size_t>(j)];
            book.setCell(kSheetPercent, rowNo, kColBeforeAreas + j, area);
            // 950.5 (101)
            book.setCell(kSheetMembers, rowNo, kColBeforeAreas + j,
                         formatSingle(area) + " (" + std::to_string(group.memb[static_cast<size_t>(j)]) + ")");
        }

        // Largest area per storey range; a range whose columns are missing or all failed stays empty.
        int32_t column = 0;
        float rangeMax = 0;
        for (const LevelArea& entry : group.levelArea) {
            const int32_t entryColumn = rangeColumn[static_cast<size_t>(entry.levelIndex)];
            if (entryColumn != column) {
                if (rangeMax > 0) book.setCell(kSheetRanges, rowNo, column, rangeMax);
                column = entryColumn;
                rangeMax = 0;
            }
            if (rangeMax < entry.area) rangeMax = entry.area;
        }
        if (rangeMax > 0) book.setCell(kSheetRanges, rowNo, column, rangeMax);

        // One empty row between blocks of different section; serial numbers start again.
        if (g + 1 < groups.size() && !sameSection(group, groups[g + 1])) {
            ++rowNo;
            slNo = 0;
        }
    }
}

}  // namespace tierwise
