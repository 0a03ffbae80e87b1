// Files in tests: a whole file as bytes.
#pragma once

#include <filesystem>
#include <string>

namespace tierwise::support {

// The file's bytes; empty when it cannot be read.
std::string readText(const std::filesystem::path& path);

}  // namespace tierwise::support
