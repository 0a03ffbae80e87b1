#include "reader/anl_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/flat_index.h"
#include "model/numbers.h"
#include "model/rejection.h"
#include "reader/design_blocks.h"
#include "reader/echoed_input.h"
#include "reader/member_lists.h"
#include "reader/read_cursor.h"
#include "reader/scanning.h"

namespace tierwise {

namespace {

// The lists of the echoed input, each read by its own phase, up to the first column header (the
// design blocks' phase starts at it) or the file's end. The line that ended the member incidences
// or a BETA list is passed over; the command that ended the member properties is examined, as
// that block has no end line of its own. The member properties are echoed before CONSTANTS, under
// which the BETA lists stand: after the first BETA list they are no longer looked for, so that the
// results text, most of a large file, is scanned for one keyword fewer.
void readEchoedLists(ReadCursor& cursor, Model& model) {
    MemberPropertyReader properties;
    bool examineLineInHand = isEchoedCommand(cursor.line(), kMemberProperty);
    bool betaListRead = false;
    for (;;) {
        if (!examineLineInHand) {
            if (cursor.atEnd()) break;
            if (betaListRead) {
                cursor.nextResultLineContaining(std::array{kBetaKeyword, kColumnHeader});
            } else {
                cursor.nextResultLineContaining(std::array{kBetaKeyword, kColumnHeader, kMemberProperty});
            }
        }
        const LineKind kind = classifyLine(cursor.line());
        if (std::exchange(examineLineInHand, false) && kind == LineKind::None) continue;
        if (kind == LineKind::Beta) {
            readBetaList(cursor, model);
            betaListRead = true;
        } else if (kind == LineKind::MemberProperty) {
            // A heading of the results ("MEMBER PROPERTIES") is no command.
            if (betaListRead || !isEchoedCommand(cursor.line(), kMemberProperty)) continue;
            examineLineInHand = properties.read(cursor, model.unit);
        } else {
            break;
        }
    }
    properties.finish(model);
}

// Width and depth change places once for every time the member is listed under "BETA 90 MEMB";
// a section printed as a diameter stays as it is.
void exchangeRotatedSections(Model& model) {
    if (model.rotatedMembers.empty()) return;
    // Counted for the designed columns only: the BETA list may be far longer. A member
    // designed twice is counted at its first block, and both blocks follow that count.
    std::vector<DesignBlock>& cols = model.designBlocks;
    const BlockIndex blocks(cols);
    std::vector<bool> listedOddTimes(cols.size() + 1, false);  // by first block; [0] stays false
    for (const int32_t member : model.rotatedMembers) {
        const auto memberNo = static_cast<float>(member);
        if (static_cast<double>(memberNo) != member) continue;  // no block prints it
        const uint32_t row = blocks.firstBlock(memberNo);
        if (row != 0) listedOddTimes[row] = !listedOddTimes[row];
    }
    for (DesignBlock& col : cols) {
        if (listedOddTimes[blocks.firstBlock(col.memberNo)] && !col.circular) std::swap(col.width, col.depth);
    }
}

// Every member is turned to run towards larger X, Y and Z, so a column runs bottom up.
// A joint number missing from the joint table compares as a joint at the origin; a number
// listed twice is taken at its first entry.
void orientMembers(Model& model) {
    const std::vector<JointEntry>& joints = model.joints;
    FlatIndex byNumber(joints.size());
    for (size_t j = 0; j < joints.size(); ++j) {
        const int32_t number = joints[j].number;
        byNumber.insertFirst(static_cast<uint32_t>(number), static_cast<uint32_t>(j + 1),
                             [&](uint32_t row) { return joints[row - 1].number == number; });
    }
    const JointEntry missing{};
    auto jointOf = [&](int32_t number) -> const JointEntry& {
        const uint32_t row = byNumber.find(static_cast<uint32_t>(number),
                                           [&](uint32_t held) { return joints[held - 1].number == number; });
        return row == 0 ? missing : joints[row - 1];
    };
    for (MemberEntry& member : model.members) {
        const JointEntry& s = jointOf(member.start);
        const JointEntry& e = jointOf(member.end);
        if (s.x > e.x || s.y > e.y || s.z > e.z) std::swap(member.start, member.end);
    }
}

void rejectFailedColumns(const Model& model) {
    std::string failedCols;  // member numbers, each after a blank
    for (const DesignBlock& col : model.designBlocks) {
        if (col.steelArea == 0.0f) failedCols.append(" ").append(formatSingle(col.memberNo));
    }
    if (!failedCols.empty()) throw Rejection(" Failed Columns " + failedCols);
}

}  // namespace

Model readAnl(LineSource& lines, const std::string& fileName) {
    ReadCursor cursor(lines, fileName);
    Model model;
    readTitle(cursor, model);
    readUnit(cursor, model);
    readJoints(cursor, model);
    readMembers(cursor, model);
    readEchoedLists(cursor, model);
    DesignBlockReader designBlocks;
    designBlocks.read(cursor, model);
    designBlocks.noteCutOff(cursor, model);
    exchangeRotatedSections(model);
    orientMembers(model);
    rejectFailedColumns(model);
    return model;
}

std::string cutOffMessage(const Model& model, const std::string& fileName) {
    if (model.cutOffLine == 0) return {};
    std::string where = "line " + std::to_string(model.cutOffLine);
    if (model.cutOffColumn) where += ", inside the design block of column " + formatSingle(*model.cutOffColumn) + ",";
    return fileName + " ends at " + where +
           " without the end of the analysis run; it looks cut off, so its schedule would be incomplete.";
}

}  // namespace tierwise
