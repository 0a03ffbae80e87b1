#include "reader/anl_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "anl_text.h"
#include "model/rejection.h"
#include "platform/anl_file.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using namespace anl_text;
using support::PrintTo;

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
            "than 1000000, longer than any model has"},
        RejectCase{
            "SectionAssignmentTooLong",
            frameWith("UNIT METER KN", report({echo(9, "MEMBER PROPERTY"), echo(10, std::string(600'000, '1') + " -"),
                                               echo(11, std::string(600'000, '2') + " -")})),
            "frame.anl, line 11: a member property assignment goes on over more continuation lines than a line "
            "of the report may be long; is this an analysis output file?"},
        RejectCase{
            "SectionRangeTooLong",
            frameWith("UNIT METER KN", report({echo(9, "MEMBER PROPERTY"), echo(10, "1 TO 999999 5 TO 6 PRIS YD 1")})),
            "frame.anl, line 10: with the range 5 TO 6, the members listed under \"MEMBER PROPERTY\" come to more "
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
    EXPECT_EQ(model.sectionTab.size(), 34u + 44u);
}

// The sample's echo gives each column the section its design block prints: ZD X YD, or YD alone
// for a diameter, whether or not BETA 90 turns the column.
TEST(ReadAnlFile, TheSamplesEchoAgreesWithItsDesignBlocks) {
    const Model model = readAnlFile(std::filesystem::path(TIERWISE_SAMPLES_DIR) / "office-block.anl");
    for (const DesignBlock& col : model.designBlocks) {
        const auto member = static_cast<int32_t>(col.memberNo);
        SCOPED_TRACE(member);
        const auto section = std::lower_bound(model.sectionTab.begin(), model.sectionTab.end(), member,
                                              [](const MemberSection& s, int32_t m) { return s.member < m; });
        ASSERT_TRUE(section != model.sectionTab.end() && section->member == member);
        const bool turned = std::count(model.rotatedMembers.begin(), model.rotatedMembers.end(), member) % 2 == 1;
        EXPECT_EQ(section->zd, col.circular ? 0.0f : turned ? col.depth : col.width);
        EXPECT_EQ(section->yd, col.circular || turned ? col.width : col.depth);
        EXPECT_EQ(col.concreteGrade, 25);
        EXPECT_EQ(col.cover, 40.0f);
    }
}

}  // namespace
}  // namespace tierwise
