// The echoed input: the unit of length, the joint coordinates, the member incidences.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "anl_text.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using namespace anl_text;
using support::PrintTo;

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

// Which line is the UNIT command, and which of its words the length unit; the job title before it.
TEST(ReadAnlUnit, TakesTheFirstUnitCommandAndFindsItsLengthWord) {
    struct Case {
        const char* name;
        std::vector<std::string> before;  // lines ahead of the joints
        std::optional<LengthUnit> unit;   // empty: refused with the fixed message
        const char* title = "";
    } cases[] = {
        {"TitleHoldingUnit",
         {"   *  STAAD.Pro  *", echo(1, "STAAD SPACE COMMUNITY CENTRE  "), echo(2, "UNIT METER KN")},
         LengthUnit::Metre,
         "COMMUNITY CENTRE"},
        {"TitleStartingWithUnit",
         {echo(1, "STAAD SPACE UNIT 4 WAREHOUSE"), "     UNIT 4 WAREHOUSE       -- PAGE NO.    1",
          echo(2, "UNIT MMS KN")},
         LengthUnit::Millimetre,
         "UNIT 4 WAREHOUSE"},
        {"Latin1Title",
         {echo(1, "STAAD PLANE B\xDCRO\tHAUS"), echo(2, "UNIT METER KN")},
         LengthUnit::Metre,
         "B\xC3\x9CRO HAUS"},
        {"Utf8Title", {echo(1, "STAAD SPACE B\xC3\x9CRO"), echo(2, "UNIT METER KN")}, LengthUnit::Metre, "B\xC3\x9CRO"},
        {"NoTitle", {echo(1, "STAAD SPACE"), echo(2, "UNIT METER KN")}, LengthUnit::Metre},
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
            const Model model = read(text);
            EXPECT_EQ(model.unit, *c.unit);
            EXPECT_EQ(model.title, c.title);
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

}  // namespace
}  // namespace tierwise
