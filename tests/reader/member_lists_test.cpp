// The lists of the echoed input: BETA 90 members and member properties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anl_text.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using namespace anl_text;
using support::PrintTo;

struct BetaCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<int32_t> expected;
};

class ReadAnlBetaTest : public ::testing::TestWithParam<BetaCase> {};

TEST_P(ReadAnlBetaTest, ExpandsTheLists) {
    std::string text = frameWith("UNIT METER KN", "");
    for (const auto& line : GetParam().lines) text += line + "\r\n";
    EXPECT_EQ(read(text).rotatedMembers, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ReadAnlBetaTest,
    ::testing::Values(
        BetaCase{"RangeThenSingle", {echo(9, "BETA 90 MEMB 1 TO 4 17"), echo(10, "FINISH")}, {1, 2, 3, 4, 17}},
        BetaCase{"BackwardRangeAddsOne", {echo(9, "BETA 90 MEMB 5 TO 3"), echo(10, "FINISH")}, {5, 6}},
        BetaCase{"TwoBlanksBeforeToIsNoRange", {echo(9, "BETA 90 MEMB 1  TO 14"), echo(10, "FINISH")}, {1, 14}},
        BetaCase{"OneDigitAtTheEndOfTheLine", {echo(27, "BETA 90 MEMB 4"), echo(28, "MATERIAL CONCRETE ALL")}, {4}},
        BetaCase{"ContinuationLines",
                 {echo(18, "BETA 90 MEMB 2 TO 4 -"), echo(19, "6"), echo(20, "8 TO 9"), echo(21, "SUPPORTS")},
                 {2, 3, 4, 6, 8, 9}},
        BetaCase{"ContinuationAfterPageHeading",
                 {echo(18, "BETA 90 MEMB 2 -"), kHeading, "        ", echo(19, "7"), echo(20, "SUPPORTS")},
                 {2, 7}},
        BetaCase{
            "SeveralCommandsAppend",
            {echo(9, "BETA 90 MEMB 3"), echo(10, "E CONCRETE ALL"), echo(11, "BETA 90 MEMB 1 3"), echo(12, "FINISH")},
            {3, 1, 3}},
        BetaCase{"CommandRightAfterAListIsNotRead",
                 {echo(9, "BETA 90 MEMB 3"), echo(10, "BETA 90 MEMB 5"), echo(11, "FINISH")},
                 {3}},
        BetaCase{"FileEndsInsideTheList", {echo(9, "BETA 90 MEMB 1 TO 3 -")}, {1, 2, 3}},
        BetaCase{"NoList", {echo(9, "FINISH")}, {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ReadAnlBeta, FileEndingInsideAListIsNotedAsCutOff) {
    const std::string complete =
        frameWith("UNIT METER KN", report({echo(9, "BETA 90 MEMB 1 TO 3"), echo(10, "FINISH")}) +
                                       columnBlock(1, " 300.0 mm X  450.0 mm", "   1080.00"));
    EXPECT_EQ(read(complete).endsInside, "");
    const Model cut = read(frameWith("UNIT METER KN", report({echo(9, "BETA 90 MEMB 1 TO 3 -")})));
    EXPECT_EQ(cut.endsInside, "\"BETA 90 MEMB\" list");
}

struct SectionCase {
    const char* name;
    const char* unitLine;
    std::vector<std::string> lines;  // after the members
    std::vector<MemberSection> expected;
};

class ReadAnlSectionTest : public ::testing::TestWithParam<SectionCase> {};

TEST_P(ReadAnlSectionTest, ReadsThePrismaticSections) {
    std::string text = frameWith(GetParam().unitLine, "");
    for (const auto& line : GetParam().lines) text += line + "\r\n";
    const std::vector<MemberSection> sections = read(text).sectionTab;
    ASSERT_EQ(sections.size(), GetParam().expected.size());
    for (size_t i = 0; i < sections.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sections[i].member, GetParam().expected[i].member);
        EXPECT_EQ(sections[i].yd, GetParam().expected[i].yd);
        EXPECT_EQ(sections[i].zd, GetParam().expected[i].zd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Properties, ReadAnlSectionTest,
    ::testing::Values(
        SectionCase{"RangeAndSingle",
                    "UNIT METER KN",
                    {echo(9, "MEMBER PROPERTY INDIAN"), echo(10, "1 TO 3 7 PRIS YD 0.45 ZD 0.3"), echo(11, "FINISH")},
                    {{1, 450, 300}, {2, 450, 300}, {3, 450, 300}, {7, 450, 300}}},
        SectionCase{"ContinuationOverAPageHeading",
                    "UNIT METER KN",
                    {echo(9, "MEMBER PROPERTY"), echo(10, "4 2 -"), kHeading, "        ", echo(11, "9 PRIS YD 0.6 -"),
                     echo(12, "ZD 0.3"), echo(13, "CONSTANTS")},
                    {{2, 600, 300}, {4, 600, 300}, {9, 600, 300}}},
        SectionCase{"RoundInMillimetres",
                    "UNIT MMS KN",
                    {echo(9, "MEMBER PROPERTY INDIAN"), echo(10, "5 PRIS YD 450"), echo(11, "FINISH")},
                    {{5, 450, 0}}},
        SectionCase{"LaterAssignmentCounts",
                    "UNIT METER KN",
                    {echo(9, "MEMBER PROPERTY"), echo(10, "1 TO 3 PRIS YD 0.45 ZD 0.3"), echo(11, "CONSTANTS"),
                     echo(12, "MEMBER PROPERTY"), echo(13, "2 PRIS YD 0.6 ZD 0.3"), echo(14, "FINISH")},
                    {{1, 450, 300}, {2, 600, 300}, {3, 450, 300}}},
        SectionCase{"OtherAssignmentsArePassedOver",
                    "UNIT METER KN",
                    {echo(9, "MEMBER PROPERTY"), echo(10, "1 TABLE ST ISMB300"), echo(11, "_COLS PRIS YD 0.3"),
                     echo(12, "2 PRIS AX 0.1"), echo(13, "4 PRIS YD 0.3 ZD 0.2; 5 PRIS YD 0.4"), echo(14, "FINISH")},
                    {{4, 300, 200}, {5, 400, 0}}},
        SectionCase{"PrintedTableOfTheResultsIsNoCommand",
                    "UNIT METER KN",
                    {"   MEMBER PROPERTIES. UNIT - CM", "      1  PRIS YD 45.0 ZD 30.0"},
                    {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ReadAnlSections, CommandsRightAfterTheMembersAndTheSectionsAreRead) {
    const Model model =
        read(report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 0 0; 2 0 3 0"),
                     echo(4, "MEMBER INCIDENCES"), echo(5, "1 1 2"), echo(6, "MEMBER PROPERTY"),
                     echo(7, "1 PRIS YD 0.45 ZD 0.3"), echo(8, "BETA 90 MEMB 1"), echo(9, "FINISH")}));
    ASSERT_EQ(model.sectionTab.size(), 1u);
    EXPECT_EQ(model.sectionTab[0].yd, 450.0f);
    EXPECT_EQ(model.rotatedMembers, std::vector<int32_t>{1});
}

}  // namespace
}  // namespace tierwise
