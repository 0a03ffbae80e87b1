// readAnl: the one pass over an analysis output file (*.ANL) that fills the model's joint,
// member, BETA and column design tables.
#pragma once

#include <string>

#include "model/model.h"
#include "reader/line_source.h"

namespace tierwise {

// The name readAnl ("read the analysis file") is kept from the program Tierwise replaces; the
// file on disk is read by readAnlFile (src/platform/anl_file.h), which calls this.
// Reads the whole file from `lines`; `fileName` names it in messages.
// Throws Rejection for a file the schedule cannot be made from:
//   "Change the units to Meter Or mm "   (the first UNIT command names neither METER nor MMS)
//   " Failed Columns  12 15"              (columns whose required steel area is 0)
// and, naming the file, for a missing UNIT, JOINT COORDINATES or MEMBER INCIDENCES line,
// a number too large for its field, or a line too long for a printed report.
// A damaged joint or member line (a word, a NUL byte or a record of the wrong count among the
// numbers) is refused naming the line. A file cut off after its echoed input is read as far as
// it goes and marked (Model::cutOffLine): whether to go on is the caller's decision.
Model readAnl(LineSource& lines, const std::string& fileName);

// The one-line message for a model read from a cut-off file, naming `fileName`; empty for a
// complete file.
std::string cutOffMessage(const Model& model, const std::string& fileName);

}  // namespace tierwise
