// Camera nodes: the node's -Z axis looks at the target, its +Y leans to the
// file's +z without roll, the quaternion is a unit one, and the lens is the
// 45 degree horizontal field of patchtext render.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gltf/CameraPose.h"
#include "surface/LookAt.h"
#include "surface/Vec3.h"

namespace {

using surface::Vec3;

using surface::kPi;

// v turned by the unit quaternion q (x, y, z, w).
Vec3 Rotate(const std::array<double, 4>& q, Vec3 v) {
    const Vec3 u{q[0], q[1], q[2]};
    const double w = q[3];
    return 2.0 * surface::Dot(u, v) * u + (w * w - surface::Dot(u, u)) * v + 2.0 * w * surface::Cross(u, v);
}

void ExpectNear(Vec3 a, Vec3 b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
    EXPECT_NEAR(a.z, b.z, 1e-12);
}

struct LookCase {
    const char* name;
    Float3 position, target;
    Vec3 looks;  // the direction the camera must look in
};

class CameraPoseLooks : public ::testing::TestWithParam<LookCase> {};

TEST_P(CameraPoseLooks, MinusZAtTheTargetAndPlusYUp) {
    const LookCase& c = GetParam();
    const gltf::CameraPose pose = gltf::PoseCamera({c.position, c.target});
    const auto& q = pose.rotation;
    EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0, 1e-14);
    EXPECT_EQ(pose.translation, (std::array<double, 3>{c.position.x, c.position.y, c.position.z}));
    ExpectNear(Rotate(q, {0, 0, -1}), surface::NormalizedOr(c.looks, {}));
    const Vec3 up = Rotate(q, {0, 1, 0}), right = Rotate(q, {1, 0, 0});
    if (std::fabs(c.looks.z) < 0.99 * surface::Length(c.looks)) {
        EXPECT_GT(up.z, 0.0);              // the picture's top is the file's top
        EXPECT_NEAR(right.z, 0.0, 1e-12);  // and its horizon level
    } else {
        EXPECT_NEAR(up.y, 1.0, 1e-12);  // straight up or down: +y at the top, as render has it
    }
    EXPECT_GT(pose.znear, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Cameras, CameraPoseLooks,
                         ::testing::Values(LookCase{"WorkedExample", {0, -200, 50.5f}, {0, 0, 0}, {0, 200, -50.5}},
                                           LookCase{"DefaultScene", {80, -120, 60}, {0, 0, 15}, {-80, 120, -45}},
                                           LookCase{"FromBehind", {3, 40, 2}, {3, -1, 2}, {0, -41, 0}},
                                           LookCase{"StraightDown", {1, 2, 50}, {1, 2, -5}, {0, 0, -55}},
                                           LookCase{"StraightUp", {0, 0, -5}, {0, 0, 5}, {0, 0, 10}},
                                           LookCase{"TargetIsThePosition", {7, 8, 9}, {7, 8, 9}, {0, 1, 0}}),
                         [](const ::testing::TestParamInfo<LookCase>& look) { return std::string(look.param.name); });

TEST(CameraPose, LensIsTheHorizontal45DegreesAtFourToThree) {
    const gltf::CameraPose pose = gltf::PoseCamera({{0, -10, 0}, {0, 0, 0}});
    EXPECT_DOUBLE_EQ(pose.aspectRatio, 4.0 / 3.0);
    EXPECT_NEAR(std::tan(0.5 * pose.yfov) * pose.aspectRatio, std::tan(22.5 * kPi / 180.0), 1e-15);
    EXPECT_DOUBLE_EQ(gltf::VerticalFieldOfView(90.0, 1.0), 0.5 * kPi);
    EXPECT_NEAR(pose.znear, 0.1, 1e-12);  // a hundredth of the way to the target
}

TEST(CameraPose, NonFiniteCoordinatesCannotBePosed) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(gltf::CanPose({{0, 0, 1}, {0, 0, 0}}));
    EXPECT_FALSE(gltf::CanPose({{inf, 0, 1}, {0, 0, 0}}));
    EXPECT_FALSE(gltf::CanPose({{0, 0, 1}, {0, nan, 0}}));
}

}  // namespace
