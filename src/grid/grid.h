// makeCube: the coordinate grid (distinct X, Y and Z; Y are the levels), the plan shift,
// and the joint and column cubes.
#pragma once

#include <cstdint>

#include "model/model.h"

namespace tierwise {

// Fills gridX, gridY, gridZ, xShift, zShift and the cube; shifts X and Z of jointTab.
void makeCube(Model& model);

// cubeJoint(xIndex, levelIndex, zIndex): joint number at that grid point, 0 where none stands.
int32_t cubeJoint(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex);
// cubeCol(xIndex, levelIndex, zIndex): colTab entry number (1-based) of the column that reaches
// that grid point from below, 0 where none does.
int32_t cubeCol(const Model& model, int32_t xIndex, int32_t levelIndex, int32_t zIndex);

}  // namespace tierwise
