#include "support/files.h"

#include <fstream>
#include <sstream>

namespace tierwise::support {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace tierwise::support
