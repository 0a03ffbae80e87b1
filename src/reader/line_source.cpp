#include "reader/line_source.h"

#include <algorithm>
#include <cstring>

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

}  // namespace tierwise
