// Writing a file that appears complete or not at all.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

namespace tierwise {

// Calls `write` with a stream on a new temporary file beside `target` and renames the file over
// the target once it is complete; when `write` throws or anything fails, the temporary file is
// removed, the target is left as it was, and Rejection says "Cannot write <target>: <reason>".
void writeWholeFile(const std::filesystem::path& target, const std::function<void(std::ostream&)>& write);

}  // namespace tierwise
