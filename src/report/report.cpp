#include "report/report.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "model/numbers.h"
#include "model/rejection.h"
#include "report/column_schedule_sheet.h"
#include "report/detailing.h"
#include "report/fitted_columns.h"

namespace tierwise {

namespace {

// The three worksheets.
constexpr int kSheetPercent = 1;  // steel percentage, then the area of every column
constexpr int kSheetMembers = 2;  // area of every column with its member number
constexpr int kSheetRanges = 3;   // largest area per storey range
constexpr int kSheetCount = 3;

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

std::string memberText(const ColEntry& entry) { return formatSingle(entry.memberNo); }

int32_t roundedMember(const ColEntry& entry) {
    const std::optional<int32_t> number = roundToInt32(entry.memberNo);
    if (!number) {
        throw Rejection("A column design block names member " + memberText(entry) +
                        ", which is not a member number Tierwise can hold.");
    }
    return *number;
}

int32_t roundedDimension(const ColEntry& entry, float value) {
    const std::optional<int32_t> rounded = roundToInt32(value);
    if (!rounded) {
        throw Rejection("Column " + memberText(entry) + ": the cross-section " + formatSingle(entry.width) + " X " +
                        formatSingle(entry.depth) + " is too large to schedule.");
    }
    return *rounded;
}

float steelArea(const ColEntry& entry) {
    if (!std::isfinite(entry.steelArea)) {
        throw Rejection("Column " + memberText(entry) + ": the required steel area " + formatSingle(entry.steelArea) +
                        " cannot be scheduled.");
    }
    return entry.steelArea;
}

// Starts a line at its lowest collected column.
ColGroup openGroup(const PlanLine& line, int32_t col, const ColEntry& entry) {
    ColGroup group;
    group.xIndex = line.xIndex;
    group.zIndex = line.zIndex;
    group.firstCol = col;
    group.node = line.points.front().levelIndex == 1 ? line.points.front().joint : 0;
    const bool widthSmaller = entry.width < entry.depth;
    group.dimMin = roundedDimension(entry, widthSmaller ? entry.width : entry.depth);
    group.dimMax = roundedDimension(entry, widthSmaller ? entry.depth : entry.width);
    return group;
}

// Largest area and its member; the lowest of several equal largest areas wins, and a line whose
// areas are all 0 keeps 0 in both.
void findLargest(ColGroup& group) {
    for (int32_t i = 1; i <= group.nCols; ++i) {
        if (group.area[0] < group.area[i]) {
            group.area[0] = group.area[i];
            group.memb[0] = group.memb[i];
        }
    }
}

int32_t rangeCount(const LevelTicks& ticks, int32_t levelCount) {
    int32_t count = 0;
    for (int32_t i = 2; i <= levelCount; ++i) count += levelTicked(ticks, i, levelCount) ? 1 : 0;
    return count;
}

bool sameSection(const ColGroup& a, const ColGroup& b) { return a.dimMin == b.dimMin && a.dimMax == b.dimMax; }

std::string sectionText(const ColGroup& group) {
    return std::to_string(group.dimMin) + " X " + std::to_string(group.dimMax);
}

// A level as its caption shows it: metres in general format (350 cm gives 3.5).
std::string levelText(const Model& model, int32_t levelIndex) {
    return formatDouble(model.gridY[static_cast<size_t>(levelIndex - 1)] / 100.0);
}

void check(const Model& model, const std::vector<ColGroup>& groups, const LevelTicks& ticks) {
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
        throw Rejection("A column line of " + std::to_string(widest) + " columns needs " +
                        std::to_string(areaColumns) + " worksheet columns, more than the " +
                        std::to_string(kMaxColumns) + " a worksheet holds.");
    }
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

void writeHeadings(Workbook& book) {
    for (int sheet = 1; sheet <= kSheetCount; ++sheet) {
        book.setHeadingRows(sheet, kHeadingRow);
        book.setCell(sheet, kHeadingRow, kColNode, std::string(" Node "));
        book.setCell(sheet, kHeadingRow, kColSize, std::string(" Size "));
        book.setCell(sheet, kHeadingRow, kColSlNo, std::string("Sl No."));
        book.setCell(sheet, kHeadingRow, kColMaxArea, std::string(" Max Area"));
    }
}

void writeSheets(const Model& model, const LevelTicks& ticks, const std::vector<ColGroup>& groups, Workbook& book);

}  // namespace

bool levelTicked(const LevelTicks& ticks, int32_t levelIndex, int32_t levelCount) {
    if (levelIndex == 1 || levelIndex == levelCount) return true;
    const auto at = static_cast<size_t>(levelIndex - 1);
    return at >= ticks.size() || ticks[at];
}

float ColGroup::levelAreaAt(int32_t levelIndex) const {
    const auto at = std::lower_bound(levelArea.begin(), levelArea.end(), levelIndex,
                                     [](const LevelArea& entry, int32_t level) { return entry.levelIndex < level; });
    return at != levelArea.end() && at->levelIndex == levelIndex ? at->area : 0.0f;
}

std::vector<ColGroup> groupColumns(const Model& model) {
    std::vector<ColGroup> groups;
    for (const PlanLine& line : model.cube) {
        std::optional<ColGroup> group;
        for (const CubePoint& point : line.points) {
            if (point.col <= 0) continue;
            const ColEntry& entry = model.colTab[static_cast<size_t>(point.col - 1)];
            // A column without a width is left out; the levels above it still count.
            if (!(entry.width > 0.0f)) continue;
            if (!group) group = openGroup(line, point.col, entry);
            const float area = steelArea(entry);
            group->memb.push_back(roundedMember(entry));
            group->area.push_back(area);
            group->levelArea.push_back({point.levelIndex, area, point.col});
            ++group->nCols;
        }
        if (group) {
            findLargest(*group);
            groups.push_back(std::move(*group));
        }
    }
    std::stable_sort(groups.begin(), groups.end(), [](const ColGroup& a, const ColGroup& b) {
        return std::tie(a.dimMin, a.dimMax, a.area[0]) < std::tie(b.dimMin, b.dimMax, b.area[0]);
    });
    return groups;
}

std::string steelPercentText(float maxArea, int32_t dimMin, int32_t dimMax) {
    // Single precision, left to right; a circle's gross area takes pi as 22/7.
    const auto small = static_cast<float>(dimMin);
    const auto large = static_cast<float>(dimMax);
    const float percent = dimMin > 0 ? maxArea / small / large * 100.0f
                                     : maxArea / 22.0f / large / large * 28.0f * 100.0f;
    return formatDouble(roundTo2Decimals(percent)) + " %";
}

void checkReportable(const Model& model) { checkReportable(model, LevelTicks{}); }

void checkReportable(const Model& model, const LevelTicks& ticks) { check(model, groupColumns(model), ticks); }

void writeReport(const Model& model, const LevelTicks& ticks, Workbook& book) {
    writeReport(model, ticks, DetailOptions{}, book);
}

void writeReport(const Model& model, const LevelTicks& ticks, const DetailOptions& options, Workbook& book) {
    const std::vector<ColGroup> groups = groupColumns(model);
    check(model, groups, ticks);
    const DetailedSchedule detailed = detailSchedule(model, groups, ticks, options);
    if (int64_t{2} + static_cast<int64_t>(detailed.marks.size()) > kMaxRows) {
        throw Rejection("The column schedule needs " + std::to_string(detailed.marks.size() + 2) +
                        " rows, more than the " + std::to_string(kMaxRows) + " a worksheet holds.");
    }
    FittedColumns fitted(book);
    writeSheets(model, ticks, groups, fitted);
    writeColumnSchedule(detailed, fitted);
    fitted.finish();
}

namespace {

void writeSheets(const Model& model, const LevelTicks& ticks, const std::vector<ColGroup>& groups, Workbook& book) {
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
            if (!levelTicked(ticks, i, levels)) continue;
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

}  // namespace

}  // namespace tierwise
