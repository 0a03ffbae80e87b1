// Splits the bytes of an analysis file into lines, reading in large blocks so that memory stays
// flat however large the file is. Lines end at LF, CR LF or a lone CR; the terminator is not part
// of the line. A terminator at the very end of the input does not make an empty last line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tierwise {

// Where the bytes come from: a file (platform/anl_file.h) or a text in memory (tests).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to `capacity` bytes; returns how many, 0 only at the end of the input.
    virtual size_t read(char* buffer, size_t capacity) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view text) : text_(text) {}
    size_t read(char* buffer, size_t capacity) override;

private:
    std::string_view text_;
};

// How the blocks are read. With `thread`, a second thread reads the next blocks while the lines of
// the current one are scanned, so that copying the file in and scanning it overlap on two cores.
// The lines, their numbers and the rejections are the same either way.
enum class ReadAhead { off, thread };

// `thread` where the machine has a second core to run it on.
ReadAhead readAheadForThisMachine();

class BlockReader;

class LineSource {
public:
    static constexpr size_t kBlockSize = size_t{1} << 20;
    // Longer lines are refused: no analysis report prints them, and memory must stay bounded.
    static constexpr size_t kMaxLineLength = size_t{1} << 20;
    // Blocks in use with the read-ahead thread: the block being scanned, the one before it (its
    // last line may still be in hand), and one being read or waiting.
    static constexpr size_t kReadAheadBlocks = 3;

    // With ReadAhead::thread, `source` is read on the read-ahead thread only, until this is
    // destroyed; what it throws is thrown here, after the blocks read before it.
    explicit LineSource(ByteSource& source, size_t blockSize = kBlockSize, ReadAhead readAhead = ReadAhead::off);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // True when no line is left.
    [[nodiscard]] bool atEnd();
    // The next line without its terminator; valid until the next call of readLine (atEnd may
    // read on without disturbing it). Call only when !atEnd().
    // Throws LineTooLong past kMaxLineLength.
    std::string_view readLine();
    // Reads lines until one holds any of `keys`, or to the last line; returns that line, as
    // readLine would after as many calls. The lines passed over are scanned a block at a time.
    // Call only when !atEnd(). Throws LineTooLong as readLine does.
    std::string_view readLineContaining(std::span<const std::string_view> keys);
    // 1-based number of the line that readLine returned last (0 before the first).
    [[nodiscard]] int64_t lineNumber() const { return lineNumber_; }

    struct LineTooLong {
        int64_t lineNumber;
    };

private:
    bool fill();                   // reads the next block; false at the end of the input
    const char* findTerminator();  // the first CR or LF of the unread bytes, or their end
    void skipLinesWithout(std::span<const std::string_view> keys);

    ByteSource& source_;
    size_t blockSize_;
    std::unique_ptr<BlockReader> reader_;  // the read-ahead thread, when there is one
    // Blocks are not zeroed: a page is first touched when bytes are read into it.
    std::unique_ptr<char[]> block_;
    // The block before: a line returned from it stays valid while atEnd() reads the next one.
    std::unique_ptr<char[]> spare_;
    size_t begin_ = 0;  // unread bytes are block_[begin_, end_)
    size_t end_ = 0;
    size_t nextLf_ = SIZE_MAX;  // index of the next LF in block_, end_ when there is none
    bool eof_ = false;
    bool skipLeadingLf_ = false;  // the last line ended in CR at a block's end; a following LF belongs to it
    std::string carry_;           // a line that crosses a block boundary
    int64_t lineNumber_ = 0;
};

}  // namespace tierwise
