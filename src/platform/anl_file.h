// Reading an analysis output file from disk.
#pragma once

#include <filesystem>

#include "model/model.h"

namespace tierwise {

// Opens and reads the file; throws Rejection naming the file when it cannot be opened or read,
// and every rejection of the reader.
Model readAnlFile(const std::filesystem::path& path);

}  // namespace tierwise
