// An index of a table's rows by key, for tables read once and then only looked up: joints by
// number, members by their joints, design blocks by member number.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/model.h"

namespace tierwise {

// Rows of a table by a 64-bit key, in one flat table of 8-byte slots: the model's indexes are
// built once and then only read, so open addressing without erasure is all they need. A slot
// holds the row (1-based; 0 is empty) and 32 bits of the key's hash; the key itself stays in the
// caller's table, which `sameKey(row)` compares, so a slot is half what a key and value would take.
class FlatIndex {
public:
    explicit FlatIndex(size_t expected) {
        // At most three quarters full: probe runs stay short, and the table takes few fresh pages.
        size_t capacity = 16;
        while (capacity / 4 * 3 < expected) capacity *= 2;
        slots_.resize(capacity);
        mask_ = capacity - 1;
    }
    // Keeps the row already held for `key`: the first one inserted wins. Returns the row held.
    template <class SameKey>
    uint32_t insertFirst(uint64_t key, uint32_t row, SameKey sameKey) {
        const uint64_t hash = mix(key);
        for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
            Slot& slot = slots_[at];
            if (slot.row == 0) {
                slot = {tagOf(hash), row};
                return row;
            }
            if (slot.tag == tagOf(hash) && sameKey(slot.row)) return slot.row;
        }
    }
    // The row held for `key`, 0 when none is held.
    template <class SameKey>
    [[nodiscard]] uint32_t find(uint64_t key, SameKey sameKey) const {
        const uint64_t hash = mix(key);
        for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.row == 0) return 0;
            if (slot.tag == tagOf(hash) && sameKey(slot.row)) return slot.row;
        }
    }

private:
    struct Slot {
        uint32_t tag = 0;  // the hash's high half
        uint32_t row = 0;  // 1-based row in the caller's table; 0: empty
    };
    static uint64_t mix(uint64_t key) {
        // splitmix64 finaliser: joint and member numbers are dense and floor-wise, so mix the bits well.
        key ^= key >> 30;
        key *= 0xbf58476d1ce4e5b9ULL;
        key ^= key >> 27;
        key *= 0x94d049bb133111ebULL;
        key ^= key >> 31;
        return key;
    }
    static uint32_t tagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};

// Design blocks by member number, as printed in single precision: the first block of each member.
// The reader (which blocks BETA 90 turns) and the grid (which block ends a column) look them up
// here. `designBlocks` must outlive the index.
class BlockIndex {
public:
    explicit BlockIndex(const std::vector<DesignBlock>& designBlocks) : colTab_(designBlocks), byMember_(designBlocks.size()) {
        for (size_t i = 0; i < designBlocks.size(); ++i) {
            const float memberNo = designBlocks[i].memberNo;
            if (std::isnan(memberNo)) continue;  // equals no member number
            byMember_.insertFirst(keyOf(memberNo), static_cast<uint32_t>(i + 1),
                                  [&](uint32_t row) { return designBlocks[row - 1].memberNo == memberNo; });
        }
    }
    // 1-based designBlocks row of the first block whose member number equals `memberNo`, 0 when none does.
    [[nodiscard]] uint32_t firstBlock(float memberNo) const {
        return byMember_.find(keyOf(memberNo), [&](uint32_t row) { return colTab_[row - 1].memberNo == memberNo; });
    }

private:
    // Numbers that compare equal get the same key: -0 is 0.
    static uint64_t keyOf(float value) {
        if (value == 0.0f) value = 0.0f;
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
    const std::vector<DesignBlock>& colTab_;
    FlatIndex byMember_;
};

}  // namespace tierwise
