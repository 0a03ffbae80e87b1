#include "platform/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "model/rejection.h"

namespace tierwise {

namespace {

// Removes the temporary file unless it has become the target.
class Temporary {
public:
    explicit Temporary(std::filesystem::path path) : path_(std::move(path)) {}
    ~Temporary() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::filesystem::path path_;
};

}  // namespace

void writeWholeFile(const std::filesystem::path& target, const std::function<void(std::ostream&)>& write) {
    const auto fail = [&](const std::string& reason) {
        throw Rejection("Cannot write " + target.string() + ": " + reason);
    };
    if (target.filename().empty()) fail("the name is not a file name");
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::filesystem::path name;
    for (int attempt = 0; attempt < 100 && name.empty(); ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
        const std::filesystem::path candidate =
            target.parent_path() / ("." + target.filename().string() + suffix + ".tmp");
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            name = candidate;
        } else if (errno != EEXIST) {
            fail(std::strerror(errno));
        }
    }
    if (name.empty()) fail("no free name for a temporary file in its folder");
    Temporary temporary(name);

    {
        std::vector<char> buffer(1 << 20);
        std::ofstream out;
        out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.open(temporary.path(), std::ios::binary | std::ios::trunc);
        if (!out) fail("cannot open its temporary file");
        try {
            write(out);
        } catch (const Rejection& e) {
            fail(e.what());
        }
        out.close();
        if (!out) fail("the disk refused the data (full?)");
    }
    std::error_code error;
    std::filesystem::rename(temporary.path(), target, error);
    if (error) fail(error.message());
    temporary.release();
}

}  // namespace tierwise
