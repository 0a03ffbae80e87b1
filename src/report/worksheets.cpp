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

// Columns of a line row; row 1 holds the headings.
constexpr int kHeadingRow = 1;
constexpr int kColNode = 1;
constexpr int kColSize = 2;
constexpr int kColSlNo = 3;
constexpr int kColMaxArea = 4;
constexpr int kColPercent = 5;
constexpr int kColBeforeAreas = 5;  // column j (1-based, bottom up) of a line goes to column 5 + j (worksheets 1 and 2)
constexpr int kColBeforeRanges = 5;  // storey range k goes to column 5 + 2k (worksheet 3)

// Worksheet 1 takes a circle's gross area as 22/28 D^2, pi as 22/7: the figure an engineer works
// by hand, and the sheet's figures have always been that. Detailing (grossArea) takes
// std::numbers::pi, since a bar count must meet the code's limits exactly; the two percentages
// of a round column differ by 0.04 %. kCirclePi7 / kCircleQuarter7 is pi / 4 as 22/7 gives it.
constexpr float kCirclePi7 = 22.0f;
constexpr float kCircleQuarter7 = 28.0f;

bool sameSection(const ColumnLine& a, const ColumnLine& b) { return a.section == b.section; }

std::string sectionText(const ColumnLine& line) {
    return std::to_string(line.section.b) + " X " + std::to_string(line.section.D);
}

// The column whose section worksheet 1's steel percentage is over: the one holding the line's
// largest area (the lowest of several), or the lowest column where no area is above 0.
const LineColumn& percentColumn(const ColumnLine& line) {
    const LineColumn* governing = line.governing();
    return governing ? *governing : line.columns.front();
}

// That column's section; a section too large to round is that of the lowest column.
Section percentSection(const Model& model, const ColumnLine& line) {
    const std::optional<Section> section =
        columnSection(model.designBlocks[static_cast<size_t>(percentColumn(line).designBlock)]);
    return section ? *section : line.section;
}

// A section that rounds to nothing has no steel percentage.
void checkSection(const DesignBlock& entry, const Section& section) {
    if (section.b > 0 || section.D != 0) return;
    if (entry.depth > 0.0f) {
        throw Rejection("Column " + memberText(entry) + " has a rectangular section " + formatSingle(entry.width) +
                        " X " + formatSingle(entry.depth) +
                        " that rounds to 0 mm; its steel percentage cannot be worked out.");
    }
    throw Rejection("Column " + memberText(entry) + " has a circular section whose diameter " +
                    formatSingle(std::max(entry.width, entry.depth)) +
                    " rounds to 0; its steel percentage cannot be worked out.");
}

void check(const Model& model, const std::vector<ColumnLine>& lines) {
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
    for (size_t g = 0; g < lines.size(); ++g) {
        const ColumnLine& line = lines[g];
        checkSection(model.designBlocks[static_cast<size_t>(line.columns.front().designBlock)], line.section);
        checkSection(model.designBlocks[static_cast<size_t>(percentColumn(line).designBlock)],
                     percentSection(model, line));
        rows += 1 + (g + 1 < lines.size() && !sameSection(line, lines[g + 1]) ? 1 : 0);
        widest = std::max(widest, static_cast<int32_t>(line.columns.size()));
    }
    if (rows > kWorksheetRows) {
        throw Rejection("The schedule needs " + std::to_string(rows) + " rows, more than the " +
                        std::to_string(kWorksheetRows) + " a worksheet holds.");
    }
    const int64_t areaColumns = kColBeforeAreas + int64_t{widest};
    if (areaColumns > kWorksheetColumns) {
        throw Rejection("A column line of " + std::to_string(widest) + " columns needs " + std::to_string(areaColumns) +
                        " worksheet columns, more than the " + std::to_string(kWorksheetColumns) +
                        " a worksheet holds.");
    }
}

void writeHeadings(Workbook& book) {
    for (const int sheet : {kSheetPercent, kSheetMembers, kSheetRanges}) {
        book.setHeadingRows(sheet, kHeadingRow);
        book.setPrintSetup(sheet, PrintSetup{});
        book.setCell(sheet, kHeadingRow, kColNode, std::string(" Node "));
        book.setCell(sheet, kHeadingRow, kColSize, std::string(" Size "));
        book.setCell(sheet, kHeadingRow, kColSlNo, std::string("Sl No."));
        book.setCell(sheet, kHeadingRow, kColMaxArea, std::string(" Max Area"));
    }
}

}  // namespace

std::string steelPercentText(float maxArea, int32_t dimMin, int32_t dimMax) {
    // Single precision, left to right.
    const auto small = static_cast<float>(dimMin);
    const auto large = static_cast<float>(dimMax);
    const float percent =
        dimMin > 0 ? maxArea / small / large * 100.0f : maxArea / kCirclePi7 / large / large * kCircleQuarter7 * 100.0f;
    return formatDouble(roundTo2Decimals(percent)) + " %";
}

void checkColumnLines(const Model& model, const std::vector<ColumnLine>& lines) { check(model, lines); }

void checkRanges(const Model& model, const LevelTicks& ticks) {
    const int32_t levels = model.levelCount();
    const int32_t ranges = rangeCount(ticks, levels);
    const int64_t rangeColumns = kColBeforeRanges + 2 * int64_t{ranges};
    if (rangeColumns > kWorksheetColumns) {
        throw Rejection("The " + std::to_string(ranges) + " storey ranges need " + std::to_string(rangeColumns) +
                        " worksheet columns, more than the " + std::to_string(kWorksheetColumns) +
                        " a worksheet holds; tick fewer levels.");
    }
    const int64_t scheduleColumns = columnScheduleColumns(ranges);
    if (scheduleColumns > kWorksheetColumns) {
        throw Rejection("The " + std::to_string(ranges) + " storey ranges need " + std::to_string(scheduleColumns) +
                        " columns on the column schedule worksheet, more than the " +
                        std::to_string(kWorksheetColumns) + " a worksheet holds; tick fewer levels.");
    }
}

void writeAreaSheets(const Model& model, const std::vector<ColumnLine>& lines, const LevelTicks& ticks,
                     Workbook& book) {
    const int32_t levels = model.levelCount();

    writeHeadings(book);
    int32_t rowNo = kHeadingRow;
    int32_t slNo = 0;

    // Storey-range captions, one per ticked level above the lowest: range k takes column 5 + 2(k + 1).
    const std::vector<StoreyRange> ranges = storeyRanges(model, ticks);
    const auto rangeColumn = [](size_t k) { return kColBeforeRanges + 2 * (static_cast<int32_t>(k) + 1); };
    for (size_t k = 0; k < ranges.size(); ++k) book.setCell(kSheetRanges, rowNo, rangeColumn(k), ranges[k].caption());
    const std::vector<size_t> rangeOf = rangeOfLevels(ranges, levels);

    for (size_t g = 0; g < lines.size(); ++g) {
        const ColumnLine& line = lines[g];
        ++rowNo;
        ++slNo;
        const std::string section = sectionText(line);

        book.setCell(kSheetPercent, rowNo, kColNode, line.node);
        book.setCell(kSheetPercent, rowNo, kColSlNo, slNo);
        const float largest = line.largestArea();
        book.setCell(kSheetPercent, rowNo, kColMaxArea, largest);
        // A circular section shows its diameter alone, as a number.
        if (line.section.b > 0) {
            book.setCell(kSheetPercent, rowNo, kColSize, section);
        } else {
            book.setCell(kSheetPercent, rowNo, kColSize, line.section.D);
        }
        const Section percentOver = percentSection(model, line);
        book.setCell(kSheetPercent, rowNo, kColPercent, steelPercentText(largest, percentOver.b, percentOver.D));
        for (const int sheet : {kSheetMembers, kSheetRanges}) {
            book.setCell(sheet, rowNo, kColNode, line.node);
            book.setCell(sheet, rowNo, kColSize, section);
            book.setCell(sheet, rowNo, kColSlNo, slNo);
            book.setCell(sheet, rowNo, kColMaxArea, largest);
        }

        for (size_t j = 0; j < line.columns.size(); ++j) {
            const LineColumn& column = line.columns[j];
            const int32_t at = kColBeforeAreas + 1 + static_cast<int32_t>(j);
            book.setCell(kSheetPercent, rowNo, at, column.area);
            // 950.5 (101)
            book.setCell(kSheetMembers, rowNo, at,
                         formatSingle(column.area) + " (" + std::to_string(column.member) + ")");
        }

        // Largest area per storey range; a range whose columns are missing or all failed stays empty.
        int32_t column = 0;
        float rangeMax = 0;
        for (const LineColumn& entry : line.columns) {
            const int32_t entryColumn = rangeColumn(rangeOf[static_cast<size_t>(entry.levelIndex)]);
            if (entryColumn != column) {
                if (rangeMax > 0) book.setCell(kSheetRanges, rowNo, column, rangeMax);
                column = entryColumn;
                rangeMax = 0;
            }
            if (rangeMax < entry.area) rangeMax = entry.area;
        }
        if (rangeMax > 0) book.setCell(kSheetRanges, rowNo, column, rangeMax);

        // One empty row between blocks of different section; serial numbers start again.
        if (g + 1 < lines.size() && !sameSection(line, lines[g + 1])) {
            ++rowNo;
            slNo = 0;
        }
    }
}

}  // namespace tierwise
