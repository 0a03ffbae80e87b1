#include "reader/read_cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "reader/scanning.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

// A search for a key through results text notes the last end banner it passed, so that a file
// cut off after its design blocks is told from a complete one.
TEST(ReadCursor, SearchForAKeyNotesTheEndBannersPassed) {
    struct Case {
        const char* name;
        std::string text;
        int64_t foundLine;   // the line in hand after the search
        int64_t runEndLine;  // 0: no banner passed
    } cases[] = {
        {"BannerBeforeTheKey", "results\n*** END OF THE STAAD.Pro RUN ***\nmore\nBETA 90 MEMB 1\n", 4, 2},
        {"NoBanner", "results\nBETA 90 MEMB 1\n*** END OF THE STAAD.Pro RUN ***\n", 2, 0},
        {"EndOfThePageIsNoBanner", "END OF THE PAGE\nBETA 90 MEMB 1\n", 2, 0},
        {"NoKeyStopsAtTheLastLine", "results\n*** END OF THE STAAD.Pro RUN ***\nlast\n", 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.text);
        LineSource lines(source);
        ReadCursor cursor(lines, "f.anl");
        cursor.nextResultLineContaining(std::array{kBetaKeyword});
        EXPECT_EQ(cursor.lineNumber(), c.foundLine);
        EXPECT_EQ(cursor.runEndLine(), c.runEndLine);
    }
}

}  // namespace
}  // namespace tierwise
