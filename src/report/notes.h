// The schedule's notes: one list, written below worksheet 4's table and as the notes block of the
// schedule drawing, so that both say the same. A new note is one more entry in scheduleNotes.
#pragma once

#include <string>
#include <vector>

#include "model/model.h"
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

// The notes of `detailing`, made by detailColumns from `lines` of `model`: the rules used, the
// grades (one line when the columns share one, else per storey range), the covers used, what each
// flag the cells carry means, the note on bars where a line's section changes, and that the file
// was incomplete.
std::vector<std::string> scheduleNotes(const Model& model, const std::vector<ColumnLine>& lines,
                                       const ColumnDetailing& detailing);

}  // namespace tierwise
