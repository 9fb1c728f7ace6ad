// Node transforms of scene files. Transforms are host matrices: row
// vectors (p' = p * M) with the translation in the last row.
#pragma once

#include "host/HostTypes.h"

struct Transform {
    Float3 translation{0.0f, 0.0f, 0.0f};
    Float3 rotationDegrees{0.0f, 0.0f, 0.0f};  // about X, then Y, then Z
    Float3 scale{1.0f, 1.0f, 1.0f};
};

// Scales, then rotates about X, Y and Z in turn (counter-clockwise looking
// down each axis toward the origin), then translates.
Matrix3 LocalMatrix(const Transform& transform);

// first, then second: p * first * second.
Matrix3 Compose(const Matrix3& first, const Matrix3& second);

// True when every element is a finite number.
bool IsFinite(const Matrix3& m);
