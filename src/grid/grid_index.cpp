#include "grid/grid_index.h"

namespace tierwise::detail {

namespace {

uint64_t pairKey(int32_t startJoint, int32_t endJoint) {
    return (uint64_t{static_cast<uint32_t>(startJoint)} << 32) | static_cast<uint32_t>(endJoint);
}

}  // namespace

MemberIndex::MemberIndex(const std::vector<MemberEntry>& members)
    : memberTab_(members), byJoints_(members.size()) {
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

}  // namespace tierwise::detail
