// makeCube: the coordinate grid (distinct X, Y and Z; Y are the levels), the plan shift,
// and the joint and column cubes.
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"

namespace tierwise {

// The name makeCube is historical: the program Tierwise replaces held the grid as dense X by level by Z arrays
// (cubes); the cube here is sparse, one PlanLine per plan position that holds a joint.
// Fills gridX, gridY, gridZ, xShift, zShift and the cube; shifts X and Z of jointTab.
// Throws Rejection when a shifted plan coordinate leaves the 32-bit range.
void makeCube(Model& model);

// cubeJoint(xIndex, levelIndex, zIndex): joint number at that grid point, 0 where none stands.
int32_t cubeJoint(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex);
// cubeCol(xIndex, levelIndex, zIndex): colTab entry number (1-based) of the column that reaches
// that grid point from below, 0 where none does.
int32_t cubeCol(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex);

// A coordinate list: the values gathered from the joints, repeats and all, become the distinct
// values in ascending order. (Gathering first and sorting once replaces adding each value only
// when the list does not hold it yet; the list is the same.)
// The name is the replaced program's, whose sortList sorted what addDistinct had kept distinct.
void sortList(std::vector<int32_t>& list);

}  // namespace tierwise
