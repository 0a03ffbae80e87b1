#include "platform/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "model/rejection.h"
#include "platform/file_safety.h"
#include "platform/native_file.h"

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
        throw Rejection("Cannot write " + utf8Name(target) + ": " + reason);
    };
    if (target.filename().empty()) fail("the name is not a file name");
    std::string reason;
    const std::filesystem::path name = createTemporaryBeside(target, reason);
    if (name.empty()) fail(reason);
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
    replaceFile(temporary.path(), target, error);
    if (error) fail(error.message());
    temporary.release();
}

}  // namespace tierwise
