// Model comparison for the fuzz targets.
#pragma once

#include <algorithm>
#include <cstring>

#include "model/model.h"

namespace tierwise::fuzz {

// The reader's tables, compared bit for bit (a NaN equals itself).
inline bool sameTables(const Model& a, const Model& b) {
    auto sameJoints = [](const JointEntry& x, const JointEntry& y) {
        return x.number == y.number && x.x == y.x && x.y == y.y && x.z == y.z;
    };
    auto sameMembers = [](const MemberEntry& x, const MemberEntry& y) {
        return x.number == y.number && x.start == y.start && x.end == y.end;
    };
    auto sameCols = [](const ColEntry& x, const ColEntry& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return a.unit == b.unit && a.betaTab == b.betaTab &&
           std::equal(a.jointTab.begin(), a.jointTab.end(), b.jointTab.begin(), b.jointTab.end(), sameJoints) &&
           std::equal(a.memberTab.begin(), a.memberTab.end(), b.memberTab.begin(), b.memberTab.end(), sameMembers) &&
           std::equal(a.colTab.begin(), a.colTab.end(), b.colTab.begin(), b.colTab.end(), sameCols);
}

}  // namespace tierwise::fuzz
