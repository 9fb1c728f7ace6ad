// The written containers: the worked example as .glb and .gltf against
// golden files (which the Khronos validator also checks), names that hold
// the data URI's text, the .glb's size limit, the width of the indices, and
// the names that choose the container.
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

// A written scene as what a reader takes from it: the document, without
// the buffer's URI, and the buffer's bytes (the BIN chunk, or the decoded
// data URI). A .glb's framing is checked on the way.
struct Contents {
    nlohmann::json doc;
    std::string buffer;
};

std::string Base64Decoded(const std::string& text) {
    static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned bits = 0;
    int held = 0;
    for (const char c : text) {
        if (c == '=') break;
        const std::size_t value = kAlphabet.find(c);
        EXPECT_NE(value, std::string::npos) << "not base64: " << c;
        bits = (bits << 6) | static_cast<unsigned>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<char>((bits >> held) & 0xFFu));
        }
    }
    return bytes;
}

Contents Parsed(const std::string& written, gltf::Container container) {
    Contents c;
    if (container == gltf::Container::kBinary) {
        c.doc = GlbJson(written);
        const std::size_t bin = 20 + U32(written, 12);
        if (bin < written.size()) {
            EXPECT_EQ(written.substr(bin + 4, 4), std::string("BIN\0", 4));
            c.buffer = written.substr(bin + 8, U32(written, bin));
            EXPECT_EQ(bin + 8 + c.buffer.size(), written.size());
        }
        return c;
    }
    c.doc = nlohmann::json::parse(written);
    if (c.doc.contains("buffers")) {
        const std::string prefix = "data:application/octet-stream;base64,";
        const std::string uri = c.doc["buffers"][0]["uri"];
        EXPECT_EQ(uri.compare(0, prefix.size(), prefix), 0) << uri.substr(0, 60);
        c.buffer = Base64Decoded(uri.substr(prefix.size()));
        c.doc["buffers"][0].erase("uri");
    }
    return c;
}

// Compared as documents and bytes, so that a change in how the JSON
// library spells the same numbers or spaces does not count.
TEST(SceneWriter, WorkedExampleMatchesTheGoldenFiles) {
    const gltf::SceneWriter scene = WorkedExampleScene();
    for (const auto& [container, name] : {std::pair{gltf::Container::kBinary, "worked_example.glb"},
                                          std::pair{gltf::Container::kEmbedded, "worked_example.gltf"}}) {
        SCOPED_TRACE(name);
        const Contents written = Parsed(Written(scene, container), container);
        const Contents golden =
            Parsed(testfiles::ReadBytes(testfiles::DataFile(std::string("golden/") + name)), container);
        EXPECT_EQ(written.doc, golden.doc);
        EXPECT_EQ(written.buffer, golden.buffer);
        EXPECT_EQ(written.buffer.size(), written.doc["buffers"][0]["byteLength"]);
    }
}

// Names that hold the data URI's own text, or JSON's quotes and braces,
// stay names; the buffer lands in the buffer's URI.
TEST(SceneWriter, HostileNamesLeaveTheBufferWhole) {
    const std::string hostile = "data:application/octet-stream;base64,\"}], \"uri\": \"";
    PatchIO set;
    ASSERT_EQ(set.ReadText(testdata::kWorkedExample, std::strlen(testdata::kWorkedExample)), 1);
    gltf::MeshAssembler assembler;
    assembler.Add(surface::TessellateObject(set.PatchObjectAt(0), 1).mesh);
    gltf::SceneWriter scene(hostile);
    scene.AddObject(assembler.Take(hostile));
    scene.AddCamera(hostile, gltf::PoseCamera(set.CameraAt(0)));
    const Contents glb = Parsed(Written(scene, gltf::Container::kBinary), gltf::Container::kBinary);
    const Contents gltf = Parsed(Written(scene, gltf::Container::kEmbedded), gltf::Container::kEmbedded);
    EXPECT_EQ(gltf.doc["nodes"][1]["name"], hostile);
    EXPECT_EQ(gltf.doc["cameras"][0]["name"], hostile);
    EXPECT_EQ(gltf.doc["asset"]["generator"], hostile);
    EXPECT_FALSE(glb.buffer.empty());
    EXPECT_EQ(gltf.buffer, glb.buffer);
    EXPECT_EQ(gltf.doc, glb.doc);
}

// A .glb states its length in 32 bits: a scene one byte beyond the limit
// is refused with the reason and nothing written; at the limit it is
// written whole. The limit is lowered to this scene's size, as the same
// check guards 4 GiB.
TEST(SceneWriter, GlbBeyondItsLimitIsRefused) {
    gltf::SceneWriter scene = WorkedExampleScene();
    const std::size_t size = Written(scene, gltf::Container::kBinary).size();
    scene.LimitBinaryBytes(size - 1);
    std::ostringstream out;
    std::string why;
    EXPECT_FALSE(scene.Write(out, gltf::Container::kBinary, &why));
    EXPECT_EQ(out.str(), "");
    const std::string expected = "the scene takes " + std::to_string(size) + " bytes, more than a .glb can hold (";
    EXPECT_NE(why.find(expected), std::string::npos) << why;
    EXPECT_TRUE(scene.Write(out, gltf::Container::kEmbedded, &why)) << "a .gltf has no such limit";
    scene.LimitBinaryBytes(size);
    EXPECT_EQ(Written(scene, gltf::Container::kBinary).size(), size);
    scene.LimitBinaryBytes(std::uint64_t{1} << 40);
    EXPECT_EQ(Written(scene, gltf::Container::kBinary).size(), size);
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
