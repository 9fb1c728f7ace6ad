#include "tools/patchtext/ViewCamera.h"

#include <algorithm>
#include <cmath>

namespace patchtool {
namespace {

using surface::kPi;
// The nearest depth drawn, as a share of the distance to the target.
constexpr double kNearShare = 1e-3;

double HalfAngle() { return 0.5 * kFieldOfViewDegrees * kPi / 180.0; }

}  // namespace

ViewCamera::ViewCamera(Vec3 eye, Vec3 target, int width, int height)
    : eye_(eye), width_(width), height_(height), focal_(0.5 * width / std::tan(HalfAngle())) {
    const double distance = Length(target - eye);
    const surface::LookAtBasis axes = surface::LookAt(eye, target);
    forward_ = axes.forward;
    right_ = axes.right;
    up_ = axes.up;
    near_ = std::max(distance * kNearShare, 1e-6);
}

ThreeQuarterFit::ThreeQuarterFit(Vec3 centre, int width, int height) : centre_(centre), width_(width), height_(height) {
    const double elevation = 30.0 * kPi / 180.0;
    const double azimuth = 45.0 * kPi / 180.0;
    direction_ = {std::cos(elevation) * std::sin(azimuth), -std::cos(elevation) * std::cos(azimuth),
                  std::sin(elevation)};
    const ViewCamera aim(centre + direction_, centre, width, height);
    right_ = aim.DirectionToCamera({1, 0, 0});
    up_ = aim.DirectionToCamera({0, 1, 0});
    forward_ = aim.DirectionToCamera({0, 0, 1});
    halfWidth_ = kFill * std::tan(HalfAngle());
    halfHeight_ = halfWidth_ * height / width;
}

void ThreeQuarterFit::Include(Vec3 p) {
    const Vec3 d = p - centre_;
    // Camera-space coordinates of d, from the rows of the camera's basis.
    const Vec3 c{right_.x * d.x + right_.y * d.y + right_.z * d.z, up_.x * d.x + up_.y * d.y + up_.z * d.z,
                 forward_.x * d.x + forward_.y * d.y + forward_.z * d.z};
    distance_ = std::max({distance_, std::fabs(c.x) / halfWidth_ - c.z, std::fabs(c.y) / halfHeight_ - c.z});
}

ViewCamera ThreeQuarterFit::Camera() const {
    return ViewCamera(centre_ + distance_ * direction_, centre_, width_, height_);
}

Vec3 ViewCamera::ToCamera(Vec3 world) const { return DirectionToCamera(world - eye_); }

Vec3 ViewCamera::DirectionToCamera(Vec3 d) const { return {Dot(d, right_), Dot(d, up_), Dot(d, forward_)}; }

}  // namespace patchtool
