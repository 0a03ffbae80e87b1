#include "reader/anl_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <vector>
#include <string>

#include "model/rejection.h"
#include "platform/anl_file.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

// An analysis report's lines, CR LF terminated as on Windows.
std::string report(std::initializer_list<std::string> lines, const char* eol = "\r\n") {
    std::string text;
    for (const auto& line : lines) text += line + eol;
    return text;
}

// An echoed input line: the line number right-aligned in 6 characters, a point and a blank.
std::string echo(int number, const std::string& command) {
    char head[16];
    std::snprintf(head, sizeof head, "%6d. ", number);
    return head + command;
}

Model read(const std::string& text) {
    MemorySource source(text);
    LineSource lines(source);
    return readAnl(lines, "frame.anl");
}

std::string rejection(const std::string& text) {
    try {
        read(text);
    } catch (const Rejection& r) {
        return r.what();
    }
    return "(accepted)";
}

const std::string kHeading = " \f    OFFICE BLOCK B                                           -- PAGE NO.    7";
const std::string kEndOfRun = "         *********** END OF THE STAAD.Pro RUN ***********";

std::string columnBlock(int member, const std::string& section, const std::string& area) {
    char header[96];
    std::snprintf(header, sizeof header, "                 C O L U M N   N O. %7d  D E S I G N   R E S U L T S",
                  member);
    return report({" " + std::string(77, '='), "", header, "",
                   "     M25                          Fe415 (Main)            Fe415 (Sec.)", "",
                   "     LENGTH:  3200.0 mm   CROSS SECTION: " + section + "  COVER: 40.0 mm", "",
                   "     ** GUIDING LOAD CASE:    12  END JOINT:      7  SHORT COLUMN", "",
                   area.empty() ? "" : "     REQD. STEEL AREA   : " + area + " Sq.mm.",
                   "     REQD. CONCRETE AREA:  133920.00 Sq.mm.", ""});
}

// A two-storey frame line: joints 1, 2, 3 up one vertical line, columns 1 and 2.
std::string frameWith(const std::string& unitLine, const std::string& afterMembers) {
    return report({echo(1, "STAAD SPACE"), echo(2, unitLine), echo(3, "JOINT COORDINATES"),
                   echo(4, "1 0 0 0; 2 0 3.5 0"), echo(5, "3 0 7 0"), echo(6, "MEMBER INCIDENCES"),
                   echo(7, "1 1 2; 2 3 2"), echo(8, "CONSTANTS")}) +
           afterMembers;
}

TEST(ReadAnlUnit, ConvertsCoordinatesToCentimetres) {
    struct Case {
        const char* unitLine;
        const char* joint;
        JointEntry expected;
    } cases[] = {
        {"UNIT METER KN", "1 0 3.5 0", {1, 0, 350, 0}},
        {"UNIT MMS KN", "2 2500 3000 -1250", {2, 250, 300, -125}},
        {"UNIT MMS NEWTON", "3 25 5 15", {3, 3, 1, 2}},  // the single-precision 0.1 lifts 2.5 to 3; 1.5 gives 2
        {"UNIT METER KG", "4 327.67 -327.68 1000", {4, 32767, -32768, 100000}},
        {"UNIT METER KN", "5 0.005 0.015 0.025", {5, 0, 2, 2}},  // halves to even
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unitLine) + " / " + c.joint);
        const Model model = read(report({echo(1, c.unitLine), echo(2, "JOINT COORDINATES"), echo(3, c.joint),
                                         echo(4, "MEMBER INCIDENCES"), echo(5, "1 1 1")}));
        ASSERT_EQ(model.jointCount(), 1);
        const JointEntry& j = model.joints[0];
        EXPECT_EQ(j.number, c.expected.number);
        EXPECT_EQ(j.x, c.expected.x);
        EXPECT_EQ(j.y, c.expected.y);
        EXPECT_EQ(j.z, c.expected.z);
    }
}

TEST(ReadAnlUnit, OnlyTheFirstUnitLineCounts) {
    const Model model = read(report({echo(1, "UNIT MMS KN"), echo(2, "UNIT METER KN"), echo(3, "JOINT COORDINATES"),
                                     echo(4, "1 1000 0 0"), echo(5, "MEMBER INCIDENCES")}));
    EXPECT_EQ(model.joints[0].x, 100);
}

// Which line is the UNIT command, and which of its words the length unit.
TEST(ReadAnlUnit, TakesTheFirstUnitCommandAndFindsItsLengthWord) {
    struct Case {
        const char* name;
        std::vector<std::string> before;  // lines ahead of the joints
        std::optional<LengthUnit> unit;   // empty: refused with the fixed message
    } cases[] = {
        {"TitleHoldingUnit", {echo(1, "STAAD SPACE COMMUNITY CENTRE"), echo(2, "UNIT METER KN")}, LengthUnit::Metre},
        {"TitleStartingWithUnit",
         {echo(1, "STAAD SPACE UNIT 4 WAREHOUSE"), "     UNIT 4 WAREHOUSE       -- PAGE NO.    1",
          echo(2, "UNIT MMS KN")},
         LengthUnit::Millimetre},
        {"ForceFirst", {echo(2, "UNIT KN METER")}, LengthUnit::Metre},
        {"RepeatedBlanks", {echo(2, "UNIT  MMS   KN")}, LengthUnit::Millimetre},
        {"LengthAlone", {echo(2, "UNIT MMS")}, LengthUnit::Millimetre},
        {"Plural", {echo(2, "UNIT METERS KN")}, LengthUnit::Metre},
        {"Feet", {echo(2, "UNIT FEET KIP")}, std::nullopt},
        {"ForceOnly", {echo(2, "UNIT KN"), echo(3, "UNIT METER KN")}, std::nullopt},
        {"Millimetres", {echo(2, "UNIT MM KN")}, std::nullopt},
        {"LowerCase", {echo(2, "UNIT meter KN")}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines = c.before;
        for (const auto& line : {echo(3, "JOINT COORDINATES"), echo(4, "1 0 3.5 0"), echo(5, "MEMBER INCIDENCES")})
            lines.push_back(line);
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        if (c.unit) {
            EXPECT_EQ(read(text).unit, *c.unit);
        } else {
            EXPECT_EQ(rejection(text), "Change the units to Meter Or mm ");
        }
    }
}

// A damaged joint or member line is refused with its line rather than read into shifted fields.
TEST(ReadAnlData, RefusesLinesThatAreNotWholeRecordsOfNumbers) {
    struct Case {
        std::string joints;
        const char* members;
        const char* message;  // empty: read
    } cases[] = {
        {"1 0 0 0; 2 0 3 0", "1 1 2", ""},
        {"1\t0\t0\t0; 2,0,3,0", "1 1 2", ""},  // tabs and commas separate numbers
        {"1 NaN 0 0; 2 0 3 0", "1 1 2",
         "frame.anl, line 3: \"NaN\" is not a number; each joint is a record of 4 numbers"},
        {"1 0 1.2.3 0; 2 0 3 0", "1 1 2", "frame.anl, line 3: \"1.2.3\" is not a number"},
        {"1 0 0 0; 2 0 1E3 0", "1 1 2", "frame.anl, line 3: \"1E3\" is not a number"},
        {"1 0 0; 2 0 3 0", "1 1 2", "frame.anl, line 3: a record ends after 3 numbers; each joint is a record of 4"},
        {"1 0 0 0; 2 0 3", "1 1 2", "frame.anl, line 3: a record ends after 3 numbers"},  // at the next command
        {"1 0 0 0 REPEAT 2 0 3 0", "1 1 2", "frame.anl, line 3: \"REPEAT\" is not a number"},
        {"1 0 0 0; 2 0 3 0", "1 1 2 3",
         "frame.anl, line 5: a record ends after 1 number; each member is a record of 3"},
        {std::string("1 0 0 0; 2 0") + std::string(3, '\0') + " 3 0", "1 1 2",
         "frame.anl, line 3: the line holds NUL bytes inside the joint coordinates"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.joints + std::string(" / ") + c.members);
        const std::string text = report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, c.joints),
                                         echo(4, "MEMBER INCIDENCES"), echo(5, c.members), echo(6, "FINISH")});
        const std::string said = rejection(text);
        if (*c.message == '\0') {
            EXPECT_EQ(said, "(accepted)");
        } else {
            EXPECT_EQ(said.substr(0, std::string(c.message).size()), c.message) << said;
        }
    }
}

TEST(ReadAnlJoints, ReadsEveryLayoutOfTheJointBlock) {
    const Model model = read(report({
        echo(6, "UNIT METER KN"),
        echo(7, "JOINT COORDINATES"),
        echo(8, "1 0 0 0; 2 6 0 0; 3 12 0 0"),  // several per line
        "",
        kHeading,
        "        ",                  // a page heading inside the data
        echo(9, "4 0 3.2"),          // a joint split over two lines
        echo(10, "0; 5 6 3.2 0 -"),  // a trailing " -" gives no extra field
        echo(11, "6 12 3.2 0; "),    // nor does a trailing "; "
        echo(12, "7"),               // a one-digit number alone at the end of a line
        echo(13, "12 3.2 0"),
        echo(13, "* comment lines end the block"),
        echo(14, "MEMBER INCIDENCES"),
        echo(15, "1 1 4"),
    }));
    ASSERT_EQ(model.jointCount(), 7);
    const int expected[7][4] = {{1, 0, 0, 0},     {2, 600, 0, 0},    {3, 1200, 0, 0},  {4, 0, 320, 0},
                                {5, 600, 320, 0}, {6, 1200, 320, 0}, {7, 1200, 320, 0}};
    for (int j = 0; j < 7; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(model.joints[j].number, expected[j][0]);
        EXPECT_EQ(model.joints[j].x, expected[j][1]);
        EXPECT_EQ(model.joints[j].y, expected[j][2]);
        EXPECT_EQ(model.joints[j].z, expected[j][3]);
    }
}

TEST(ReadAnlMembers, ReadsMembersAndTurnsThemToRunUpwards) {
    const Model model = read(report({
        echo(1, "UNIT METER KN"),
        echo(2, "JOINT COORDINATES"),
        echo(3, "1 0 0 0; 2 0 3 0; 3 5 3 0; 4 0 3 5"),
        echo(4, "MEMBER INCIDENCES"),
        echo(5, "1 1 2; 2 2 1; 3 3 2"),  // 2 runs top down; 3 runs towards smaller X
        echo(6, "4 2 99"),               // joint 99 is unknown: it compares as a joint at the origin
        echo(7, "100001 1 2"),           // member numbers beyond 16 bits
        echo(8, "5 4 2"),                // runs towards smaller Z
        echo(9, "FINISH"),
    }));
    ASSERT_EQ(model.memberCount(), 6);
    const int expected[6][3] = {{1, 1, 2}, {2, 1, 2}, {3, 2, 3}, {4, 99, 2}, {100001, 1, 2}, {5, 2, 4}};
    for (int m = 0; m < 6; ++m) {
        SCOPED_TRACE(m);
        EXPECT_EQ(model.members[m].number, expected[m][0]);
        EXPECT_EQ(model.members[m].start, expected[m][1]);
        EXPECT_EQ(model.members[m].end, expected[m][2]);
    }
}

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

TEST(ReadAnlColumns, ReadsEveryBlock) {
    const Model model = read(frameWith("UNIT METER KN", columnBlock(1, " 300.0 mm X  450.0 mm", "   1080.00") +
                                                            columnBlock(2, " 450.0 mm dia.", "   2513.27")));
    ASSERT_EQ(model.designBlockCount(), 2);
    const DesignBlock& rect = model.designBlocks[0];
    EXPECT_EQ(rect.memberNo, 1.0f);
    EXPECT_EQ(rect.length, 3200.0f);
    EXPECT_EQ(rect.width, 300.0f);
    EXPECT_EQ(rect.depth, 450.0f);
    EXPECT_EQ(rect.steelArea, 1080.0f);
    const DesignBlock& round = model.designBlocks[1];
    EXPECT_EQ(round.width, 450.0f);
    EXPECT_EQ(round.depth, 0.0f) << "a circular section has no X";
    EXPECT_EQ(round.steelArea, 2513.27f) << "the last digit lies beyond the ten characters after the keyword";
}

TEST(ReadAnlColumns, ReadsTheTenCharactersAfterAKeyword) {
    struct Case {
        const char* areaField;
        float expected;
    } cases[] = {
        {"   1080.37", 1080.37f},     // as printed: 11 characters, the last beyond the ten
        {"  12345.67", 12345.67f},    // longer still
        {"1080.37", 1080.37f},        // close to the keyword
        {"          1080.37", 0.0f},  // starts beyond the ten characters: no area, a failed column
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.areaField);
        const std::string text = frameWith("UNIT METER KN", columnBlock(1, " 300.0 mm X  450.0 mm", c.areaField));
        if (c.expected == 0.0f) {
            EXPECT_EQ(rejection(text), " Failed Columns  1");
        } else {
            EXPECT_EQ(read(text).designBlocks[0].steelArea, c.expected);
        }
    }
}

TEST(ReadAnlColumns, BlockWithoutLengthTakesTheNextBlocksArea) {
    std::string withoutLength = columnBlock(7, " 300.0 mm X  450.0 mm", "   1111.00");
    withoutLength.replace(withoutLength.find("LENGTH:"), 7, "LONG:  ");
    const Model model =
        read(frameWith("UNIT METER KN", withoutLength + columnBlock(8, " 300.0 mm X  600.0 mm", "   2222.00") +
                                            columnBlock(9, " 300.0 mm X  600.0 mm", "   3333.00")));
    ASSERT_EQ(model.designBlockCount(), 2);
    EXPECT_EQ(model.designBlocks[0].memberNo, 7.0f);
    EXPECT_EQ(model.designBlocks[0].length, 0.0f);
    EXPECT_EQ(model.designBlocks[0].steelArea, 2222.0f) << "the search for the area ran on into block 8";
    EXPECT_EQ(model.designBlocks[1].memberNo, 9.0f) << "block 8 has no entry of its own";
}

TEST(ReadAnlColumns, ReportsTheFailedColumns) {
    const std::string text = frameWith("UNIT METER KN", columnBlock(12, " 300.0 mm X  450.0 mm", "") +
                                                            columnBlock(13, " 300.0 mm X  450.0 mm", "   1080.00") +
                                                            columnBlock(15, " 300.0 mm X  450.0 mm", "      0.00"));
    EXPECT_EQ(rejection(text), " Failed Columns  12 15");
}

TEST(ReadAnlColumns, HeaderOnTheLastLineStartsOneBlock) {
    std::string text = frameWith("UNIT METER KN", columnBlock(1, " 300.0 mm X  450.0 mm", "   1080.00"));
    text += "                 C O L U M N   N O.       2  D E S I G N   R E S U L T S";
    const Model cut = read(text);
    EXPECT_EQ(cut.designBlockCount(), 1) << "the block the file is cut off in is left out";
    EXPECT_EQ(cut.cutOffColumn, 2.0f);
    EXPECT_EQ(rejection(text + "\r\n" + kEndOfRun), " Failed Columns  2") << "a complete file: the column failed";
}

TEST(ReadAnlColumns, ExchangesRotatedSectionsOncePerListing) {
    const std::string blocks =
        columnBlock(1, " 300.0 mm X  450.0 mm", "   1080.00") + columnBlock(2, " 300.0 mm X  450.0 mm", "   1080.00");
    const Model model =
        read(frameWith("UNIT METER KN", report({echo(9, "BETA 90 MEMB 1 2 2"), echo(10, "FINISH")}) + blocks));
    EXPECT_EQ(model.designBlocks[0].width, 450.0f);
    EXPECT_EQ(model.designBlocks[0].depth, 300.0f);
    EXPECT_EQ(model.designBlocks[1].width, 300.0f) << "listed twice: back as printed";
    EXPECT_EQ(model.designBlocks[1].depth, 450.0f);
}

TEST(ReadAnlColumns, FileWithoutDesignBlocksHasNoColumns) {
    EXPECT_EQ(read(frameWith("UNIT METER KN", "")).designBlockCount(), 0);
}

TEST(ReadAnl, ReadsLfAndLoneCrFilesAlike) {
    for (const char* eol : {"\n", "\r"}) {
        const Model model = read(report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 3.5 0"),
                                         echo(4, "MEMBER INCIDENCES"), echo(5, "7 1 1")},
                                        eol));
        EXPECT_EQ(model.joints[0].y, 350);
        EXPECT_EQ(model.members[0].number, 7);
    }
}

TEST(ReadAnl, EndOfFileEndsTheJointAndMemberBlocks) {
    const Model model = read(report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 0 0"),
                                     echo(4, "MEMBER INCIDENCES"), echo(5, "1 1 2")}));
    EXPECT_EQ(model.memberCount(), 1);
    EXPECT_EQ(model.endsInside, "member incidences") << "the file is cut off";
    EXPECT_EQ(model.endLine, 5);
    EXPECT_EQ(rejection(report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 0 0")})),
              "frame.anl: no \"MEMBER INCIDENCES\" was found after the joint coordinates");
}

struct RejectCase {
    const char* name;
    std::string text;
    std::string message;
};

class ReadAnlRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(ReadAnlRejectTest, SaysWhatIsWrong) { EXPECT_EQ(rejection(GetParam().text), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(
    Files, ReadAnlRejectTest,
    ::testing::Values(
        RejectCase{"Empty", "",
                   "frame.anl: no \"UNIT\" line was found, so the unit of length is unknown; is this an analysis "
                   "output file?"},
        RejectCase{"NoUnit", report({echo(1, "JOINT COORDINATES")}),
                   "frame.anl: no \"UNIT\" line was found, so the unit of length is unknown; is this an analysis "
                   "output file?"},
        RejectCase{"UnitInLowerCase", report({echo(1, "UNIT meter KN")}), "Change the units to Meter Or mm "},
        RejectCase{"Feet", report({echo(1, "UNIT FEET KIP")}), "Change the units to Meter Or mm "},
        RejectCase{"NoJoints", report({echo(1, "UNIT METER KN"), echo(2, "MEMBER INCIDENCES")}),
                   "frame.anl: no \"JOINT COORDINATES\" was found after the UNIT line"},
        RejectCase{
            "NoMembers",
            report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 0 0"), echo(4, "FINISH")}),
            "frame.anl: no \"MEMBER INCIDENCES\" was found after the joint coordinates"},
        RejectCase{"CoordinateTooLarge",
                   report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 0 30000000")}),
                   "frame.anl, line 3: a joint coordinate in centimetres does not fit a 32-bit whole number"},
        RejectCase{"MemberNumberTooLarge",
                   report({echo(1, "UNIT METER KN"), echo(2, "JOINT COORDINATES"), echo(3, "1 0 0 0"),
                           echo(4, "MEMBER INCIDENCES"), echo(5, "9999999999 1 2")}),
                   "frame.anl, line 5: a member number does not fit a 32-bit whole number"},
        RejectCase{
            "BetaRangeTooLong", frameWith("UNIT METER KN", report({echo(9, "BETA 90 MEMB 1 TO 2000000000")})),
            "frame.anl, line 9: with the range 1 TO 2000000000, the members listed under \"BETA 90 MEMB\" come to more "
            "than 1000000, longer than any model has"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ReadAnlFile, NamesAFileThatCannotBeOpened) {
    try {
        readAnlFile(std::filesystem::path("/nonexistent/model.anl"));
        FAIL() << "accepted";
    } catch (const Rejection& r) {
        EXPECT_STREQ(r.what(), "Cannot open /nonexistent/model.anl: No such file or directory");
    }
}

TEST(ReadAnlFile, ReadsTheBundledSample) {
    const Model model = readAnlFile(std::filesystem::path(TIERWISE_SAMPLES_DIR) / "office-block.anl");
    EXPECT_EQ(model.jointCount(), 43);
    EXPECT_EQ(model.memberCount(), 78);
    EXPECT_EQ(model.rotatedMemberCount(), 12);
    EXPECT_EQ(model.designBlockCount(), 34);
}

}  // namespace
}  // namespace tierwise
