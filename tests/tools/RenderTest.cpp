// patchtext render: pictures of the default scene that cover a sensible
// share, stay the same from run to run and match a stored reference, and
// cameras that move the view the way a look-at camera should.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "BptFixture.h"
#include "ToolFiles.h"
#include "patchio/PatchIO.h"
#include "support/Image.h"
#include "tools/patchtext/SceneRender.h"

namespace {

using patchtool::Image;

Image Render(const patchtool::RenderCommand& command) {
    toolfiles::Captured io;
    EXPECT_EQ(patchtool::RunRender(command, io.console), patchtool::kExitOk) << io.err.str();
    Image image;
    std::string why;
    EXPECT_TRUE(support::ReadPng(command.output, image, &why)) << why;
    return image;
}

patchtool::RenderCommand Command(const std::string& input, const std::string& output, const std::string& camera,
                                 const std::string& size = "160x120") {
    patchtool::RenderCommand command;
    command.file = input;
    command.output = toolfiles::TempPath(output);
    command.camera = camera;
    command.size = size;
    return command;
}

// Pixels that differ from the top left corner, which only background shows
// in these pictures, by more than a faint gradient.
struct Coverage {
    double share = 0;
    double centreX = 0, centreY = 0;  // of the covered pixels, 0..1
};

Coverage Covered(const Image& image) {
    Coverage c;
    std::int64_t count = 0;
    for (int y = 0; y < image.height; ++y) {
        // The background is a vertical gradient: compare with this row's left end.
        const std::uint8_t* row = image.At(0, y);
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.At(x, y);
            const int difference = std::abs(p[0] - row[0]) + std::abs(p[1] - row[1]) + std::abs(p[2] - row[2]);
            if (difference <= 12) continue;
            ++count;
            c.centreX += x + 0.5;
            c.centreY += y + 0.5;
        }
    }
    if (count == 0) return c;
    c.share = static_cast<double>(count) / (image.width * image.height);
    c.centreX /= static_cast<double>(count) * image.width;
    c.centreY /= static_cast<double>(count) * image.height;
    return c;
}

TEST(PatchtextRender, DefaultSceneCoversASensibleShare) {
    const std::string input = toolfiles::WriteDefaultSceneExport("render_default.txt");
    PatchIO set;
    ASSERT_EQ(set.Read(input.c_str()), 1);
    for (const bool spread : {false, true}) {
        for (const std::int32_t camera : {-1, 0, 1}) {
            SCOPED_TRACE(std::to_string(camera) + (spread ? " spread" : ""));
            patchtool::RenderOptions options;
            options.width = 160;
            options.height = 120;
            options.camera = spread ? -1 : camera;
            options.spread = spread;
            const auto result = patchtool::RenderSet(set, options);
            EXPECT_EQ(result.skippedPatches, 0);
            EXPECT_GT(result.coverage, camera < 0 ? 0.10 : 0.005);
            EXPECT_LT(result.coverage, 0.8);
            EXPECT_NEAR(Covered(result.image).share, result.coverage, 0.03);
        }
    }
}

TEST(PatchtextRender, IsStableAndMatchesTheStoredReference) {
    const std::string input = toolfiles::WriteDefaultSceneExport("render_reference.txt");
    auto command = Command(input, "render_reference.png", "");
    command.spread = true;
    const Image first = Render(command);
    const Image second = Render(command);
    EXPECT_EQ(first.rgb, second.rgb);

    Image reference;
    std::string why;
    ASSERT_TRUE(support::ReadPng(GANTLINE_TEST_DATA "/tools/default_scene_spread.png", reference, &why)) << why;
    ASSERT_EQ(reference.width, first.width);
    ASSERT_EQ(reference.height, first.height);
    // Tolerant: compilers may round the shading differently, so a few
    // levels everywhere and a few edge pixels more are accepted.
    double total = 0;
    std::int64_t far = 0;
    for (std::size_t i = 0; i < reference.rgb.size(); ++i) {
        const int difference = std::abs(int{reference.rgb[i]} - int{first.rgb[i]});
        total += difference;
        far += difference > 48 ? 1 : 0;
    }
    EXPECT_LT(total / static_cast<double>(reference.rgb.size()), 1.5);
    EXPECT_LT(static_cast<double>(far) / static_cast<double>(reference.rgb.size()), 0.005);
}

// The teapot alone with cameras that tell where it should appear: straight
// at it, aimed to its right, and from twice as far.
std::string TeapotWithCameras() {
    PatchIO set;
    set.AddPatchObject(bpt::ToExportObject(bpt::ReadFile(GANTLINE_TEST_DATA "/teapot.bpt")));
    const Float3 centre{0.25f, 0.0f, 1.5f};
    ExportCamera straight;
    straight.position = {0.25f, -16.0f, 1.5f};
    straight.target = centre;
    ExportCamera aimedRight = straight;
    aimedRight.target = {2.25f, 0.0f, 1.5f};  // +x is right when looking along +y
    ExportCamera far = straight;
    far.position = {0.25f, -32.0f, 1.5f};
    set.AddCamera(straight);
    set.AddCamera(aimedRight);
    set.AddCamera(far);
    const std::string path = toolfiles::TempPath("render_cameras.txt");
    set.Write(path.c_str());
    return path;
}

TEST(PatchtextRender, CamerasMoveTheViewAsALookAtCameraShould) {
    const std::string input = TeapotWithCameras();
    const Coverage straight = Covered(Render(Command(input, "cam0.png", "0")));
    const Coverage aimedRight = Covered(Render(Command(input, "cam1.png", "1")));
    const Coverage far = Covered(Render(Command(input, "cam2.png", "2")));
    EXPECT_NEAR(straight.centreX, 0.5, 0.05);
    EXPECT_NEAR(straight.centreY, 0.5, 0.08);
    // Aiming to the right moves the teapot to the left of the picture.
    EXPECT_LT(aimedRight.centreX, straight.centreX - 0.1);
    EXPECT_NEAR(aimedRight.centreY, straight.centreY, 0.03);
    // Twice as far: a quarter of the area, still in the middle.
    EXPECT_NEAR(far.share / straight.share, 0.25, 0.05);
    EXPECT_NEAR(far.centreX, 0.5, 0.05);
}

TEST(PatchtextRender, DefaultCameraIsTheFirstAndAutoIsTheThreeQuarterView) {
    const std::string input = TeapotWithCameras();
    const Image byDefault = Render(Command(input, "default.png", ""));
    const Image first = Render(Command(input, "first.png", "0"));
    const Image automatic = Render(Command(input, "auto.png", "auto"));
    EXPECT_EQ(byDefault.rgb, first.rgb);
    EXPECT_NE(automatic.rgb, first.rgb);
    EXPECT_GT(Covered(automatic).share, 0.1);
}

TEST(PatchtextRender, WireDrawsDarkPatchEdges) {
    const std::string input = TeapotWithCameras();
    auto command = Command(input, "wire.png", "0");
    const Image plain = Render(command);
    command.wire = true;
    const Image wire = Render(command);
    auto dark = [](const Image& image) {
        std::int64_t n = 0;
        for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
            n += image.rgb[i] + image.rgb[i + 1] + image.rgb[i + 2] < 120 ? 1 : 0;
        return n;
    };
    EXPECT_GT(dark(wire), dark(plain) + 100);
}

TEST(PatchtextRender, SizeAndCameraMistakesAreUsageErrors) {
    const std::string input = TeapotWithCameras();
    struct Case {
        const char* camera;
        const char* size;
        bool spread;
    };
    const Case cases[] = {{"3", "160x120", false},  {"-1", "160x120", false}, {"one", "160x120", false},
                          {"0", "160x120", true},   {"", "0x120", false},     {"", "160", false},
                          {"", "160x120x2", false}, {"", "9000x10", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.camera) + " " + c.size);
        auto command = Command(input, "mistake.png", c.camera, c.size);
        command.spread = c.spread;
        toolfiles::Captured io;
        EXPECT_EQ(patchtool::RunRender(command, io.console), patchtool::kExitUsage);
        EXPECT_NE(io.err.str().find("error: "), std::string::npos);
    }
    const Image small = Render(Command(input, "size.png", "0", "37x21"));
    EXPECT_EQ(small.width, 37);
    EXPECT_EQ(small.height, 21);
}

}  // namespace
