// Long BETA lists: a list of every possible member number is read (and turns the columns in it),
// a longer one is refused before it takes memory.
#include <gtest/gtest.h>

#include <string>

#include "model/rejection.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

struct Case {
    const char* name;
    const char* betaList;
    float width;            // of column 999999 (printed 300 X 450); 0 when the file is refused
    const char* rejection;  // a fragment of the message, or nullptr
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class BetaLimitTest : public testing::TestWithParam<Case> {};

TEST_P(BetaLimitTest, ReadsOrRefusesTheList) {
    const Case& c = GetParam();
    const std::string text =
        std::string(
            "     1. UNIT METER KN\n     2. JOINT COORDINATES\n     3. 1 0 0 0; 2 0 3 0\n"
            "     4. MEMBER INCIDENCES\n     5. 999999 1 2\n     6. CONSTANTS\n     7. BETA 90 MEMB ") +
        c.betaList +
        "\n     8. FINISH\n"
        "                 C O L U M N   N O.  999999  D E S I G N   R E S U L T S\n"
        "     LENGTH:  3000.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm  COVER: 40.0 mm\n"
        "     REQD. STEEL AREA   :    1080.00 Sq.mm.\n";
    MemorySource source(text);
    LineSource lines(source);
    try {
        const Model model = readAnl(lines, "tower.anl");
        ASSERT_EQ(c.rejection, nullptr) << "accepted";
        ASSERT_EQ(model.designBlockCount(), 1);
        EXPECT_EQ(model.designBlocks[0].width, c.width);
    } catch (const Rejection& r) {
        ASSERT_NE(c.rejection, nullptr) << r.what();
        EXPECT_NE(std::string(r.what()).find(c.rejection), std::string::npos) << r.what();
        EXPECT_NE(std::string(r.what()).find("tower.anl, line 7"), std::string::npos) << r.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, BetaLimitTest,
                         testing::Values(Case{"EveryMemberNumber", "1 TO 999999", 450.0f, nullptr},
                                         Case{"EveryMemberAndOneTwice", "1 TO 999999 999999", 300.0f, nullptr},
                                         Case{"OneMoreThanAnyModelHas", "1 TO 999999 7 8", 0.0f, "BETA 90 MEMB"},
                                         Case{"RangeOfTenMillion", "1 TO 9999999", 0.0f, "longer than any model has"},
                                         // The message names the entry that passed the limit, not the one before it.
                                         Case{"LaterRangePassesTheLimit", "1 TO 999999 4 TO 6", 0.0f,
                                              "with the range 4 TO 6,"},
                                         Case{"LaterMemberPassesTheLimit", "1 TO 999999 7 8", 0.0f, "with member 8,"}),
                         [](const testing::TestParamInfo<Case>& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace tierwise
