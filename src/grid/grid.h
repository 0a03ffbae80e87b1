// buildPlanGrid: the coordinate grid (distinct X, Y and Z; Y are the levels), the plan shift,
// and every plan position with the joints and columns standing on it.
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"

namespace tierwise {

// The grid is sparse: one PlanLine per plan position that holds a joint, with only the grid
// points where a joint stands.
// Fills gridX, gridY, gridZ, xShift, zShift and planLines; shifts X and Z of joints.
// Throws Rejection when a shifted plan coordinate leaves the 32-bit range.
void buildPlanGrid(Model& model);

// jointAt(xIndex, levelIndex, zIndex): joint number at that grid point, 0 where none stands.
int32_t jointAt(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex);
// designBlockAt(xIndex, levelIndex, zIndex): designBlocks entry number (1-based) of the column that reaches
// that grid point from below, 0 where none does.
int32_t designBlockAt(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex);

// A coordinate list: the values gathered from the joints, repeats and all, become the distinct
// values in ascending order.
void sortDistinct(std::vector<int32_t>& list);

}  // namespace tierwise
