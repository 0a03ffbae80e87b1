// Files by name on Linux and on Windows. The program holds file names as UTF-8 text; on Windows
// they are opened by their UTF-16 names, since the narrow calls there take the ANSI code page and
// cannot name "Jürgen Ωμέγα\Bürohaus.anl" under most of them. On Linux names are bytes, used as
// they are.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tierwise {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The path named by UTF-8 text, as typed on the command line.
std::filesystem::path pathFromUtf8(std::string_view name);

// The path as UTF-8 text, for messages and for libraries that take UTF-8 file names.
std::string utf8Name(const std::filesystem::path& path);

// At most `bytes` bytes of the UTF-8 text `name`, not ending inside a character.
inline std::string utf8Prefix(const std::string& name, size_t bytes) {
    if (name.size() <= bytes) return name;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

// std::fopen by the path's own name; null with errno set when it fails.
FileHandle openFile(const std::filesystem::path& path, const char* mode);

// Creates an empty file that did not exist before: false with `error` set when it cannot,
// std::errc::file_exists when something of that name is there already.
bool createNewFile(const std::filesystem::path& path, std::error_code& error);

// Moves `from` over `to`, replacing a file of that name in one step.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error);

// The same, keeping the file `to` was (when there was one) under the unused name `backup` beside
// it, so that it can be put back with replaceFile(backup, to). True when a file was kept; on
// failure nothing has changed and no backup is left.
bool replaceKeepingBackup(const std::filesystem::path& from, const std::filesystem::path& to,
                          const std::filesystem::path& backup, std::error_code& error);

// The program's arguments as UTF-8, argv[0] included. On Windows they are read from the wide
// command line: argv there is in the ANSI code page, with "?" for what that cannot hold.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace tierwise
