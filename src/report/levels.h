// The levels of the schedule: which are ticked, how they are captioned, and levels named in metres.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace tierwise {

// Tick state of the level boxes: element i - 1 is level i (1 = lowest). The lowest and the
// highest level always count as ticked; levels beyond the end of the vector count as ticked,
// as every box is when the window opens.
using LevelTicks = std::vector<bool>;

// A named level matches a level of the model within half a centimetre.
constexpr double kLevelTolerance = 0.005;

// Whether level `levelIndex` (1-based) of `levelCount` ends a storey range.
bool isTicked(const LevelTicks& ticks, int32_t levelIndex, int32_t levelCount);

// The number of storey ranges: one per ticked level above the lowest.
int32_t rangeCount(const LevelTicks& ticks, int32_t levelCount);

// A level as its caption shows it: metres in general format (350 cm gives "3.5").
std::string levelText(const Model& model, int32_t levelIndex);

// One storey range: from one ticked level to the next, by level index (1 = lowest).
struct StoreyRange {
    int32_t bottomLevel = 0;
    int32_t topLevel = 0;
    std::string span;  // "0 to 3.5", levels in metres

    // As worksheets 3 and 4 caption it: "(0 to 3.5)".
    [[nodiscard]] std::string caption() const { return "(" + span + ")"; }
};

// The storey ranges of the ticks, bottom up: one per ticked level above the lowest.
std::vector<StoreyRange> storeyRanges(const Model& model, const LevelTicks& ticks);

// For each level index 0 to the model's highest, the storey range (0-based) that a column
// reaching that level from below stands in; entries 0 and 1 (no column reaches the lowest level)
// read 0.
std::vector<size_t> rangeOfLevels(const std::vector<StoreyRange>& ranges, int32_t levelCount);

// A level named in metres that the model does not have, or a name that is not a number.
class LevelNotFound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The ticks for levels named in metres ("3.5", "-3.5", "7"): the lowest and the highest level and
// each level named. `model` must have been through buildPlanGrid. Throws LevelNotFound naming the first
// name that is not a number or matches no level, with the model's levels (the first dozen of them).
LevelTicks ticksAtLevels(const Model& model, const std::vector<std::string>& metres);

// "3.5,7" gives {"3.5", "7"}; "" gives none.
std::vector<std::string> splitLevelList(std::string_view text);

}  // namespace tierwise
