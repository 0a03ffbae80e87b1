// The Windows side of file_safety.h. File names are UTF-8 made wide (native_file.h).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_safety.h"
#include "platform/native_file.h"

namespace tierwise {

namespace {

// A console control handler gets no context, so the flag it raises lives here. It only ever
// goes from clear to set while a hold lives, and is cleared when the outermost hold ends.
std::atomic<int> holds{0};
std::atomic<bool> interruptArrived{false};

BOOL WINAPI holdInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    interruptArrived = true;
    return TRUE;  // handled: the writer cleans up, then ends the process
}

}  // namespace

std::string syncFile(const std::filesystem::path& file) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::system_category().message(static_cast<int>(GetLastError()));
    std::string error;
    if (!FlushFileBuffers(handle)) error = std::system_category().message(static_cast<int>(GetLastError()));
    CloseHandle(handle);
    return error;
}

// NTFS journals a rename with the folder's other changes; a folder cannot be flushed on its own.
std::string syncFolder(const std::filesystem::path&) { return {}; }

int64_t streamPosition(std::FILE* stream) { return _ftelli64(stream); }

namespace {

std::string systemMessage(DWORD error) { return std::system_category().message(static_cast<int>(error)); }

bool isLocked(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

constexpr const char* kLocked =
    "another program has it open and locked (as Excel locks an open workbook); close it there and try again";

}  // namespace

// Windows has no folder of devices to refuse (a device name such as NUL is refused as a device);
// whether a file can be made there is learnt by making the temporary file.
std::string folderProblem(const std::filesystem::path& folder) {
    const std::filesystem::path named = folder.empty() ? std::filesystem::path(L".") : folder;
    const DWORD attributes = GetFileAttributesW(named.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? std::strerror(ENOENT)
                                                                              : systemMessage(error);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::strerror(ENOTDIR);
    return {};
}

std::string replaceProblem(const std::filesystem::path& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return "it is read-only; clear its read-only attribute or name another file";
    }
    // Replacing a file deletes its name; a program holding it open without sharing that refuses.
    HANDLE handle = CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return isLocked(error) ? kLocked : systemMessage(error);
    }
    CloseHandle(handle);
    return {};
}

std::string fileFailure(const std::error_code& error) {
    if (error.category() == std::generic_category()) return writeFailure(error.value());
    const auto code = static_cast<DWORD>(error.value());
    if (isLocked(code)) return kLocked;
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) return writeFailure(ENOSPC);
    return error.message();
}

// Windows has no held signals: Ctrl-C, Ctrl-Break and closing the console reach a handler,
// which notes them; the writer asks at safe points, and the last hold to end ends the process
// with the status a Ctrl-C gives.
struct InterruptHold::Saved {};

InterruptHold::InterruptHold() : saved_(std::make_unique<Saved>()) {
    if (holds++ == 0) SetConsoleCtrlHandler(holdInterrupt, TRUE);
}

InterruptHold::~InterruptHold() {
    if (--holds != 0) return;
    SetConsoleCtrlHandler(holdInterrupt, FALSE);
    if (interruptArrived.exchange(false)) {
        std::fflush(nullptr);
        ExitProcess(STATUS_CONTROL_C_EXIT);
    }
}

bool InterruptHold::interrupted() const { return interruptArrived; }

QuietStandardError::QuietStandardError() {
    std::fflush(stderr);
    saved_ = _dup(_fileno(stderr));
    const int nowhere = _open("NUL", _O_WRONLY);
    if (saved_ >= 0 && nowhere >= 0) _dup2(nowhere, _fileno(stderr));
    if (nowhere >= 0) _close(nowhere);
}

QuietStandardError::~QuietStandardError() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    _dup2(saved_, _fileno(stderr));
    _close(saved_);
}

}  // namespace tierwise
