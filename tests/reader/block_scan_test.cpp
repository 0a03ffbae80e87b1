// The fast paths of the reader against their plain counterparts: keyword search and line counting
// a block at a time, skipping lines a block at a time, and the exact decimal shortcut of
// numericValue.
#include "reader/block_scan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "reader/line_source.h"
#include "reader/scanning.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

constexpr std::string_view kKeys[] = {"C O L U M N   N O.", "BETA 90 MEMB", "LENGTH:", "X"};

struct KeyCase {
    const char* name;
    std::string text;
    std::vector<std::string_view> keys;
    size_t expected;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class FindFirstKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(FindFirstKeyTest, FindsTheEarliestKey) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(findFirstKey(c.text, c.keys), c.expected);
    EXPECT_EQ(plain::findFirstKey(c.text, c.keys), c.expected);
}

const std::string kDigits(100, '7');

INSTANTIATE_TEST_SUITE_P(
    Cases, FindFirstKeyTest,
    testing::Values(
        KeyCase{"Empty", "", {"BETA 90 MEMB"}, 0}, KeyCase{"NoKeys", kDigits, {}, 100},
        KeyCase{"Absent", kDigits, {"BETA 90 MEMB"}, 100},
        KeyCase{"AtStart", "BETA 90 MEMB" + kDigits, {"BETA 90 MEMB"}, 0},
        KeyCase{"AtEnd", kDigits + "BETA 90 MEMB", {"BETA 90 MEMB"}, 100},
        KeyCase{"CutOffAtEnd", kDigits + "BETA 90 MEM", {"BETA 90 MEMB"}, 111},
        KeyCase{"FirstAndLastByteOnly", kDigits + "BxxxxxxxxxxB" + kDigits, {"BETA 90 MEMB"}, 212},
        KeyCase{"EarlierOfTwoKeys", kDigits + "LENGTH:" + kDigits + "BETA 90 MEMB", {"BETA 90 MEMB", "LENGTH:"}, 100},
        KeyCase{"TwoKeysInOneStep", "1234LENGTH:BETA 90 MEMB" + kDigits, {"BETA 90 MEMB", "LENGTH:"}, 4},
        KeyCase{"OneByteKey", kDigits + "X" + kDigits, {"X"}, 100},
        KeyCase{"EmptyKeyIgnored", kDigits + "X", {"", "X"}, 100}),
    [](const testing::TestParamInfo<KeyCase>& testCase) { return std::string(testCase.param.name); });

// Random texts with keys, near misses and line ends scattered, at every alignment near the ends:
// the key and the line ends before it, found in one pass.
TEST(ScanToFirstKeyRandom, AgreesWithThePlainSearchAndCount) {
    std::mt19937 random(5);
    const std::string pieces[] = {"0.1234 ",
                                  "  -5.0",
                                  "\r\n",
                                  "\n",
                                  "\r",
                                  "C O L U M N",
                                  "BETA 90 MEM",
                                  "LENGTH",
                                  "C O L U M N   N O.",
                                  "BETA 90 MEMB",
                                  "LENGTH:",
                                  "X",
                                  "B",
                                  "C",
                                  ":",
                                  "."};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            // Mostly harmless pieces, so that keys fall at every distance from the start.
            const size_t piece = random() % 8 == 0 ? random() % std::size(pieces) : random() % 5;
            text += pieces[piece];
        }
        std::vector<std::string_view> keys;
        for (const auto key : kKeys) {
            if (random() % 2) keys.push_back(key);
        }
        const KeyScan fast = scanToFirstKey(text, keys);
        const KeyScan slow = plain::scanToFirstKey(text, keys);
        EXPECT_EQ(fast.keyAt, slow.keyAt) << text;
        EXPECT_EQ(fast.lineEnds, slow.lineEnds) << text;
    }
}

TEST(CountLineEndsRandom, AgreesWithThePlainCount) {
    std::mt19937 random(7);
    const char bytes[] = {'\r', '\n', 'a', '1', ' ', '\0'};
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 200, ' ');
        for (char& c : text) c = bytes[random() % std::size(bytes)];
        EXPECT_EQ(countLineEnds(text), plain::countLineEnds(text)) << round;
    }
    EXPECT_EQ(countLineEnds(std::string(40, ' ') + "\r\n" + std::string(40, ' ') + "\r"), 2);
}

// readLineContaining gives the line (and line number) that reading line by line would give.
TEST(ReadLineContainingRandom, AgreesWithReadingLineByLine) {
    std::mt19937 random(11);
    const std::string pieces[] = {"   1.2345   -6.7890", "\r\n",    "\n",        "\r", "\r\n",
                                  "BETA 90 MEMB",        "LENGTH:", "\x0c  PAGE"};
    for (int round = 0; round < 1500; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 80);
        for (int i = 0; i < count; ++i) text += pieces[random() % 8 < 6 ? random() % 5 : 5 + random() % 3];
        const size_t blockSize = 1 + random() % 96;
        std::vector<std::string_view> keys = {"BETA 90 MEMB"};
        if (random() % 2) keys.push_back("LENGTH:");

        MemorySource plainBytes(text);
        LineSource byLine(plainBytes, blockSize);
        MemorySource fastBytes(text);
        LineSource fast(fastBytes, blockSize, round % 2 == 0 ? ReadAhead::off : ReadAhead::thread);
        while (!fast.atEnd()) {
            ASSERT_FALSE(byLine.atEnd());
            const std::string found(fast.readLineContaining(keys));
            std::string expected;
            do {
                expected = byLine.readLine();
            } while (plain::findFirstKey(expected, keys) == expected.size() && !byLine.atEnd());
            ASSERT_EQ(found, expected) << "round " << round << ", block size " << blockSize;
            ASSERT_EQ(fast.lineNumber(), byLine.lineNumber()) << "round " << round << ", block size " << blockSize;
        }
        EXPECT_TRUE(byLine.atEnd());
    }
}

// The exact shortcut for plain decimals gives the correctly rounded double of the digits read.
TEST(NumericValueRandom, PlainDecimalsAreCorrectlyRounded) {
    std::mt19937 random(13);
    for (int round = 0; round < 20000; ++round) {
        std::string digits;  // what the number is, without the blanks
        std::string text(random() % 3, ' ');
        if (random() % 3 == 0) {
            text += '-';
            digits += '-';
        }
        const int whole = static_cast<int>(random() % 18), decimals = static_cast<int>(random() % 24);
        for (int i = 0; i < whole; ++i) {
            const char d = static_cast<char>('0' + random() % 10);
            text += d;
            digits += d;
            if (random() % 6 == 0) text += ' ';  // blanks inside a number are skipped
        }
        if (decimals > 0) {
            text += '.';
            digits += '.';
            for (int i = 0; i < decimals; ++i) {
                const char d = static_cast<char>('0' + random() % 10);
                text += d;
                digits += d;
            }
        }
        text += random() % 2 ? "*12" : " mm";
        const bool anyDigit = digits.find_first_of("0123456789") != std::string::npos;
        const double expected = anyDigit ? std::strtod(digits.c_str(), nullptr) : 0.0;
        const double got = numericValue(text);
        EXPECT_EQ(got, expected) << text;
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << text;
    }
}

}  // namespace
}  // namespace tierwise
