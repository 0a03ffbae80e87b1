#include "reader/line_source.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tierwise {
namespace {

using support::PrintTo;

std::vector<std::string> splitLines(std::string_view text, size_t blockSize) {
    MemorySource source(text);
    LineSource lines(source, blockSize);
    std::vector<std::string> result;
    while (!lines.atEnd()) result.emplace_back(lines.readLine());
    return result;
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> expected;
};

class LineSourceTest : public ::testing::TestWithParam<SplitCase> {};

// Every block size, so that terminators and lines fall across block boundaries.
TEST_P(LineSourceTest, SplitsAtEveryKindOfLineEnd) {
    const SplitCase& c = GetParam();
    for (size_t block = 1; block <= c.text.size() + 1; ++block) {
        SCOPED_TRACE("block size " + std::to_string(block));
        EXPECT_EQ(splitLines(c.text, block), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineSourceTest,
    ::testing::Values(SplitCase{"Lf", "a\nbc\n", {"a", "bc"}}, SplitCase{"CrLf", "a\r\nbc\r\n", {"a", "bc"}},
                      SplitCase{"LoneCr", "a\rbc\r", {"a", "bc"}},
                      SplitCase{"NoFinalTerminator", "a\r\nbc", {"a", "bc"}},
                      SplitCase{"BlankLines", "\r\n\r\nx\n\n", {"", "", "x", ""}},
                      SplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
                      SplitCase{"ControlBytesStay", std::string("\f\x02x\0y\n", 6), {std::string("\f\x02x\0y", 5)}},
                      SplitCase{"Empty", "", {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LineSource, CountsLines) {
    MemorySource source("one\r\ntwo\r\nthree");
    LineSource lines(source, 4);
    EXPECT_EQ(lines.lineNumber(), 0);
    lines.readLine();
    lines.readLine();
    EXPECT_EQ(lines.readLine(), "three");
    EXPECT_EQ(lines.lineNumber(), 3);
    EXPECT_TRUE(lines.atEnd());
}

TEST(LineSource, RefusesALineLongerThanAnyReport) {
    const std::string huge(LineSource::kMaxLineLength + 1, 'x');
    MemorySource source(huge);
    LineSource lines(source, 4096);
    EXPECT_THROW(lines.readLine(), LineSource::LineTooLong);
}

// A source that fails once the good bytes have been read, as a file does on a bad disk.
class FailingSource final : public ByteSource {
public:
    explicit FailingSource(std::string_view good) : good_(good) {}
    size_t read(char* buffer, size_t capacity) override {
        const size_t n = good_.read(buffer, capacity);
        if (n == 0) throw std::runtime_error("disk error");
        return n;
    }

private:
    MemorySource good_;
};

struct ReadAheadCase {
    const char* name;
    ReadAhead readAhead;
};

class ReadAheadTest : public ::testing::TestWithParam<ReadAheadCase> {};

// The lines read before a failure are handed over; the failure comes where the next block was
// needed, not earlier, whichever thread met it.
TEST_P(ReadAheadTest, AFailingSourceFailsAfterTheLinesBeforeIt) {
    FailingSource source("one\ntwo\nthr");
    LineSource lines(source, 4, GetParam().readAhead);
    EXPECT_EQ(lines.readLine(), "one");
    EXPECT_EQ(lines.readLine(), "two");
    EXPECT_THROW(lines.readLine(), std::runtime_error);
}

// Leaving a large input half read, by a rejection or an early return, stops the read-ahead
// thread while it waits for a block to read into.
TEST_P(ReadAheadTest, StopsHalfWayThroughALargeInput) {
    const std::string text(1 << 20, '\n');
    for (int readLines = 0; readLines < 64; readLines += 7) {
        MemorySource source(text);
        LineSource lines(source, 16, GetParam().readAhead);
        for (int i = 0; i < readLines; ++i) EXPECT_EQ(lines.readLine(), "");
        EXPECT_EQ(lines.lineNumber(), readLines);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ReadAheadTest,
                         ::testing::Values(ReadAheadCase{"InTurn", ReadAhead::off},
                                           ReadAheadCase{"ReadAhead", ReadAhead::thread}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace tierwise
