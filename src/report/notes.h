// The schedule's notes: one list, written below worksheet 4's table and as the notes block of the
// schedule drawing, so that both say the same. A new note is one more entry in scheduleNotes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/model.h"
#include "report/anchorage.h"
#include "report/detailing.h"
#include "report/grouping.h"

namespace tierwise {

// What a schedule made from a cut-off analysis file says of itself (notes, title block, the
// workbook's document properties).
inline constexpr const char* kIncompleteFileText = "from an incomplete analysis file";

// The rules a schedule was detailed by, for worksheet 4's heading, the notes and the drawing's
// title block: "IS 456:2000" or "IS 456:2000 and IS 13920:2016".
std::string rulesText(const DetailOptions& options);

// Whether `model` was read from a file that looks cut off, its schedule made all the same.
bool fromIncompleteFile(const Model& model);

// The grades of one design block: "M25, Fe415 (main), Fe415 (ties)"; "grades not printed".
std::string gradesText(const DesignBlock& block);

// The distinct grades of all of the model's design blocks, in file order, joined by "; ".
std::string modelGradesText(const Model& model);

// The lap lengths of every bar diameter the schedule uses (IS 456 cl. 26.2.1 and 26.2.5.1), for
// the grades that give the longest laps; each length up to the next 5 mm. No lengths for a bar
// that is not lapped (over 36 mm).
struct LapRow {
    int diameter = 0;
    std::optional<int> tension, compression;
};
struct LapTable {
    Grades grades;
    std::vector<LapRow> rows;  // by diameter, ascending
};
LapTable lapTable(const Model& model, const ColumnDetailing& detailing);

// Where the lap lengths stand: in the note itself (worksheet 4), or in a table that the note
// points to (the drawing, which draws lapTable beside its notes).
enum class LapNote { Inline, BesideAsTable };
inline constexpr const char* kLapTableTitle = "LAP LENGTHS";  // the drawing adds the unit: "LAP LENGTHS (mm)"

// The notes of `detailing`, made by detailColumns from `lines` of `model`: the rules used, the
// grades (one line when the columns share one, else per storey range), the covers used, what each
// flag the cells carry means, the note on bars where a line's section changes, and that the file
// was incomplete.
std::vector<std::string> scheduleNotes(const Model& model, const std::vector<ColumnLine>& lines,
                                       const ColumnDetailing& detailing, LapNote lapNote = LapNote::Inline);

}  // namespace tierwise
