// The reader's output compared between two readings of the same text.
#pragma once

#include <string>

#include "model/model.h"

namespace tierwise::support {

// The first difference between the tables of `a` and `b` (unit, joints, members, BETA list,
// column design entries and member sections bit for bit so that a NaN equals itself, where the
// file ended), as a sentence; empty when there is none.
std::string tableDifference(const Model& a, const Model& b);

}  // namespace tierwise::support
