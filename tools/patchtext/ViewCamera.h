// The pinhole camera of the preview: a look-at view with a fixed 45 degree
// horizontal field of view (the host's default lens), world +z up.
#pragma once

#include "surface/LookAt.h"
#include "tools/patchtext/Surface.h"

namespace patchtool {

// The horizontal field of view of every preview, in degrees.
constexpr double kFieldOfViewDegrees = surface::kFieldOfViewDegrees;

class ViewCamera {
public:
    // eye looks at target; the picture is width x height pixels.
    ViewCamera(Vec3 eye, Vec3 target, int width, int height);

    // Camera-space coordinates: x right, y up, z the depth in front.
    Vec3 ToCamera(Vec3 world) const;
    Vec3 DirectionToCamera(Vec3 world) const;
    // Pixel coordinates of a camera-space point with z > 0.
    double ScreenX(Vec3 c) const { return 0.5 * width_ + focal_ * c.x / c.z; }
    double ScreenY(Vec3 c) const { return 0.5 * height_ - focal_ * c.y / c.z; }
    double Focal() const { return focal_; }
    // The nearest depth drawn.
    double Near() const { return near_; }
    Vec3 Eye() const { return eye_; }

private:
    Vec3 eye_, right_, up_, forward_;
    int width_, height_;
    double focal_;
    double near_;
};

// The three-quarter view: from the front right (-y, +x) and 30 degrees
// above, aimed at a centre and backed off until every included point lies
// within 90% of the picture's half width and height.
class ThreeQuarterFit {
public:
    ThreeQuarterFit(Vec3 centre, int width, int height);
    void Include(Vec3 p);
    ViewCamera Camera() const;

private:
    static constexpr double kFill = 0.9;
    Vec3 centre_, direction_;
    Vec3 right_, up_, forward_;  // rows of the world-to-camera rotation
    int width_, height_;
    double halfWidth_ = 1.0, halfHeight_ = 1.0;
    double distance_ = 1e-6;
};

}  // namespace patchtool
