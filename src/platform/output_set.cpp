#include "platform/output_set.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <streambuf>
#include <system_error>
#include <vector>

#include "model/rejection.h"
#include "platform/native_file.h"

namespace tierwise {

namespace {

// Links followed before a chain is taken for a loop, as the system itself counts.
constexpr int kMaxLinks = 40;
// Bytes gathered before they go to the disk, and read back at a time.
constexpr size_t kWriteBlock = size_t{1} << 20;
constexpr size_t kReadBlock = size_t{1} << 16;

[[noreturn]] void reject(const std::filesystem::path& target, const std::string& reason) {
    throw Rejection("Cannot write " + utf8Name(target) + ": " + reason);
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

// Names compared as the file system compares them: Windows' ignore case.
bool sameName(const std::filesystem::path& a, const std::filesystem::path& b) {
#ifdef _WIN32
    const std::wstring& x = a.native();
    const std::wstring& y = b.native();
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::towlower(static_cast<std::wint_t>(x[i])) != std::towlower(static_cast<std::wint_t>(y[i])))
            return false;
    }
    return true;
#else
    return a == b;
#endif
}

// Whether two paths (links followed) name one file: the same file on the disk, or, for files not
// there yet, the same name in the same folder.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error) return true;
    if (!sameName(a.filename(), b.filename())) return false;
    return std::filesystem::equivalent(folderOf(a), folderOf(b), error) && !error;
}

// A stream's bytes to a file, a block at a time, counted and summed for the read-back. A failed
// write or a held interrupt stops it; its reason is kept, and the stream only sees a failure.
class CheckedFileBuffer final : public std::streambuf {
public:
    CheckedFileBuffer(FileHandle file, const OutputSet& outputs)
        : file_(std::move(file)), outputs_(outputs), buffer_(kWriteBlock) {
        std::setvbuf(file_.get(), nullptr, _IONBF, 0);
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

    // Writes what is left and closes the file; the reason the bytes did not all reach it, or empty.
    std::string close() {
        drain();
        errno = 0;
        if (std::fclose(file_.release()) != 0 && failure_.empty()) failure_ = writeFailure(errno);
        return failure_;
    }
    [[nodiscard]] uint64_t size() const { return size_; }
    [[nodiscard]] uint32_t crc() const { return static_cast<uint32_t>(crc_); }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        if (!failure_.empty()) return false;
        if (outputs_.interrupted()) {
            failure_ = "interrupted";
            return false;
        }
        const auto length = static_cast<size_t>(pptr() - pbase());
        if (length > 0) {
            errno = 0;
            if (std::fwrite(pbase(), 1, length, file_.get()) != length) {
                failure_ = writeFailure(errno);
                return false;
            }
            crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(pbase()), static_cast<uInt>(length));
            size_ += length;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

    FileHandle file_;
    const OutputSet& outputs_;
    std::vector<char> buffer_;
    std::string failure_;
    uint64_t size_ = 0;
    uLong crc_ = crc32(0L, Z_NULL, 0);
};

}  // namespace

std::filesystem::path followLinks(const std::filesystem::path& path) {
    std::filesystem::path file = path;
    std::error_code error;
    for (int links = 0; std::filesystem::is_symlink(file, error); ++links) {
        if (links == kMaxLinks) reject(path, "its symbolic links go round in a loop");
        const std::filesystem::path named = std::filesystem::read_symlink(file, error);
        if (error) reject(path, error.message());
        file = named.is_absolute() ? named : file.parent_path() / named;
    }
    return file;
}

OutputSet::OutputSet() = default;

OutputSet::~OutputSet() {
    for (const Output& output : outputs_) {
        std::error_code ignored;
        if (!output.temporary.empty()) std::filesystem::remove(output.temporary, ignored);
        if (!output.backup.empty()) std::filesystem::remove(output.backup, ignored);
    }
    hold_.reset();  // a held interrupt ends the process here, with everything cleaned up
}

void OutputSet::keep(const std::filesystem::path& file, std::string what) { kept_.push_back({file, std::move(what)}); }

size_t OutputSet::add(const std::filesystem::path& target, std::string what) {
    const std::filesystem::path name = target.filename();
    if (name.empty() || name == "." || name == "..") reject(target, "the name is not a file name");
    // Only a regular file is ever replaced: renaming over a device (/dev/null), a pipe or a link
    // into /proc would put a schedule where the system expects something else.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(target, error);
    if (std::filesystem::is_directory(status)) reject(target, "it is a directory, not a " + what + " file");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        reject(target, "it is a device or other special file, not a regular file; name a " + what + " file");
    }
    std::filesystem::path file = followLinks(target);
    for (const Kept& kept : kept_) {
        if (sameFile(file, kept.file))
            reject(target, "it is " + kept.what + " itself, which the " + what + " would destroy");
    }
    for (const Output& output : outputs_) {
        if (!sameFile(file, output.file)) continue;
        const std::string other = output.target == target ? "" : " (" + utf8Name(output.target) + ")";
        reject(target, "the " + output.what + other + " goes to this file already; name each output a file of its own");
    }
    if (const std::string problem = folderProblem(file.parent_path()); !problem.empty()) reject(target, problem);
    if (std::filesystem::exists(status)) {
        if (const std::string problem = replaceProblem(file); !problem.empty()) reject(target, problem);
    }
    outputs_.push_back({target, std::move(file), std::move(what), {}, {}, false});
    return outputs_.size() - 1;
}

const std::filesystem::path& OutputSet::start(size_t output) {
    Output& out = outputs_.at(output);
    if (!out.temporary.empty() || out.finished) fail(output, "it was started twice");
    if (!hold_) hold_.emplace();
    std::string reason;
    out.temporary = createTemporaryBeside(out.file, reason);
    if (out.temporary.empty()) fail(output, reason);
    return out.temporary;
}

void OutputSet::write(size_t output, const std::function<void(std::ostream&)>& write, ReadBackCheck* check) {
    const std::filesystem::path& temporary = start(output);
    uint64_t size = 0;
    uint32_t crc = 0;
    {
        FileHandle file = openFile(temporary, "wb");
        if (!file) fail(output, "cannot open its temporary file: " + writeFailure(errno));
        CheckedFileBuffer buffer(std::move(file), *this);
        std::ostream out(&buffer);
        std::string refused;
        try {
            write(out);
        } catch (const Rejection& e) {
            refused = e.what();
        }
        out.flush();
        // A writer that stops because its stream failed says so in its own words ("error while
        // writing to output stream"); the stream's reason (a full disk, an interrupt) says why.
        if (const std::string failure = buffer.close(); !failure.empty()) fail(output, failure);
        if (!refused.empty()) fail(output, refused);
        if (!out) fail(output, writeFailure(0));
        size = buffer.size();
        crc = buffer.crc();
    }
    if (interrupted()) fail(output, "interrupted");
    readBack(output, size, crc, check);
    finish(output);
}

void OutputSet::readBack(size_t output, uint64_t size, uint32_t crc, ReadBackCheck* check) {
    FileHandle file = openFile(outputs_.at(output).temporary, "rb");
    if (!file) fail(output, std::string("cannot read it back: ") + std::strerror(errno));
    std::vector<char> block(kReadBlock);
    uint64_t read = 0;
    uLong sum = crc32(0L, Z_NULL, 0);
    for (size_t got = 0; (got = std::fread(block.data(), 1, block.size(), file.get())) > 0;) {
        sum = crc32(sum, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(got));
        read += got;
        if (check != nullptr) check->take({block.data(), got});
    }
    if (std::ferror(file.get())) fail(output, std::string("cannot read it back: ") + std::strerror(errno));
    if (read != size || sum != crc) {
        fail(output, "data was lost on its way to the disk, most likely because the disk is full (" +
                         std::to_string(read) + " bytes read back of " + std::to_string(size) + " written" +
                         (read == size ? ", not as written)" : ")"));
    }
    if (check != nullptr) {
        if (const std::string problem = check->problem(); !problem.empty()) {
            fail(output, "the file read back is not whole: " + problem);
        }
    }
}

void OutputSet::finish(size_t output) {
    Output& out = outputs_.at(output);
    if (out.temporary.empty()) fail(output, "it was not started");
    std::error_code error;
    const std::filesystem::file_status existing = std::filesystem::status(out.file, error);
    if (std::filesystem::is_regular_file(existing)) {
        std::filesystem::permissions(out.temporary, existing.permissions(), error);
        if (error) fail(output, "cannot give the new file the earlier one's permissions: " + error.message());
    }
    if (const std::string synced = syncFile(out.temporary); !synced.empty()) fail(output, synced);
    out.finished = true;
}

void OutputSet::commit() {
    for (size_t k = 0; k < outputs_.size(); ++k) {
        if (!outputs_[k].finished) fail(k, "it was not written");
    }
    if (outputs_.empty()) return;
    if (interrupted()) fail(0, "interrupted");
    for (size_t k = 0; k < outputs_.size(); ++k) {
        Output& out = outputs_[k];
        try {
            std::error_code error;
            const std::filesystem::file_status now = std::filesystem::symlink_status(out.file, error);
            // Checked again: a rename over a folder that took the name meanwhile would move the
            // folder aside where the system allows it (Wine does).
            if (std::filesystem::exists(now) && !std::filesystem::is_regular_file(now)) {
                undo(k, "a folder or special file took its name while the files were written");
            }
            if (std::filesystem::exists(now)) {
                // Only a fresh name is wanted for the earlier file.
                std::string reason;
                out.backup = createTemporaryBeside(out.file, reason);
                if (out.backup.empty()) undo(k, reason);
                std::filesystem::remove(out.backup, error);
            }
            const bool keptEarlier = replaceKeepingBackup(out.temporary, out.file, out.backup, error);
            if (!keptEarlier) out.backup.clear();
            if (error) undo(k, fileFailure(error));
            out.temporary.clear();
        } catch (const Rejection&) {
            throw;
        } catch (const std::exception& e) {
            undo(k, e.what());
        }
    }
    for (Output& out : outputs_) {
        std::error_code ignored;
        if (!out.backup.empty()) std::filesystem::remove(out.backup, ignored);
        out.backup.clear();
        // The renames are durable only once the folder is; the files are in place either way.
        (void)syncFolder(out.file.parent_path());
    }
}

// Outputs before `failed` are in place: each earlier file goes back, each new file goes.
void OutputSet::undo(size_t failed, const std::string& reason) {
    std::string unrestored;
    for (size_t k = failed; k-- > 0;) {
        Output& out = outputs_[k];
        std::error_code error;
        if (!out.backup.empty()) {
            replaceFile(out.backup, out.file, error);
            if (error) {
                unrestored += (unrestored.empty() ? "" : ", ") + utf8Name(out.target) +
                              " (the earlier file is kept as " + utf8Name(out.backup) + ")";
            }
            out.backup.clear();
        } else {
            std::filesystem::remove(out.file, error);
            if (error) unrestored += (unrestored.empty() ? "" : ", ") + utf8Name(out.target);
        }
    }
    if (!unrestored.empty()) fail(failed, reason + "; these files are new and could not be put back: " + unrestored);
    fail(failed, failed == 0 ? reason : reason + "; the files already replaced were put back");
}

bool OutputSet::interrupted() const { return hold_ && hold_->interrupted(); }

const std::filesystem::path& OutputSet::target(size_t output) const { return outputs_.at(output).target; }

void OutputSet::fail(size_t output, const std::string& reason) const { reject(outputs_.at(output).target, reason); }

}  // namespace tierwise
