// Reading an analysis output file from disk.
#pragma once

#include <filesystem>

#include "model/model.h"
#include "reader/line_source.h"

namespace tierwise {

// Opens and reads the file; throws Rejection naming the file when it cannot be opened or read,
// and every rejection of the reader. By default the blocks are read ahead on a second thread
// where the machine has a second core.
Model readAnlFile(const std::filesystem::path& path, ReadAhead readAhead = readAheadForThisMachine());

}  // namespace tierwise
