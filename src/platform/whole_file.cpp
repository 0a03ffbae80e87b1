#include "platform/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "model/rejection.h"

namespace tierwise {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    // Closing reports the last write's failure on some file systems.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace

void writeWholeFile(const std::filesystem::path& target, std::string_view bytes) {
    const auto fail = [&](const std::string& reason) {
        throw Rejection("Cannot write " + target.string() + ": " + reason);
    };
    if (target.filename().empty()) fail("the name is not a file name");
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
        temporary = target.parent_path() / ("." + target.filename().string() + suffix + ".tmp");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) fail(std::strerror(errno));
    }
    if (fd < 0) fail("no free name for a temporary file in its folder");

    Descriptor file(fd);
    std::string error;
    size_t written = 0;
    while (written < bytes.size() && error.empty()) {
        const ssize_t n = ::write(file.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = std::strerror(errno);
        else written += static_cast<size_t>(n);
    }
    if (error.empty() && !file.close()) error = std::strerror(errno);
    std::error_code renameError;
    if (error.empty()) {
        std::filesystem::rename(temporary, target, renameError);
        if (renameError) error = renameError.message();
    }
    if (!error.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        fail(error);
    }
}

}  // namespace tierwise
