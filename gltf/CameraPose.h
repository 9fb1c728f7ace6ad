// A patch text camera as a glTF camera node: the node sits at the camera's
// position and turns so that its -Z axis looks at the target, its +Y axis
// as close to the file's +z (up) as the view allows.
//
// The lens is the host's default one that patchtext render uses as well: 45
// degrees across the picture, which glTF states as the field of view from
// bottom to top for a picture of a given aspect ratio (4:3, render's default
// 800x600).
#pragma once

#include <array>

#include "patchio/PatchIO.h"
#include "surface/LookAt.h"

namespace gltf {

// Horizontal field of view and the picture's width / height.
constexpr double kHorizontalFieldOfViewDegrees = surface::kFieldOfViewDegrees;
constexpr double kAspectRatio = 4.0 / 3.0;

struct CameraPose {
    std::array<double, 3> translation{};
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};  // unit quaternion x, y, z, w
    double yfov = 0.0;                                   // radians
    double aspectRatio = kAspectRatio;
    double znear = 0.0;  // positive
};

// False when a coordinate is not finite: glTF cannot state such a camera.
bool CanPose(const ExportCamera& camera);

// The node of camera. A camera whose target is its position looks along
// +y, into the scene from the front, as patchtext render draws it; one
// looking straight up or down keeps +y at the top of its picture.
CameraPose PoseCamera(const ExportCamera& camera);

// The field of view from bottom to top of a picture of the given aspect
// ratio whose field across is horizontalDegrees.
double VerticalFieldOfView(double horizontalDegrees, double aspectRatio);

// The unit quaternion (x, y, z, w) of the rotation whose matrix has the
// given orthonormal, right-handed columns.
std::array<double, 4> QuaternionFromColumns(const std::array<std::array<double, 3>, 3>& columns);

}  // namespace gltf
