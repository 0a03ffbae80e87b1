// The reading phases for the echoed input's data: the unit of length, the joint coordinates and
// the member incidences, one after another from the file's start.
#pragma once

#include "model/model.h"
#include "reader/read_cursor.h"

namespace tierwise {

//      1. STAAD SPACE OFFICE BLOCK C
// The job title, from the first echoed command when it is STAAD, into model.title (UTF-8; a title
// that is no UTF-8 is read as Latin-1). Stops at that command or at the first line holding UNIT,
// so that readUnit starts with the line in hand.
void readTitle(ReadCursor& cursor, Model& model);

//      6. UNIT METER KN
// The first UNIT command counts: a line whose first word after the echoed line number is UNIT.
// Sets model.unit; throws Rejection("Change the units to Meter Or mm ") for another unit.
void readUnit(ReadCursor& cursor, Model& model);

//      7. JOINT COORDINATES
//      8. 1 0 0 0; 2 6 0 0; 3 12 0 0
// Into model.joints, in whole centimetres.
void readJoints(ReadCursor& cursor, Model& model);

//     23. MEMBER INCIDENCES
//     24. 1 1 101; 2 2 102; 3 3 103; 4 4 104
// Into model.members. The line in hand afterwards is the one that ended the block.
void readMembers(ReadCursor& cursor, Model& model);

// Millimetres in one unit of length of the file.
double millimetresPer(LengthUnit unit);

}  // namespace tierwise
