// The grid's lookups by joint pair and by member number: internals of buildPlanGrid, kept out of
// grid.h. Tests reach them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/flat_index.h"
#include "model/model.h"

namespace tierwise::detail {

// Members by their (start joint, end joint): the column between two joints of a grid line.
// `members` must outlive the index.
class MemberIndex {
public:
    explicit MemberIndex(const std::vector<MemberEntry>& members);
    // Number of the first member in members order that runs from startJoint to endJoint
    // (directional), 0 when none does.
    [[nodiscard]] int32_t findMember(int32_t startJoint, int32_t endJoint) const;

private:
    const std::vector<MemberEntry>& memberTab_;
    FlatIndex byJoints_;
};

// Column design entries by member number. `designBlocks` must outlive the index.
class ColumnIndex {
public:
    explicit ColumnIndex(const std::vector<DesignBlock>& designBlocks) : blocks_(designBlocks) {}
    // 1-based designBlocks entry number of the first design block whose member number equals memberNo
    // taken as a single-precision number, 0 when none does (a fractional number never matches).
    [[nodiscard]] int32_t findColRow(int32_t memberNo) const {
        return static_cast<int32_t>(blocks_.firstBlock(static_cast<float>(memberNo)));
    }

private:
    BlockIndex blocks_;
};

}  // namespace tierwise::detail
