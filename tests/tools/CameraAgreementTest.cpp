// render's cameras and to-gltf's (and so the page's) agree: both are built
// from one look-at basis and one lens, so a camera of the file looks the
// same way through the same field of view in the picture, the glTF scene
// and the page.
#include <gtest/gtest.h>

#include <cmath>

#include "gltf/CameraPose.h"
#include "surface/LookAt.h"
#include "tools/patchtext/ViewCamera.h"

namespace {

using surface::Vec3;

// v turned by the unit quaternion q (x, y, z, w).
Vec3 Rotate(const std::array<double, 4>& q, Vec3 v) {
    const Vec3 u{q[0], q[1], q[2]};
    const double w = q[3];
    return 2.0 * surface::Dot(u, v) * u + (w * w - surface::Dot(u, u)) * v + 2.0 * w * surface::Cross(u, v);
}

void ExpectNear(Vec3 a, Vec3 b, const char* what) {
    EXPECT_NEAR(a.x, b.x, 1e-12) << what;
    EXPECT_NEAR(a.y, b.y, 1e-12) << what;
    EXPECT_NEAR(a.z, b.z, 1e-12) << what;
}

TEST(CameraAgreement, RenderAndGltfLookTheSameWayThroughTheSameLens) {
    const ExportCamera cameras[] = {
        {{80, -120, 60}, {0, 0, 15}},  // the default scene's
        {{0, 0, 50}, {0, 0, 0}},       // straight down
        {{0, 0, -50}, {0, 0, 0}},      // straight up
        {{3, 4, 5}, {3, 4, 5}},        // no target
        {{1e-4f, 0, 100}, {0, 0, 0}},  // just off vertical
        {{-1e6f, 2e6f, 3}, {0, 0, 0}},
    };
    for (const ExportCamera& c : cameras) {
        const Vec3 eye = Vec3::From(c.position), target = Vec3::From(c.target);
        const patchtool::ViewCamera view(eye, target, 800, 600);
        const gltf::CameraPose pose = gltf::PoseCamera(c);
        // The glTF camera's axes in the file's space, seen from render's camera.
        ExpectNear(view.DirectionToCamera(Rotate(pose.rotation, {1, 0, 0})), {1, 0, 0}, "right");
        ExpectNear(view.DirectionToCamera(Rotate(pose.rotation, {0, 1, 0})), {0, 1, 0}, "up");
        ExpectNear(view.DirectionToCamera(Rotate(pose.rotation, {0, 0, -1})), {0, 0, 1}, "forward");
        EXPECT_EQ(Vec3(pose.translation[0], pose.translation[1], pose.translation[2]), view.Eye());
        // One lens: the picture's half width at unit depth.
        EXPECT_NEAR(std::tan(0.5 * pose.yfov) * pose.aspectRatio, 400.0 / view.Focal(), 1e-12);
    }
}

TEST(CameraAgreement, TheBasisIsOrthonormalAndKeepsATop) {
    const Vec3 eyes[] = {{0, -10, 0}, {0, 0, 10}, {0, 0, -10}, {5, 5, 5}, {0, 1e-7, 10}, {0, 0, 0}};
    for (const Vec3& eye : eyes) {
        const surface::LookAtBasis b = surface::LookAt(eye, {0, 0, 0});
        EXPECT_NEAR(surface::Length(b.forward), 1.0, 1e-15);
        EXPECT_NEAR(surface::Length(b.right), 1.0, 1e-15);
        EXPECT_NEAR(surface::Length(b.up), 1.0, 1e-15);
        EXPECT_NEAR(surface::Dot(b.forward, b.right), 0.0, 1e-15);
        EXPECT_NEAR(surface::Dot(b.forward, b.up), 0.0, 1e-15);
        ExpectNear(surface::Cross(b.right, b.forward), b.up, "up = right x forward");
        // Up never points down: +z where it can, else +y.
        EXPECT_GE(std::fabs(b.forward.z) > surface::kVertical ? b.up.y : b.up.z, 0.0);
    }
}

}  // namespace
