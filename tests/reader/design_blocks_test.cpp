// The column design blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "anl_text.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using namespace anl_text;
using support::PrintTo;

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

// What a block says besides its section: the grades of its concrete and steels, the cover, and
// whether the section was printed as a diameter. A line or word that is missing reads as 0.
TEST(ReadAnlColumns, ReadsGradesCoverAndRoundSections) {
    struct Case {
        const char* name;
        std::string gradeLine;
        const char* section;
        const char* cover;
        int16_t concrete, mainSteel, tieSteel;
        float coverMm;
        bool circular;
    } cases[] = {
        {"AsPrinted", kGradeLine, " 300.0 mm X  450.0 mm", "  COVER: 40.0 mm", 25, 415, 415, 40.0f, false},
        {"Round", "     M30          Fe500 (Main)     Fe250 (Sec.)", " 450.0 mm dia.", "   COVER: 50.0 mm", 30, 500,
         250, 50.0f, true},
        {"NoGradeLine", "", " 300.0 mm X  450.0 mm", "  COVER: 40.0 mm", 0, 0, 0, 40.0f, false},
        {"NoCover", kGradeLine, " 450.0 mm dia.", "", 25, 415, 415, 0.0f, true},
        {"MainSteelOnly", "     M20          Fe415 (Main)", " 300.0 mm X  450.0 mm", "", 20, 415, 0, 0.0f, false},
        {"WordsWithoutGrades", "     MX           Fe (Main)     FeE (Sec.)", " 300.0 mm X  450.0 mm", "", 0, 0, 0, 0.0f,
         false},
        {"GradeBeyondAnyConcrete", "     M99999       Fe415 (Main)", " 300.0 mm X  450.0 mm", "", 0, 415, 0, 0.0f,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Model model =
            read(frameWith("UNIT METER KN", columnBlock(1, c.section, "   1080.00", c.gradeLine, c.cover)));
        ASSERT_EQ(model.designBlockCount(), 1);
        const DesignBlock& col = model.designBlocks[0];
        EXPECT_EQ(col.concreteGrade, c.concrete);
        EXPECT_EQ(col.mainSteelGrade, c.mainSteel);
        EXPECT_EQ(col.tieSteelGrade, c.tieSteel);
        EXPECT_EQ(col.cover, c.coverMm);
        EXPECT_EQ(col.circular, c.circular);
        EXPECT_EQ(col.length, 3200.0f) << "the grade line is read on the way to the length";
    }
}

TEST(ReadAnlColumns, RoundColumnUnderBeta90KeepsItsDiameterAsWidth) {
    const Model model = read(frameWith("UNIT METER KN", report({echo(9, "BETA 90 MEMB 1 2"), echo(10, "FINISH")}) +
                                                            columnBlock(1, " 450.0 mm dia.", "   2513.27") +
                                                            columnBlock(2, " 300.0 mm X  450.0 mm", "   1080.00")));
    ASSERT_EQ(model.designBlockCount(), 2);
    EXPECT_EQ(model.designBlocks[0].width, 450.0f) << "a circle is the same turned";
    EXPECT_EQ(model.designBlocks[0].depth, 0.0f);
    EXPECT_EQ(model.designBlocks[1].width, 450.0f);
    EXPECT_EQ(model.designBlocks[1].depth, 300.0f);
}

}  // namespace
}  // namespace tierwise
