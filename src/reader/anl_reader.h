// readAnl: the one pass over an analysis output file (*.ANL) that fills the model's joint,
// member, BETA, member section and column design tables. The file on disk is read by readAnlFile
// (src/platform/anl_file.h), which calls this.
//
// The file is read in phases, one after another, each for one kind of block and with its state of
// its own (echoed_input.h, member_lists.h, design_blocks.h), all moving one ReadCursor
// (read_cursor.h) through the file; then the tables are completed (BETA 90 sections exchanged,
// members turned to run upwards).
#pragma once

#include <string>

#include "model/model.h"
#include "reader/line_source.h"

namespace tierwise {

// Reads the whole file from `lines`; `fileName` names it in messages.
// Throws Rejection for a file the schedule cannot be made from:
//   "Change the units to Meter Or mm "   (the first UNIT command names neither METER nor MMS)
//   " Failed Columns  12 15"              (columns whose required steel area is 0)
// and, naming the file, for a missing UNIT, JOINT COORDINATES or MEMBER INCIDENCES line,
// a number too large for its field, a list of more members than any model has, or a line too
// long for a printed report.
// A damaged joint or member line (a word, a NUL byte or a record of the wrong count among the
// numbers) is refused naming the line. A file cut off after its echoed input is read as far as
// it goes and marked (Model::cutOffLine): whether to go on is the caller's decision.
Model readAnl(LineSource& lines, const std::string& fileName);

// The one-line message for a model read from a cut-off file, naming `fileName`; empty for a
// complete file.
std::string cutOffMessage(const Model& model, const std::string& fileName);

}  // namespace tierwise
