#include "platform/native_file.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tierwise {

#ifdef _WIN32

namespace {

std::wstring wide(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::wstring result(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), static_cast<int>(result.size()));
    return result;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::string result(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), static_cast<int>(result.size()), nullptr,
                        nullptr);
    return result;
}

}  // namespace

std::filesystem::path pathFromUtf8(std::string_view name) { return std::filesystem::path(wide(name)); }

std::string utf8Name(const std::filesystem::path& path) { return narrow(path.native()); }

FileHandle openFile(const std::filesystem::path& path, const char* mode) {
    return FileHandle(_wfopen(path.c_str(), wide(mode).c_str()));
}

bool createNewFile(const std::filesystem::path& path, std::error_code& error) {
    const int fd =
        _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        error.assign(errno, std::generic_category());
        return false;
    }
    _close(fd);
    error.clear();
    return true;
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error.clear();
        return;
    }
    const DWORD failure = GetLastError();
    // Windows says "Access is denied" for a folder in the way; say what Linux says.
    std::error_code ignored;
    if (std::filesystem::is_directory(to, ignored)) {
        error = std::make_error_code(std::errc::is_a_directory);
    } else {
        error.assign(static_cast<int>(failure), std::system_category());
    }
}

// ReplaceFileW moves the earlier file to the backup name and the new one into place, keeping the
// earlier file's attributes and access rights.
bool replaceKeepingBackup(const std::filesystem::path& from, const std::filesystem::path& to,
                          const std::filesystem::path& backup, std::error_code& error) {
    if (GetFileAttributesW(to.c_str()) == INVALID_FILE_ATTRIBUTES) {
        replaceFile(from, to, error);
        return false;
    }
    if (ReplaceFileW(to.c_str(), from.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        error.clear();
        return true;
    }
    const DWORD failure = GetLastError();
    // The earlier file already has the backup name and the new one could not take its place.
    if (failure == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveFileExW(backup.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    error.assign(static_cast<int>(failure), std::system_category());
    return false;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wideArgs == nullptr || count != argc) {
        if (wideArgs != nullptr) LocalFree(wideArgs);
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(narrow(wideArgs[i]));
    LocalFree(wideArgs);
    return arguments;
}

#else

std::filesystem::path pathFromUtf8(std::string_view name) { return std::filesystem::path(name); }

std::string utf8Name(const std::filesystem::path& path) { return path.native(); }

FileHandle openFile(const std::filesystem::path& path, const char* mode) {
    return FileHandle(std::fopen(path.c_str(), mode));
}

bool createNewFile(const std::filesystem::path& path, std::error_code& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error.assign(errno, std::generic_category());
        return false;
    }
    ::close(fd);
    error.clear();
    return true;
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
    std::filesystem::rename(from, to, error);
}

// A second name for the earlier file keeps it while the new one takes its name, so that the name
// never stands empty; where the file system has no hard links, a copy.
bool replaceKeepingBackup(const std::filesystem::path& from, const std::filesystem::path& to,
                          const std::filesystem::path& backup, std::error_code& error) {
    struct stat earlier {};
    const bool kept = ::lstat(to.c_str(), &earlier) == 0;
    if (kept && ::link(to.c_str(), backup.c_str()) != 0) {
        std::filesystem::copy_file(to, backup, error);
        if (error) return false;
    }
    std::filesystem::rename(from, to, error);
    if (!error) return kept;
    std::error_code ignored;
    if (kept) std::filesystem::remove(backup, ignored);
    return false;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

#endif

}  // namespace tierwise
