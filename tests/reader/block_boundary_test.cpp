// The reader sees the same model whatever the block size, the line ends and whether a second
// thread reads ahead: lines crossing or ending exactly at a block's end, and a line still in hand
// while the next block is read.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/rejection.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"
#include "support/files.h"
#include "support/model_compare.h"

namespace tierwise {
namespace {

std::string sampleText() { return support::readText(TIERWISE_SAMPLES_DIR "/office-block.anl"); }

// The sample with its CR LF line ends turned into `eol`.
std::string withLineEnds(const std::string& text, std::string_view eol) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += eol;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

Model readWithBlock(const std::string& text, size_t blockSize, ReadAhead readAhead = ReadAhead::off) {
    MemorySource source(text);
    LineSource lines(source, blockSize, readAhead);
    return readAnl(lines, "office-block.anl");
}

struct Case {
    const char* name;
    const char* eol;
    ReadAhead readAhead;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class BlockSizeTest : public testing::TestWithParam<Case> {};

TEST_P(BlockSizeTest, EveryBlockSizeReadsTheSameModel) {
    const std::string text = withLineEnds(sampleText(), GetParam().eol);
    const Model whole = readWithBlock(text, text.size() + 1);
    ASSERT_GT(whole.designBlockCount(), 0);
    // Small blocks put every line end, and every CR LF pair, across a block boundary somewhere.
    for (size_t blockSize = 1; blockSize <= 130; ++blockSize) {
        SCOPED_TRACE("block size " + std::to_string(blockSize));
        EXPECT_EQ(support::tableDifference(readWithBlock(text, blockSize, GetParam().readAhead), whole), "");
    }
}

INSTANTIATE_TEST_SUITE_P(LineEnds, BlockSizeTest,
                         testing::Values(Case{"CrLf", "\r\n", ReadAhead::off}, Case{"Lf", "\n", ReadAhead::off},
                                         Case{"Cr", "\r", ReadAhead::off},
                                         Case{"CrLfReadAhead", "\r\n", ReadAhead::thread},
                                         Case{"LfReadAhead", "\n", ReadAhead::thread},
                                         Case{"CrReadAhead", "\r", ReadAhead::thread}),
                         [](const testing::TestParamInfo<Case>& testCase) { return std::string(testCase.param.name); });

// A line that ends exactly at a block's end stays readable after atEnd() has read the next block,
// also while the read-ahead thread reads into the blocks after it.
TEST(LineSourceBlocks, LineInHandSurvivesTheNextBlock) {
    // The first line and its CR fill a 9-byte block.
    const std::string text = "12345678\r\nabcdefgh\r\n" + std::string(100, 'z');
    for (const ReadAhead readAhead : {ReadAhead::off, ReadAhead::thread}) {
        MemorySource source(text);
        LineSource lines(source, 9, readAhead);
        ASSERT_FALSE(lines.atEnd());
        const std::string_view first = lines.readLine();
        ASSERT_FALSE(lines.atEnd());
        EXPECT_EQ(first, "12345678");
        EXPECT_EQ(lines.readLine(), "abcdefgh");
        EXPECT_EQ(lines.readLine(), std::string(100, 'z'));
        EXPECT_TRUE(lines.atEnd());
    }
}

}  // namespace
}  // namespace tierwise
