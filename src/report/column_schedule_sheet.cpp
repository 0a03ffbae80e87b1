#include "report/column_schedule_sheet.h"

#include "report/notes.h"

namespace tierwise {

namespace {

constexpr int kColMark = 1;
constexpr int kColGrid = 2;
constexpr int kColLines = 3;
constexpr int kColBeforeRanges = 3;  // range k (0-based) takes columns 4 + 3k to 6 + 3k
constexpr int kColumnsPerRange = 3;
constexpr int kCaptionRow = 1;
constexpr int kHeadingRow = 2;
constexpr int kFirstMarkRow = 3;

int rangeColumn(size_t range) { return kColBeforeRanges + 1 + kColumnsPerRange * static_cast<int>(range); }

void setText(Workbook& book, int row, int column, const std::string& text) {
    if (!text.empty()) book.setCell(kSheetColumnSchedule, row, column, text);
}

}  // namespace

int64_t columnScheduleColumns(int64_t ranges) { return kColBeforeRanges + kColumnsPerRange * ranges; }

int64_t columnScheduleRows(int64_t marks) { return kFirstMarkRow - 1 + marks; }

std::string joinedRefs(const std::vector<std::string>& refs, size_t limit) {
    std::string text;
    for (size_t i = 0; i < refs.size(); ++i) {
        if (i > 0) text += ", ";
        text += refs[i];
    }
    if (text.size() <= limit) return text;
    // Too long: as many as fit with room for the count of the rest.
    const auto more = [&](size_t left) { return "… (" + std::to_string(left) + " more)"; };
    text.clear();
    for (size_t i = 0; i < refs.size(); ++i) {
        const size_t separator = i == 0 ? 0 : 2;
        if (text.size() + separator + refs[i].size() + 2 + more(refs.size() - i - 1).size() > limit) {
            return text + (i == 0 ? "" : ", ") + more(refs.size() - i);
        }
        text += (i == 0 ? "" : ", ") + refs[i];
    }
    return text;
}

std::string cellBarsText(const RangeDetail& detail) {
    if (detail.undesignedText.empty()) return detail.barsText;
    return detail.barsText + "; " + detail.undesignedText;
}

void writeColumnScheduleNotes(size_t marks, const std::vector<std::string>& notes, Workbook& book) {
    int row = static_cast<int>(columnScheduleRows(static_cast<int64_t>(marks))) + 2;
    if (!notes.empty()) book.setNote(kSheetColumnSchedule, row++, "Notes");
    for (size_t i = 0; i < notes.size(); ++i)
        book.setNote(kSheetColumnSchedule, row++, std::to_string(i + 1) + ". " + notes[i]);
}

void writeColumnScheduleSheet(const ColumnDetailing& schedule, Workbook& book) {
    book.nameSheet(kSheetColumnSchedule, kColumnScheduleName);
    book.setHeadingRows(kSheetColumnSchedule, kHeadingRow);
    // Printed across pages, every page names its marks, and no page splits a storey range.
    book.setPrintSetup(kSheetColumnSchedule, PrintSetup{kColGrid, rangeColumn(0), kColumnsPerRange});

    setText(book, kCaptionRow, kColMark, "Mark");
    setText(book, kCaptionRow, kColGrid, "Grid");
    setText(book, kCaptionRow, kColLines, "Lines");
    for (size_t k = 0; k < schedule.ranges.size(); ++k)
        setText(book, kCaptionRow, rangeColumn(k), schedule.ranges[k].caption());
    // Under Mark: the rules the cells were detailed by, in full (its column as wide as the text).
    setText(book, kHeadingRow, kColMark, rulesText(schedule.options));
    for (size_t k = 0; k < schedule.ranges.size(); ++k) {
        setText(book, kHeadingRow, rangeColumn(k), "Size");
        setText(book, kHeadingRow, rangeColumn(k) + 1, "Bars");
        setText(book, kHeadingRow, rangeColumn(k) + 2, "Ties");
    }

    int row = kFirstMarkRow;
    for (const ColumnMark& mark : schedule.marks) {
        setText(book, row, kColMark, mark.mark);
        setText(book, row, kColGrid, joinedRefs(mark.gridRefs));
        book.setCell(kSheetColumnSchedule, row, kColLines, static_cast<int32_t>(mark.lines.size()));
        for (size_t k = 0; k < mark.ranges.size(); ++k) {
            const RangeDetail& range = schedule.cell(mark, k);
            setText(book, row, rangeColumn(k), range.sizeText);
            setText(book, row, rangeColumn(k) + 1, cellBarsText(range));
            setText(book, row, rangeColumn(k) + 2, range.tiesText);
        }
        ++row;
    }
}

}  // namespace tierwise
