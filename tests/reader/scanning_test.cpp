#include "reader/scanning.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tierwise {
namespace {

using support::PrintTo;

// Example lines write a blank as "·" for readability.
std::string line(std::string text) {
    std::string blanks;
    for (size_t from = 0, at = text.find("·"); from < text.size(); from = at + 2, at = text.find("·", from)) {
        blanks.append(text, from, std::min(at, text.size()) - from);
        if (at == std::string::npos) break;
        blanks.append(" ");
    }
    return blanks;
}

struct ScanCase {
    const char* name;
    const char* text;
    enum { Start, End, SkipLineNumber } scanner;
    int32_t from;
    int32_t expected;
};

class ScannerTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScannerTest, ReturnsThePositionOfTheLine) {
    const ScanCase& c = GetParam();
    const std::string text = line(c.text);
    int32_t pos = c.from;
    int32_t result = 0;
    switch (c.scanner) {
        case ScanCase::Start:
            result = findNumStart(text, pos);
            break;
        case ScanCase::End:
            result = findNumEnd(text, pos);
            break;
        case ScanCase::SkipLineNumber:
            result = pos = skipLineNumber(text);
            break;
    }
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(pos, c.expected) << "pos is left at the result";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScannerTest,
    ::testing::Values(ScanCase{"StartOfFirstNumber", "···12.·1·0·0·0", ScanCase::Start, 1, 4},
                      ScanCase{"EndOfLineNumber", "···12.·1·0·0·0", ScanCase::End, 4, 7},
                      ScanCase{"StartOfSecondNumber", "···12.·1·0·0·0", ScanCase::Start, 7, 8},
                      ScanCase{"SkipGivesSecondNumber", "···12.·1·0·0·0", ScanCase::SkipLineNumber, 1, 8},
                      ScanCase{"SkipWithoutSecondNumberGivesLength", "···13.·MEMBER·INCIDENCES",
                               ScanCase::SkipLineNumber, 1, 24},
                      ScanCase{"MinusIsANumberCharacter", "···12.·1·-5·0·0", ScanCase::Start, 9, 10},
                      ScanCase{"NoNumberLeftGivesLength", "···12.·1;··", ScanCase::Start, 9, 11},
                      ScanCase{"NumberAtLastPositionGivesLength", "····19.·6", ScanCase::SkipLineNumber, 1, 9},
                      ScanCase{"EndRunsToLastPosition", "12345", ScanCase::End, 1, 5}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(NumberStartsAt, TellsANumberAtTheLastPositionFromNoNumber) {
    EXPECT_TRUE(numberStartsAt("    19. 6", 9));
    EXPECT_FALSE(numberStartsAt("    12. 1; ", 11));
    EXPECT_FALSE(numberStartsAt("", 1));
    EXPECT_FALSE(numberStartsAt("    18. 2 TO 4 -", 16)) << "a continuation mark is no number";
    EXPECT_TRUE(numberStartsAt("1 -5", 3));
    EXPECT_FALSE(
        numberStartsAt("\xB5"
                       "12",
                       1))
        << "bytes of 128 and above are never number characters";
}

struct ValueCase {
    const char* name;
    const char* text;
    double expected;
};

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(numericValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericValueTest,
    ::testing::Values(ValueCase{"Plain", "3.5", 3.5}, ValueCase{"LeadingBlanksTabsLineFeeds", " \t\n 42", 42},
                      ValueCase{"BlanksInsideDoNotEndIt", "1 0 0", 100}, ValueCase{"Negative", "-1250", -1250},
                      ValueCase{"ExplicitPlus", "+7", 7}, ValueCase{"StopsAtStar", "12*3*4", 12},
                      ValueCase{"StopsAtSemicolon", "6;7", 6}, ValueCase{"StopsAtSecondPoint", "1.2.3", 1.2},
                      ValueCase{"StopsAtSlash", "12/3", 12}, ValueCase{"ExponentE", "2.5E-05", 2.5e-05},
                      ValueCase{"ExponentD", "1.5D2", 150}, ValueCase{"ExponentWithoutDigits", "7E", 7},
                      ValueCase{"LeadingPoint", ".25", 0.25}, ValueCase{"NoNumber", "MEMBER", 0},
                      ValueCase{"SignAlone", "-", 0}, ValueCase{"Empty", "", 0},
                      ValueCase{"PageHeading", " \f    OFFICE BLOCK B   -- PAGE NO.    7", 0},
                      ValueCase{"EchoLineReadsLineNumberAndData", "     8. 1 0 0 0", 8.1},
                      ValueCase{"FieldAfterKeyword", "    1080.0", 1080.0},
                      ValueCase{"HugeExponentIsInfinite", "1E999", HUGE_VAL}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ContainsPosition, IsOneBasedCaseSensitiveAndZeroWhenAbsent) {
    EXPECT_EQ(positionOf("    6. UNIT METER KN", "UNIT"), 8);
    EXPECT_EQ(positionOf("    6. unit meter", "UNIT"), 0);
    EXPECT_EQ(positionOf("1*TO*4*17*TO*20", "*TO", 3), 10);
    EXPECT_EQ(positionOf("1*TO", "*TO", 9), 0);
}

TEST(Substring, TakesAtMostLengthFromAOneBasedStart) {
    EXPECT_EQ(substring("UNIT METER KN", 6, 4), "METE");
    EXPECT_EQ(substring("UNIT MMS", 6, 4), "MMS");
    EXPECT_EQ(substring("ABC", 2), "BC");
    EXPECT_EQ(substring("ABC", 4, 10), "");
}

TEST(ClassifyLine, FindsTheFirstKeywordInItsOrder) {
    struct Case {
        const char* name;
        const char* line;
        LineKind kind;
    } cases[] = {
        {"MemberProperty", "   45. MEMBER PROPERTY INDIAN", LineKind::MemberProperty},
        {"Beta", "   50. BETA 90 MEMB 4 TO 6", LineKind::Beta},
        {"ColumnHeader", "      C O L U M N   N O.    12  D E S I G N", LineKind::ColumnHeader},
        {"BetaBeforeHeader", "BETA 90 MEMB C O L U M N   N O.", LineKind::Beta},
        {"HeaderBeforeProperty", "MEMBER PROPERTY C O L U M N   N O.", LineKind::ColumnHeader},
        {"Other", "   48. CONSTANTS", LineKind::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(classifyLine(c.line), c.kind);
    }
}

}  // namespace
}  // namespace tierwise
