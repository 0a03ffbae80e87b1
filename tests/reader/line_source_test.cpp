#include "reader/line_source.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

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
    ::testing::Values(SplitCase{"Lf", "a\nbc\n", {"a", "bc"}},
                      SplitCase{"CrLf", "a\r\nbc\r\n", {"a", "bc"}},
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

}  // namespace
}  // namespace tierwise
