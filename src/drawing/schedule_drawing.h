// The two sheets issued to site: the column schedule (one column per mark, one row per storey
// range, each cell the section to scale) and the column layout plan (the named grid lines with
// their dimensions, and every column position's outline as it stands, with its mark).
#pragma once

#include <string>
#include <vector>

#include "drawing/drawing.h"
#include "model/model.h"
#include "report/detailing.h"
#include "report/grouping.h"
#include "report/notes.h"

namespace tierwise {

// What the title blocks say besides the drawing's own scale.
// What the engineer writes into the title blocks (tierwise-batch --project, --drawing-number, ...);
// a field left empty keeps its label, to be written by hand.
struct TitleFields {
    std::string project, drawingNumber, revision, drawnBy, checkedBy, approvedBy;
};

struct DrawingInfo {
    std::string modelName;                 // the analysis file's name, "office-block.anl"
    std::string date;                      // "2026-12-08"
    double cover = DetailOptions{}.cover;  // mm, as detailed
    std::vector<std::string> notes{};      // the schedule's notes (report/notes.h), on every schedule sheet
    LapTable laps{};                       // drawn beside the notes when it has rows
    bool incomplete = false;               // made from a cut-off analysis file: the title blocks say so
    TitleFields fields{};
    int cadScale = 1;  // the DXF's model space is drawn at 1:n (Drawing::cadScale, the layout plan's scale)
};

// A column position on plan, in model millimetres (X to the right, Z down the sheet), with its
// outline as it stands (see ColumnPosition) and its mark; no mark for a column without design
// results, which is drawn hollow. An outline of 0 is drawn as a small symbol.
struct PlanColumn {
    double x = 0;
    double z = 0;
    std::string mark;
    double alongX = 0;
    double alongZ = 0;
    bool circular = false;
};

// Every column position of the model (designed or not) with its outline, and the mark of the
// column line standing there. `groups` are the column lines in the order the marks index them.
std::vector<PlanColumn> planColumns(const ColumnDetailing& schedule, const Model& model,
                                    const std::vector<ColumnLine>& groups);

// The sections' common scale: the largest 1:n of 1:5, 1:10, 1:15, 1:20, ... at which the largest
// section drawn measures at most 50 mm on paper. Returns n.
int sectionScale(const ColumnDetailing& schedule);

// The schedule table on the smallest ISO A sheet that holds it; a table larger than A0 goes on
// as many sheets as A0 would need, across the marks first, each with the headings and levels: the
// marks and the rows shared out evenly, every sheet on the one paper that holds the largest part.
std::vector<Sheet> scheduleSheets(const ColumnDetailing& schedule, const DrawingInfo& info);

// The column layout plan with its legend of marks at one of the usual plan scales, on the smallest
// sheet, then the finest scale, that holds it while neighbouring marks stay apart. A plan larger
// than A0 at that scale goes on several A0 sheets, cut midway between grid lines, with match lines
// and a key plan. Every sheet's planScale is the scale drawn.
std::vector<Sheet> layoutPlanSheets(const ColumnDetailing& schedule, const std::vector<PlanColumn>& columns,
                                    const DrawingInfo& info);

// The schedule's sheets with its notes (scheduleNotes) and, for a cut-off file, that mark in the
// title blocks, then the layout plan's sheets; the DXF drawn at the plan's scale.
Drawing scheduleDrawing(const ColumnDetailing& schedule, const Model& model, const std::vector<ColumnLine>& groups,
                        const DrawingInfo& info);

}  // namespace tierwise
