#include "platform/anl_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>

#include "model/rejection.h"
#include "platform/native_file.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"

namespace tierwise {

namespace {

class FileSource final : public ByteSource {
public:
    FileSource(FileHandle file, std::string name) : file_(std::move(file)), name_(std::move(name)) {}

    size_t read(char* buffer, size_t capacity) override {
        const size_t n = std::fread(buffer, 1, capacity, file_.get());
        if (n == 0 && std::ferror(file_.get())) {
            throw Rejection("Cannot read " + name_ + ": " + std::generic_category().message(errno));
        }
        return n;
    }

private:
    FileHandle file_;
    std::string name_;
};

}  // namespace

Model readAnlFile(const std::filesystem::path& path, ReadAhead readAhead) {
    const std::string name = utf8Name(path);
    std::error_code status;
    if (std::filesystem::is_directory(path, status)) {
        throw Rejection("Cannot open " + name + ": it is a folder, not an analysis output file");
    }
    FileHandle file = openFile(path, "rb");
    if (!file) throw Rejection("Cannot open " + name + ": " + std::generic_category().message(errno));
    // The blocks are large; the stream's own buffer would only add a copy.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    FileSource source(std::move(file), name);
    LineSource lines(source, LineSource::kBlockSize, readAhead);
    return readAnl(lines, name);
}

}  // namespace tierwise
