// The written containers: the worked example byte for byte as .glb and
// .gltf (golden files, which the Khronos validator also checks), the width
// of the indices, and the names that choose the container.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstring>
#include <sstream>

#include "TestFiles.h"
#include "WorkedExample.h"
#include "gltf/SceneWriter.h"

namespace {

std::string Written(const gltf::SceneWriter& scene, gltf::Container container) {
    std::ostringstream out;
    std::string why;
    EXPECT_TRUE(scene.Write(out, container, &why)) << why;
    return out.str();
}

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The JSON chunk of a .glb, after checking the header's length.
nlohmann::json GlbJson(const std::string& glb) {
    EXPECT_EQ(glb.substr(0, 4), "glTF");
    EXPECT_EQ(U32(glb, 8), glb.size());
    EXPECT_EQ(glb.substr(16, 4), "JSON");
    return nlohmann::json::parse(glb.substr(20, U32(glb, 12)));
}

gltf::SceneWriter WorkedExampleScene() {
    PatchIO set;
    EXPECT_EQ(set.ReadText(testdata::kWorkedExample, std::strlen(testdata::kWorkedExample)), 1);
    gltf::MeshAssembler assembler;
    assembler.Add(surface::TessellateObject(set.PatchObjectAt(0), 1).mesh);
    gltf::SceneWriter scene("gltf_tests");
    scene.AddObject(assembler.Take("patchobject_0"));
    scene.AddCamera("camera_0", gltf::PoseCamera(set.CameraAt(0)));
    return scene;
}

TEST(SceneWriter, WorkedExampleMatchesTheGoldenFiles) {
    const gltf::SceneWriter scene = WorkedExampleScene();
    for (const auto& [container, name] : {std::pair{gltf::Container::kBinary, "worked_example.glb"},
                                          std::pair{gltf::Container::kEmbedded, "worked_example.gltf"}}) {
        SCOPED_TRACE(name);
        const std::string written = Written(scene, container);
        const std::string golden = testfiles::ReadBytes(testfiles::DataFile(std::string("golden/") + name));
        EXPECT_EQ(written, golden);
    }
}

struct IndexCase {
    std::size_t vertices;
    int componentType;
    std::size_t bytesPerIndex;
};

class SceneWriterIndices : public ::testing::TestWithParam<IndexCase> {};

TEST_P(SceneWriterIndices, ShortWhileEveryVertexFitsBelowTheRestartValue) {
    const IndexCase& c = GetParam();
    gltf::MeshData mesh;
    mesh.name = "fan";
    mesh.positions.assign(3 * c.vertices, 0.0f);
    mesh.normals.assign(3 * c.vertices, 0.0f);
    for (std::size_t v = 0; v < c.vertices; ++v) mesh.normals[3 * v + 2] = 1.0f;
    mesh.positions[3] = 1.0f;
    mesh.indices = {0, 1, static_cast<std::uint32_t>(c.vertices - 1)};
    gltf::SceneWriter scene("gltf_tests");
    scene.AddObject(mesh);
    const std::string glb = Written(scene, gltf::Container::kBinary);
    const nlohmann::json doc = GlbJson(glb);
    EXPECT_EQ(doc["accessors"][2]["componentType"], c.componentType);
    EXPECT_EQ(doc["bufferViews"][2]["byteLength"], 3 * c.bytesPerIndex);
    const std::size_t buffer = doc["buffers"][0]["byteLength"];
    EXPECT_EQ(buffer % 4, 0u);
    EXPECT_EQ(glb.size(), 20 + U32(glb, 12) + 8 + buffer);
}

INSTANTIATE_TEST_SUITE_P(Widths, SceneWriterIndices,
                         ::testing::Values(IndexCase{3, 5123, 2}, IndexCase{65535, 5123, 2},
                                           IndexCase{65536, 5125, 4}));

TEST(SceneWriter, TheNameChoosesTheContainer) {
    const std::pair<const char*, int> cases[] = {{"a.glb", 0},  {"dir.x/A.GLB", 0}, {"a.gltf", 1}, {"a.GlTf", 1},
                                                 {"a.obj", -1}, {".glb", -1},       {"glb", -1},   {"a.gltf.txt", -1}};
    for (const auto& [path, expected] : cases) {
        gltf::Container container = gltf::Container::kBinary;
        const bool known = gltf::ContainerForPath(path, container);
        EXPECT_EQ(known ? static_cast<int>(container) : -1, expected) << path;
    }
}

}  // namespace
