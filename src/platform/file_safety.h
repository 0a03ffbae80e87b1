// What writing a file safely asks of the operating system: a fresh temporary file beside the
// target, flushing to the disk, holding back interrupts, quieting a library's own messages.
// What differs by system is in file_safety_posix.cpp and file_safety_windows.cpp, the rest in
// file_safety.cpp; the rest of Tierwise stays portable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace tierwise {

// Creates an empty file of a fresh name beside `target`, named after it but short enough for
// any target name the folder allows, with the permissions a new file gets. Returns its path,
// or an empty path with the reason in `error`.
std::filesystem::path createTemporaryBeside(const std::filesystem::path& target, std::string& error);

// Flushes a finished file, or a folder after a file in it was renamed, to the disk, so that
// a power loss leaves the old file or the new one. Empty on success, else the reason.
std::string syncFile(const std::filesystem::path& file);
std::string syncFolder(const std::filesystem::path& folder);

// The reason for a failed write (an errno value) as a user reads it: "the disk is full", ...
std::string writeFailure(int error);
// Whether a failed write ran out of room: a full disk, a used-up quota, a file-size limit.
bool isOutOfRoom(int error);

// Why no file can be made in `folder`: missing, not a folder, one of the system's folders of devices
// and processes (/dev, /proc, /sys), or (POSIX) without write permission. Empty when it can.
std::string folderProblem(const std::filesystem::path& folder);
// Why the existing file `file` cannot be replaced (Windows: read-only, or held open and locked by
// another program, as Excel holds an open workbook). Empty when it can, and always on POSIX,
// where replacing a file asks only its folder.
std::string replaceProblem(const std::filesystem::path& file);
// A failed rename or removal as a user reads it; on Windows a locked file is named as such.
std::string fileFailure(const std::error_code& error);

// The position of a stream, the size of what it wrote; -1 when unknown.
int64_t streamPosition(std::FILE* stream);

// While one lives, an interrupt (Ctrl-C), a termination request, a hang-up or a quit (POSIX:
// SIGINT, SIGTERM, SIGHUP, SIGQUIT; Windows: Ctrl-C, Ctrl-Break, closing the console) waits: the writer asks
// interrupted() at safe points, cleans up and unwinds, and the held signal then ends the
// process as it would have. A write past the file-size limit fails with an error instead of
// ending the process, so that it is reported and cleaned up like a full disk.
class InterruptHold {
public:
    InterruptHold();
    ~InterruptHold();
    InterruptHold(const InterruptHold&) = delete;
    InterruptHold& operator=(const InterruptHold&) = delete;

    [[nodiscard]] bool interrupted() const;

private:
    struct Saved;  // the system's signal state before
    std::unique_ptr<Saved> saved_;
};

// While one lives, whatever is written to standard error goes nowhere: for a library that
// prints its own "[ERROR]" lines about a failure that Tierwise reports in its own words.
class QuietStandardError {
public:
    QuietStandardError();
    ~QuietStandardError();
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

}  // namespace tierwise
