#include "reader/line_source.h"

#include <algorithm>
#include <cstring>

#include "reader/block_scan.h"

namespace tierwise {

size_t MemorySource::read(char* buffer, size_t capacity) {
    const size_t n = std::min(capacity, text_.size());
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
}

LineSource::LineSource(ByteSource& source, size_t blockSize)
    : source_(source), block_(std::max<size_t>(blockSize, 1)), spare_(block_.size()) {}

bool LineSource::fill() {
    if (eof_) return false;
    block_.swap(spare_);
    begin_ = 0;
    nextLf_ = SIZE_MAX;
    end_ = source_.read(block_.data(), block_.size());
    if (end_ == 0) {
        eof_ = true;
        return false;
    }
    if (skipLeadingLf_) {
        skipLeadingLf_ = false;
        if (block_[0] == '\n') begin_ = 1;
    }
    return true;
}

bool LineSource::atEnd() {
    while (begin_ == end_) {
        if (!fill()) return true;
    }
    return false;
}

const char* LineSource::findTerminator() {
    const char* first = block_.data() + begin_;
    const char* last = block_.data() + end_;
    // The next LF is remembered, so that a file whose lines end in a lone CR is not rescanned per line.
    if (nextLf_ < begin_ || nextLf_ > end_) {
        const auto* lf = static_cast<const char*>(std::memchr(first, '\n', static_cast<size_t>(last - first)));
        nextLf_ = lf ? static_cast<size_t>(lf - block_.data()) : end_;
    }
    const char* limit = block_.data() + nextLf_;
    const auto* cr = static_cast<const char*>(std::memchr(first, '\r', static_cast<size_t>(limit - first)));
    return cr ? cr : limit;
}

std::string_view LineSource::readLine() {
    ++lineNumber_;
    carry_.clear();
    for (;;) {
        if (begin_ == end_ && !fill()) return carry_;  // the last line has no terminator
        const char* first = block_.data() + begin_;
        const char* last = block_.data() + end_;
        const char* stop = findTerminator();
        const auto length = static_cast<size_t>(stop - first);
        if (carry_.size() + length > kMaxLineLength) throw LineTooLong{lineNumber_};
        if (stop == last) {  // the line goes on in the next block
            carry_.append(first, length);
            begin_ = end_;
            continue;
        }
        begin_ += length + 1;
        if (*stop == '\r') {
            if (begin_ < end_) {
                if (block_[begin_] == '\n') ++begin_;
            } else {
                skipLeadingLf_ = true;
            }
        }
        if (carry_.empty()) return {first, length};
        carry_.append(first, length);
        return carry_;
    }
}

namespace {

bool holdsAny(std::string_view line, std::span<const std::string_view> keys) {
    return std::any_of(keys.begin(), keys.end(), [&](std::string_view key) { return line.find(key) != std::string_view::npos; });
}

}  // namespace

std::string_view LineSource::readLineContaining(std::span<const std::string_view> keys) {
    for (;;) {
        skipLinesWithout(keys);
        const std::string_view line = readLine();
        if (holdsAny(line, keys) || atEnd()) return line;
    }
}

// Moves past the complete lines of the current block that come before the first one holding a
// key, counting them; the block's last complete line is always left for readLine, so that the
// file's last line is read as a line.
void LineSource::skipLinesWithout(std::span<const std::string_view> keys) {
    // A line longer than allowed could hide inside a block larger than that.
    if (block_.size() > kMaxLineLength || begin_ >= end_) return;
    const char* first = block_.data() + begin_;
    const size_t lastLf = std::string_view(first, end_ - begin_).rfind('\n');
    if (lastLf == std::string_view::npos) return;
    const std::string_view lines(first, lastLf + 1);
    size_t limit = findFirstKey(lines, keys);
    if (limit == lines.size()) {  // no key: stop at the start of the last line
        limit = lines.size() - 1;
        if (limit > 0 && lines[limit - 1] == '\r') --limit;
    }
    // The line holding `limit` starts after the last line end before it.
    size_t start = limit;
    while (start > 0 && lines[start - 1] != '\n' && lines[start - 1] != '\r') --start;
    if (start == 0) return;
    lineNumber_ += countLineEnds(lines.substr(0, start));
    begin_ += start;
}

}  // namespace tierwise
