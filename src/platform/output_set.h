// Every file one run writes (the workbook, the drawings), replaced together or not at all.
//
// Every target is registered and checked first: a file name, not a folder, device or pipe, in a
// folder that exists and takes new files, and no two naming the same file (after symbolic links,
// also the files the run reads). Each output is then written to a temporary file beside the file
// it replaces, read back and flushed to the disk. Only when all are complete does commit() put
// them in place, each earlier file kept aside until every one is in place and put back when one
// fails. Interrupts (file_safety.h) are held from the first temporary file to the set's end: one
// that comes before commit() ends the run with every earlier file as it was, one during commit()
// once every file is in place. Nothing is left behind: no temporary file, no kept earlier file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_safety.h"

namespace tierwise {

// What an output's bytes are checked for as they are read back from the disk, a block at a time.
class ReadBackCheck {
public:
    virtual ~ReadBackCheck() = default;
    virtual void take(std::string_view bytes) = 0;
    // What is wrong with all the bytes taken, for a message; empty when nothing is.
    [[nodiscard]] virtual std::string problem() const = 0;
};

class OutputSet {
public:
    OutputSet();
    ~OutputSet();
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    // A file the run reads, which no output may name: `what` says what it is in a message
    // ("the analysis file office.anl").
    void keep(const std::filesystem::path& file, std::string what);

    // Registers and checks a target; `what` names the output in messages ("workbook", "drawing").
    // Returns the output's number. Throws Rejection "Cannot write <target>: <reason>".
    size_t add(const std::filesystem::path& target, std::string what);

    // The output's temporary file, made here beside the file it replaces; from here on interrupts
    // are held. For a writer that opens the file by name; it then calls finish().
    const std::filesystem::path& start(size_t output);

    // start(), then `write` on a stream to the temporary file, then the file read back (every byte
    // as written, and `check` when given) and finish(). A Rejection from `write`, a failed write
    // and an interrupt throw Rejection naming the target; a full disk is named as full.
    void write(size_t output, const std::function<void(std::ostream&)>& write, ReadBackCheck* check = nullptr);

    // The temporary file is complete (its writer has read it back): it gets the permissions of the
    // file it replaces and is flushed to the disk.
    void finish(size_t output);

    // Every output finished: each temporary file takes its target's place. Throws Rejection when
    // one cannot; the earlier files are then put back, or the message names the files that are new.
    void commit();

    [[nodiscard]] bool interrupted() const;
    [[nodiscard]] const std::filesystem::path& target(size_t output) const;
    [[noreturn]] void fail(size_t output, const std::string& reason) const;

private:
    struct Output {
        std::filesystem::path target;  // as named, for messages
        std::filesystem::path file;    // the file replaced: the target, its links followed
        std::string what;
        std::filesystem::path temporary;
        std::filesystem::path backup;  // the earlier file, kept while commit() runs
        bool finished = false;
    };
    struct Kept {
        std::filesystem::path file;
        std::string what;
    };

    [[noreturn]] void undo(size_t failed, const std::string& reason);
    void readBack(size_t output, uint64_t size, uint32_t crc, ReadBackCheck* check);

    std::vector<Kept> kept_;
    std::vector<Output> outputs_;
    // Engaged by the first temporary file and ended last, once everything is cleaned up, so that a
    // held interrupt ends the process only then.
    std::optional<InterruptHold> hold_;
};

// The file a path names once symbolic links are followed (the last link's target need not
// exist yet); the path itself when it is no link. Throws Rejection for a loop of links.
std::filesystem::path followLinks(const std::filesystem::path& path);

}  // namespace tierwise
