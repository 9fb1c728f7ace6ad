// gltf::WriteExportSet: the one call for engines writes what the scene
// writer writes for the set's tessellated objects and posed cameras, and
// says what it left out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "WorkedExample.h"
#include "gltf/ExportSetScene.h"

namespace {

void WorkedExample(PatchIO& set) {
    ASSERT_EQ(set.ReadText(testdata::kWorkedExample, std::strlen(testdata::kWorkedExample)), 1);
}

TEST(WriteExportSet, WritesTheScenesOfTheSetsObjectsAndCameras) {
    PatchIO set;
    WorkedExample(set);
    gltf::MeshAssembler assembler;
    assembler.Add(surface::TessellateObject(set.PatchObjectAt(0), 3).mesh);
    gltf::SceneWriter scene("gltf_tests");
    scene.AddObject(assembler.Take("patchobject_0"));
    scene.AddCamera("camera_0", gltf::PoseCamera(set.CameraAt(0)));
    for (const gltf::Container container : {gltf::Container::kBinary, gltf::Container::kEmbedded}) {
        std::ostringstream expected, written;
        std::string why;
        ASSERT_TRUE(scene.Write(expected, container, &why)) << why;
        gltf::ExportSetOptions options;
        options.generator = "gltf_tests";
        int patches = 0;
        options.patchDone = [&patches] { ++patches; };
        gltf::ExportSetSummary summary;
        ASSERT_TRUE(gltf::WriteExportSet(set, written, container, 3, &why, options, &summary)) << why;
        EXPECT_EQ(written.str(), expected.str());
        EXPECT_EQ(patches, 1);
        EXPECT_EQ(summary.cameras, 1u);
        EXPECT_EQ(summary.triangles, 9u);
        ASSERT_EQ(summary.skipped.size(), 1u);
        EXPECT_TRUE(summary.skipped[0].empty());
    }
}

TEST(WriteExportSet, LeavesOutWhatGltfCannotStateAndSaysSo) {
    PatchIO set;
    WorkedExample(set);
    set.AddCamera({{NAN, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}});
    ExportPatchObject broken = set.PatchObjectAt(0);
    broken.VertData()[1].x = INFINITY;
    set.AddPatchObject(broken);
    std::ostringstream out;
    std::string why;
    gltf::ExportSetSummary summary;
    ASSERT_TRUE(gltf::WriteExportSet(set, out, gltf::Container::kBinary, 2, &why, {}, &summary)) << why;
    EXPECT_EQ(summary.cameras, 1u);
    EXPECT_EQ(summary.camerasLeftOut, std::vector<std::int32_t>{1});
    ASSERT_EQ(summary.skipped.size(), 2u);
    EXPECT_TRUE(summary.skipped[0].empty());
    ASSERT_EQ(summary.skipped[1].size(), 1u);
    EXPECT_EQ(summary.skipped[1][0].patch, 0);
    EXPECT_EQ(out.str().substr(0, 4), "glTF");
}

TEST(WriteExportSet, RefusesStepsBelowOne) {
    PatchIO set;
    WorkedExample(set);
    for (const int steps : {0, -1}) {
        std::ostringstream out;
        std::string why;
        EXPECT_FALSE(gltf::WriteExportSet(set, out, gltf::Container::kBinary, steps, &why));
        EXPECT_NE(why.find("steps must be 1 or more"), std::string::npos) << why;
        EXPECT_EQ(out.str(), "");
    }
}

}  // namespace
