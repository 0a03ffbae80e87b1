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

FlatIndex::FlatIndex(size_t expected) {
    // At most three quarters full: probe runs stay short, and the table takes few fresh pages.
    size_t capacity = 16;
    while (capacity / 4 * 3 < expected) capacity *= 2;
    slots_.resize(capacity);
    mask_ = capacity - 1;
}

size_t FlatIndex::slotOf(uint64_t key) const {
    // splitmix64 finaliser: joint and member numbers are dense and floor-wise, so mix the bits well.
    key ^= key >> 30;
    key *= 0xbf58476d1ce4e5b9ULL;
    key ^= key >> 27;
    key *= 0x94d049bb133111ebULL;
    key ^= key >> 31;
    return static_cast<size_t>(key) & mask_;
}

void FlatIndex::insertFirst(uint64_t key, int32_t value) {
    for (size_t at = slotOf(key);; at = (at + 1) & mask_) {
        Slot& slot = slots_[at];
        if (!slot.used) {
            slot = {key, value, true};
            return;
        }
        if (slot.key == key) return;
    }
}

int32_t FlatIndex::find(uint64_t key) const {
    for (size_t at = slotOf(key);; at = (at + 1) & mask_) {
        const Slot& slot = slots_[at];
        if (!slot.used) return 0;
        if (slot.key == key) return slot.value;
    }
}

MemberIndex::MemberIndex(const std::vector<MemberEntry>& memberTab) : byJoints_(memberTab.size()) {
    for (const MemberEntry& member : memberTab) byJoints_.insertFirst(pairKey(member.start, member.end), member.number);
}

int32_t MemberIndex::findMember(int32_t startJoint, int32_t endJoint) const {
    return byJoints_.find(pairKey(startJoint, endJoint));
}

ColumnIndex::ColumnIndex(const std::vector<ColEntry>& colTab) : byMember_(colTab.size()) {
    for (size_t i = 0; i < colTab.size(); ++i) {
        const float memberNo = colTab[i].memberNo;
        if (std::isnan(memberNo)) continue;  // equals no member number
        byMember_.insertFirst(floatKey(memberNo), static_cast<int32_t>(i + 1));
    }
}

int32_t ColumnIndex::findColRow(int32_t memberNo) const {
    return byMember_.find(floatKey(static_cast<float>(memberNo)));
}

}  // namespace tierwise::detail
