// The reading phases for the lists in the echoed input, each found by its command: members
// rotated by 90 degrees ("BETA 90 MEMB") and the member properties ("MEMBER PROPERTY").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"
#include "reader/read_cursor.h"
#include "reader/scanning.h"

namespace tierwise {

// Guards against a mistyped range expanding into millions of entries: member numbers run to
// six digits, so a list of every member ("1 TO 999999") is the most a model can mean.
inline constexpr int64_t kMaxListedMembers = 1'000'000;

//     50. BETA 90 MEMB 4 TO 6 13 TO 15 -
//     51. 22 TO 24 30 31 32
// Reads the list that starts in the line in hand into model.rotatedMembers, ranges expanded. The line
// in hand afterwards is the command that ended the list.
void readBetaList(ReadCursor& cursor, Model& model);

//     45. MEMBER PROPERTY INDIAN
//     46. 1 TO 9 12 -
//     47. 15 PRIS YD 0.45 ZD 0.3
//     48. 10 11 PRIS YD 0.45
// The prismatic sections of the members, gathered over every "MEMBER PROPERTY" command.
class MemberPropertyReader {
public:
    // Reads the assignments after the command in hand, up to the next command; true when it
    // stopped there (that command is then in hand), false at the file's end. An assignment of
    // another kind than PRIS, or one that names members otherwise than by numbers and ranges, is
    // passed over: it gives no section to draw.
    bool read(ReadCursor& cursor, LengthUnit unit);
    // The sections read, by member (the last assignment of a member counts), into model.sectionTab.
    void finish(Model& model);

private:
    void readStatement(const ReadCursor& cursor, LengthUnit unit);

    std::string statement_;                // an echoed line, its continuation lines joined to it
    std::vector<DataToken> tokens_;        // of statement_
    std::vector<MemberSection> sections_;  // in file order, ranges expanded
};

}  // namespace tierwise
