#include "gltf/CameraPose.h"

#include <algorithm>
#include <cmath>

#include "surface/LookAt.h"

namespace gltf {
namespace {

using surface::Vec3;

// The near plane, as a share of the distance to the target: far enough for
// a viewer's depth buffer, near enough to see everything around the target.
constexpr double kNearShare = 0.01;
// The near plane of a camera whose target is its position.
constexpr double kNearWithoutTarget = 0.01;
// The smallest near plane stated, so that it stays positive as a float.
constexpr double kNearMinimum = 1e-6;

}  // namespace

bool CanPose(const ExportCamera& camera) {
    return surface::IsFinite(camera.position) && surface::IsFinite(camera.target);
}

double VerticalFieldOfView(double horizontalDegrees, double aspectRatio) {
    const double halfAcross = 0.5 * horizontalDegrees * surface::kPi / 180.0;
    return 2.0 * std::atan(std::tan(halfAcross) / aspectRatio);
}

std::array<double, 4> QuaternionFromColumns(const std::array<std::array<double, 3>, 3>& c) {
    // m[row][column] = c[column][row]; the branch on the largest diagonal
    // term keeps the square root away from zero.
    const double m00 = c[0][0], m11 = c[1][1], m22 = c[2][2];
    const double trace = m00 + m11 + m22;
    std::array<double, 4> q{};
    if (trace > 0.0) {
        const double s = 2.0 * std::sqrt(1.0 + trace);
        q = {(c[1][2] - c[2][1]) / s, (c[2][0] - c[0][2]) / s, (c[0][1] - c[1][0]) / s, 0.25 * s};
    } else if (m00 > m11 && m00 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m00 - m11 - m22);
        q = {0.25 * s, (c[1][0] + c[0][1]) / s, (c[2][0] + c[0][2]) / s, (c[1][2] - c[2][1]) / s};
    } else if (m11 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m11 - m00 - m22);
        q = {(c[1][0] + c[0][1]) / s, 0.25 * s, (c[2][1] + c[1][2]) / s, (c[2][0] - c[0][2]) / s};
    } else {
        const double s = 2.0 * std::sqrt(1.0 + m22 - m00 - m11);
        q = {(c[2][0] + c[0][2]) / s, (c[2][1] + c[1][2]) / s, 0.25 * s, (c[0][1] - c[1][0]) / s};
    }
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& v : q) v = v / length + 0.0;  // + 0.0: no negative zeros in the file
    return q;
}

CameraPose PoseCamera(const ExportCamera& camera) {
    const Vec3 eye = Vec3::From(camera.position);
    const Vec3 target = Vec3::From(camera.target);
    const double distance = surface::Length(target - eye);
    const surface::LookAtBasis axes = surface::LookAt(eye, target);
    const Vec3 right = axes.right, up = axes.up, back = -axes.forward;

    CameraPose pose;
    pose.translation = {eye.x, eye.y, eye.z};
    pose.rotation =
        QuaternionFromColumns({{{right.x, right.y, right.z}, {up.x, up.y, up.z}, {back.x, back.y, back.z}}});
    pose.yfov = VerticalFieldOfView(kHorizontalFieldOfViewDegrees, kAspectRatio);
    pose.znear = distance > 0.0 ? std::max(kNearShare * distance, kNearMinimum) : kNearWithoutTarget;
    return pose;
}

}  // namespace gltf
