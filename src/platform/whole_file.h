// Writing a file that appears complete or not at all.
#pragma once

#include <filesystem>
#include <string_view>

namespace tierwise {

// Writes `bytes` to a temporary file beside `target` and renames it over the target once it is
// complete; on any failure the temporary file is removed, the target is left as it was, and
// Rejection says "Cannot write <target>: <reason>".
void writeWholeFile(const std::filesystem::path& target, std::string_view bytes);

}  // namespace tierwise
