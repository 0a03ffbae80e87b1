// The grid's lookups by joint pair and by member number: internals of makeCube, kept out of
// grid.h. Tests reach them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/model.h"

namespace tierwise::detail {

// A map from 64-bit keys to 32-bit values in one flat table: the model's indexes are built once
// and then only read, so open addressing without erasure is all they need.
class FlatIndex {
public:
    explicit FlatIndex(size_t expected);
    // Keeps the value already held for `key`: the first one inserted wins.
    void insertFirst(uint64_t key, int32_t value);
    // The value for `key`, 0 when none is held.
    [[nodiscard]] int32_t find(uint64_t key) const;

private:
    struct Slot {
        uint64_t key = 0;
        int32_t value = 0;
        bool used = false;
    };
    [[nodiscard]] size_t slotOf(uint64_t key) const;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};

// Members by their (start joint, end joint): the column between two joints of a grid line.
class MemberIndex {
public:
    explicit MemberIndex(const std::vector<MemberEntry>& memberTab);
    // Number of the first member in memberTab order that runs from startJoint to endJoint
    // (directional), 0 when none does.
    [[nodiscard]] int32_t findMember(int32_t startJoint, int32_t endJoint) const;

private:
    FlatIndex byJoints_;
};

// Column design entries by member number.
class ColumnIndex {
public:
    explicit ColumnIndex(const std::vector<ColEntry>& colTab);
    // 1-based colTab entry number of the first design block whose member number equals memberNo
    // taken as a single-precision number, 0 when none does (a fractional number never matches).
    [[nodiscard]] int32_t findColRow(int32_t memberNo) const;

private:
    FlatIndex byMember_;
};

}  // namespace tierwise::detail
