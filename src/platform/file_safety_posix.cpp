// The POSIX side of file_safety.h.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/file_safety.h"
#include "platform/native_file.h"

namespace tierwise {

namespace {

// The signals an InterruptHold holds back.
constexpr int kHeldSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Folders where files stand for devices, processes and the kernel's settings: a file made there
// is not a schedule anyone can open, and may be taken for something of the system's.
constexpr std::string_view kSystemFolders[] = {"/dev", "/proc", "/sys"};

std::string syncPath(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    std::string error;
    if (::fsync(fd) != 0) error = std::strerror(errno);
    ::close(fd);
    return error;
}

}  // namespace

std::string syncFile(const std::filesystem::path& file) { return syncPath(file, O_RDONLY); }

std::string syncFolder(const std::filesystem::path& folder) {
    return syncPath(folder.empty() ? std::filesystem::path(".") : folder, O_RDONLY | O_DIRECTORY);
}

int64_t streamPosition(std::FILE* stream) { return ftello(stream); }

std::string folderProblem(const std::filesystem::path& folder) {
    const std::filesystem::path named = folder.empty() ? std::filesystem::path(".") : folder;
    struct stat status {};
    if (::stat(named.c_str(), &status) != 0) return std::strerror(errno);
    if (!S_ISDIR(status.st_mode)) return std::strerror(ENOTDIR);
    std::error_code ignored;
    const std::string real = std::filesystem::canonical(named, ignored).native();
    for (const std::string_view system : kSystemFolders) {
        if (real.starts_with(system) && (real.size() == system.size() || real[system.size()] == '/')) {
            return "its folder " + real + " holds the system's devices and processes, not files";
        }
    }
    if (::access(named.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
    return {};
}

std::string replaceProblem(const std::filesystem::path&) { return {}; }

std::string fileFailure(const std::error_code& error) {
    return error.category() == std::generic_category() ? writeFailure(error.value()) : error.message();
}

struct InterruptHold::Saved {
    sigset_t mask;
    struct sigaction fileSize;
    sigset_t heeded;  // the held signals the process does not ignore (nohup, a background job)
};

namespace {

bool isIgnored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

InterruptHold::InterruptHold() : saved_(std::make_unique<Saved>()) {
    sigset_t held;
    sigemptyset(&held);
    sigemptyset(&saved_->heeded);
    for (const int signal : kHeldSignals) {
        sigaddset(&held, signal);
        if (!isIgnored(signal)) sigaddset(&saved_->heeded, signal);
    }
    pthread_sigmask(SIG_BLOCK, &held, &saved_->mask);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &saved_->fileSize);
}

InterruptHold::~InterruptHold() {
    sigaction(SIGXFSZ, &saved_->fileSize, nullptr);
    // A held signal is delivered here, once the writer has cleaned up.
    pthread_sigmask(SIG_SETMASK, &saved_->mask, nullptr);
}

bool InterruptHold::interrupted() const {
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : kHeldSignals) {
        if (sigismember(&saved_->heeded, signal) == 1 && sigismember(&pending, signal) == 1) return true;
    }
    return false;
}

QuietStandardError::QuietStandardError() {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && nowhere >= 0) ::dup2(nowhere, STDERR_FILENO);
    if (nowhere >= 0) ::close(nowhere);
}

QuietStandardError::~QuietStandardError() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
}

}  // namespace tierwise
