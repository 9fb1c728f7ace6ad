// The look-at camera that every output of the tools shares: the picture of
// render, the camera nodes of to-gltf and the cameras of view's page. World
// +z is up; the lens is the host's default one.
#pragma once

#include <cmath>

#include "surface/Vec3.h"

namespace surface {

constexpr double kPi = 3.14159265358979323846;

// The field of view across the picture, in degrees: the host's default lens.
constexpr double kFieldOfViewDegrees = 45.0;

// Looking this close to straight up or down, +y takes the place of +z as
// the up axis, so that the picture keeps a top.
constexpr double kVertical = 0.999999;

// The camera's axes in world space, orthonormal: forward towards the
// target, right and up across the picture (up = right x forward).
struct LookAtBasis {
    Vec3 forward, right, up;
};

// The axes of a camera at eye that looks at target. A camera whose target
// is its eye looks along +y, into the scene from the front.
inline LookAtBasis LookAt(Vec3 eye, Vec3 target) {
    LookAtBasis basis;
    basis.forward = NormalizedOr(target - eye, Vec3{0, 1, 0});
    const Vec3 worldUp = std::fabs(basis.forward.z) > kVertical ? Vec3{0, 1, 0} : Vec3{0, 0, 1};
    basis.right = NormalizedOr(Cross(basis.forward, worldUp), Vec3{1, 0, 0});
    basis.up = Cross(basis.right, basis.forward);
    return basis;
}

}  // namespace surface
