#include "grid/grid_index.h"

#include <cmath>
#include <cstring>

namespace tierwise::detail {

namespace {

uint64_t pairKey(int32_t startJoint, int32_t endJoint) {
    return (uint64_t{static_cast<uint32_t>(startJoint)} << 32) | static_cast<uint32_t>(endJoint);
}

// Single-precision numbers that compare equal get the same key: -0 is 0.
uint64_t floatKey(float value) {
    if (value == 0.0f) value = 0.0f;
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

MemberIndex::MemberIndex(const std::vector<MemberEntry>& members) : memberTab_(members), byJoints_(members.size()) {
    for (size_t i = 0; i < members.size(); ++i) {
        const MemberEntry& member = members[i];
        byJoints_.insertFirst(pairKey(member.start, member.end), static_cast<uint32_t>(i + 1), [&](uint32_t row) {
            const MemberEntry& held = members[row - 1];
            return held.start == member.start && held.end == member.end;
        });
    }
}

int32_t MemberIndex::findMember(int32_t startJoint, int32_t endJoint) const {
    const uint32_t row = byJoints_.find(pairKey(startJoint, endJoint), [&](uint32_t held) {
        const MemberEntry& member = memberTab_[held - 1];
        return member.start == startJoint && member.end == endJoint;
    });
    return row == 0 ? 0 : memberTab_[row - 1].number;
}

ColumnIndex::ColumnIndex(const std::vector<DesignBlock>& designBlocks)
    : colTab_(designBlocks), byMember_(designBlocks.size()) {
    for (size_t i = 0; i < designBlocks.size(); ++i) {
        const float memberNo = designBlocks[i].memberNo;
        if (std::isnan(memberNo)) continue;  // equals no member number
        byMember_.insertFirst(floatKey(memberNo), static_cast<uint32_t>(i + 1),
                              [&](uint32_t row) { return designBlocks[row - 1].memberNo == memberNo; });
    }
}

int32_t ColumnIndex::findColRow(int32_t memberNo) const {
    const auto wanted = static_cast<float>(memberNo);
    return static_cast<int32_t>(
        byMember_.find(floatKey(wanted), [&](uint32_t row) { return colTab_[row - 1].memberNo == wanted; }));
}

}  // namespace tierwise::detail
