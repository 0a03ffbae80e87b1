#include "reader/line_source.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "reader/block_scan.h"

namespace tierwise {

size_t MemorySource::read(char* buffer, size_t capacity) {
    const size_t n = std::min(capacity, text_.size());
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
}

ReadAhead readAheadForThisMachine() {
    return std::thread::hardware_concurrency() >= 2 ? ReadAhead::thread : ReadAhead::off;
}

// Reads the source on a thread of its own into a fixed set of blocks, handing each one over filled
// and taking back the ones the line splitter is done with: memory stays at that many blocks, and
// the thread waits when all of them are filled and not yet scanned.
class BlockReader {
public:
    BlockReader(ByteSource& source, size_t blockSize, size_t blocks)
        : source_(source), blockSize_(blockSize), unallocated_(blocks), thread_([this] { run(); }) {}

    ~BlockReader() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Gives back `block` (unless it is null) and puts the next block read in its place; returns
    // how many bytes it holds, 0 at the end of the input. Rethrows what the source threw, once
    // the blocks read before that have been handed over.
    size_t next(std::unique_ptr<char[]>& block) {
        std::unique_lock lock(mutex_);
        if (block) {
            free_.push_back(std::move(block));
            changed_.notify_all();
        }
        changed_.wait(lock, [this] { return !filled_.empty() || failure_; });
        if (filled_.empty()) std::rethrow_exception(failure_);
        Filled next = std::move(filled_.front());
        filled_.pop_front();
        block = std::move(next.bytes);
        return next.size;
    }

private:
    struct Filled {
        std::unique_ptr<char[]> bytes;
        size_t size;
    };

    void run() {
        try {
            for (;;) {
                std::unique_ptr<char[]> bytes;
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [this] { return stop_ || !free_.empty() || unallocated_ > 0; });
                    if (stop_) return;
                    if (free_.empty()) {
                        --unallocated_;
                    } else {
                        bytes = std::move(free_.back());
                        free_.pop_back();
                    }
                }
                // Allocated here, so that this thread, not the scanning one, takes the fresh pages.
                if (!bytes) bytes = std::make_unique_for_overwrite<char[]>(blockSize_);
                const size_t size = source_.read(bytes.get(), blockSize_);
                {
                    const std::lock_guard lock(mutex_);
                    filled_.push_back({std::move(bytes), size});
                }
                changed_.notify_all();
                if (size == 0) return;
            }
        } catch (...) {
            {
                const std::lock_guard lock(mutex_);
                failure_ = std::current_exception();
            }
            changed_.notify_all();
        }
    }

    ByteSource& source_;
    const size_t blockSize_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Filled> filled_;                  // read, in file order, not yet handed over
    std::vector<std::unique_ptr<char[]>> free_;  // given back, to be read into again
    size_t unallocated_;                         // blocks not yet allocated
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: it starts once everything above is in place
};

LineSource::LineSource(ByteSource& source, size_t blockSize, ReadAhead readAhead)
    : source_(source), blockSize_(std::max<size_t>(blockSize, 1)) {
    if (readAhead == ReadAhead::thread) {
        try {
            reader_ = std::make_unique<BlockReader>(source_, blockSize_, kReadAheadBlocks);
        } catch (const std::system_error&) {
            // No thread to be had: the blocks are read here instead, which gives the same lines.
        }
    }
    if (!reader_) {
        block_ = std::make_unique_for_overwrite<char[]>(blockSize_);
        spare_ = std::make_unique_for_overwrite<char[]>(blockSize_);
    }
}

LineSource::~LineSource() = default;

bool LineSource::fill() {
    if (eof_) return false;
    block_.swap(spare_);
    begin_ = 0;
    nextLf_ = SIZE_MAX;
    // The block before the one in hand goes back to be read into; the one in hand becomes spare_.
    end_ = reader_ ? reader_->next(block_) : source_.read(block_.get(), blockSize_);
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
    const char* first = block_.get() + begin_;
    const char* last = block_.get() + end_;
    // The next LF is remembered, so that a file whose lines end in a lone CR is not rescanned per line.
    if (nextLf_ < begin_ || nextLf_ > end_) {
        const auto* lf = static_cast<const char*>(std::memchr(first, '\n', static_cast<size_t>(last - first)));
        nextLf_ = lf ? static_cast<size_t>(lf - block_.get()) : end_;
    }
    const char* limit = block_.get() + nextLf_;
    const auto* cr = static_cast<const char*>(std::memchr(first, '\r', static_cast<size_t>(limit - first)));
    return cr ? cr : limit;
}

std::string_view LineSource::readLine() {
    ++lineNumber_;
    carry_.clear();
    for (;;) {
        if (begin_ == end_ && !fill()) return carry_;  // the last line has no terminator
        const char* first = block_.get() + begin_;
        const char* last = block_.get() + end_;
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
    return std::any_of(keys.begin(), keys.end(),
                       [&](std::string_view key) { return line.find(key) != std::string_view::npos; });
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
    if (blockSize_ > kMaxLineLength || begin_ >= end_) return;
    const std::string_view unread(block_.get() + begin_, end_ - begin_);
    const size_t lastLf = unread.rfind('\n');
    if (lastLf == std::string_view::npos) return;
    const std::string_view lines = unread.substr(0, lastLf + 1);
    const KeyScan scan = scanToFirstKey(lines, keys);
    size_t limit = scan.keyAt;
    int64_t passed = scan.lineEnds;
    if (limit == lines.size()) {  // no key: stop at the start of the last line, before its line end
        limit = lines.size() - 1;
        if (limit > 0 && lines[limit - 1] == '\r') --limit;
        --passed;
    }
    // The line holding `limit` starts after the last line end before it; none lies in between,
    // so `passed` is the number of lines before it.
    size_t start = limit;
    while (start > 0 && lines[start - 1] != '\n' && lines[start - 1] != '\r') --start;
    if (start == 0) return;
    lineNumber_ += passed;
    begin_ += start;
}

}  // namespace tierwise
