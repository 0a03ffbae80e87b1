#include "support/model_compare.h"

#include <cstring>

#include "model/numbers.h"

namespace tierwise::support {

namespace {

template <class T>
bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Field by field: the entry's padding holds no value.
bool sameEntry(const DesignBlock& a, const DesignBlock& b) {
    return sameBits(a.memberNo, b.memberNo) && sameBits(a.length, b.length) && sameBits(a.width, b.width) &&
           sameBits(a.depth, b.depth) && sameBits(a.steelArea, b.steelArea) && sameBits(a.cover, b.cover) &&
           a.concreteGrade == b.concreteGrade && a.mainSteelGrade == b.mainSteelGrade &&
           a.tieSteelGrade == b.tieSteelGrade && a.circular == b.circular;
}

}  // namespace

std::string tableDifference(const Model& a, const Model& b) {
    if (a.unit != b.unit) return "the unit differs";
    if (a.jointCount() != b.jointCount()) return "joint counts differ";
    for (size_t j = 0; j < a.joints.size(); ++j) {
        const JointEntry &x = a.joints[j], &y = b.joints[j];
        if (x.number != y.number || x.x != y.x || x.y != y.y || x.z != y.z) return "joint entry " + std::to_string(j);
    }
    if (a.memberCount() != b.memberCount()) return "member counts differ";
    for (size_t m = 0; m < a.members.size(); ++m) {
        const MemberEntry &x = a.members[m], &y = b.members[m];
        if (x.number != y.number || x.start != y.start || x.end != y.end) return "member entry " + std::to_string(m);
    }
    if (a.rotatedMembers != b.rotatedMembers) return "the BETA 90 lists differ";
    if (a.designBlockCount() != b.designBlockCount()) return "column design block counts differ";
    for (size_t c = 0; c < a.designBlocks.size(); ++c) {
        if (!sameEntry(a.designBlocks[c], b.designBlocks[c])) {
            return "column entry " + std::to_string(c) + " (member " + formatSingle(a.designBlocks[c].memberNo) + ")";
        }
    }
    if (a.sectionTab.size() != b.sectionTab.size()) return "member section counts differ";
    for (size_t s = 0; s < a.sectionTab.size(); ++s) {
        const MemberSection &x = a.sectionTab[s], &y = b.sectionTab[s];
        if (x.member != y.member || !sameBits(x.yd, y.yd) || !sameBits(x.zd, y.zd)) {
            return "member section entry " + std::to_string(s);
        }
    }
    if (a.endsInside != b.endsInside || a.endLine != b.endLine) return "where the file ends differs";
    return {};
}

}  // namespace tierwise::support
