// A short account of what was read from an analysis file, for the command line.
#pragma once

#include <string>

#include "model/model.h"

namespace tierwise {

// The unit, the table counts and the distinct levels in metres, one item a line.
std::string modelSummary(const Model& model);

}  // namespace tierwise
