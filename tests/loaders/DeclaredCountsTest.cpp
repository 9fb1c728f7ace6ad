// Files whose headers declare more than they hold: refused before the
// importer reads them, never completed with made-up faces.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>

#include "ImportTestSupport.h"
#include "loaders/DeclaredCounts.h"
#include "loaders/GltfCounts.h"
#include "loaders/SceneImport.h"

namespace {

std::string Problem(const std::string& extension, const std::string& bytes) {
    std::istringstream in(bytes);
    return DeclaredCountsProblem(extension, in, bytes.size());
}

const char kAsciiPly[] =
    "ply\nformat ascii 1.0\ncomment a square\nelement vertex 4\nproperty float x\nproperty float y\n"
    "property float z\nelement face 2\nproperty list uchar int vertex_indices\nend_header\n"
    "0 0 0\n1 0 0\n1 1 0\n0 1 0\n3 0 1 2\n3 0 2 3\n";

std::string BinaryPly() {
    std::string bytes =
        "ply\nformat binary_little_endian 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
        "property float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n";
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    bytes.append(reinterpret_cast<const char*>(corners), sizeof corners);
    bytes.push_back(3);
    const std::int32_t face[3] = {0, 1, 2};
    bytes.append(reinterpret_cast<const char*>(face), sizeof face);
    return bytes;
}

std::string BinaryStl(std::uint32_t declared, std::uint32_t held) {
    std::string bytes(80, '\0');
    bytes.append(reinterpret_cast<const char*>(&declared), sizeof declared);
    bytes.append(std::size_t{50} * held, '\0');
    return bytes;
}

const char kOff[] = "OFF\n# a triangle\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";

TEST(DeclaredCounts, WholeFilesPass) {
    EXPECT_EQ(Problem(".ply", kAsciiPly), "");
    EXPECT_EQ(Problem(".ply", BinaryPly()), "");
    EXPECT_EQ(Problem(".stl", BinaryStl(2, 2)), "");
    EXPECT_EQ(Problem(".stl", "solid x\nfacet normal 0 0 1\nendsolid x\n" + std::string(80, ' ')), "");
    EXPECT_EQ(Problem(".off", kOff), "");
    EXPECT_EQ(Problem(".obj", "v 1 2\n"), "") << "other formats are not checked here";
    // An element without properties holds nothing, however many it declares.
    EXPECT_EQ(Problem(".ply", "ply\nformat ascii 1.0\nelement nothing 999999999999\nend_header\n"), "");
}

TEST(DeclaredCounts, SaysWhatIsMissing) {
    const std::string ascii = kAsciiPly, binary = BinaryPly(), off = kOff;
    const struct {
        const char* extension;
        std::string bytes;
        const char* problem;
    } cases[] = {
        {".ply", ascii.substr(0, ascii.size() - 8), "the file ends after 1 of the 2 faces that its header declares"},
        {".ply", ascii.substr(0, ascii.find("0 1 0\n")),
         "the file ends after 3 of the 4 vertices that its header declares"},
        {".ply", binary.substr(0, binary.size() - 1), "the file ends after 0 of the 1 face that its header declares"},
        {".ply", binary.substr(0, binary.size() - 14),
         "the file ends after 2 of the 3 vertices that its header declares"},
        {".stl", BinaryStl(3, 2), "the binary STL header declares 3 triangles (234 bytes), but the file has 184 bytes"},
        {".stl", BinaryStl(1, 2), "the binary STL header declares 1 triangle (134 bytes), but the file has 184 bytes"},
        {".off", off.substr(0, off.size() - 8), "the file ends after 0 of the 1 face that its header declares"},
        {".off", off.substr(0, off.find("1 0 0")), "the file ends after 1 of the 3 vertices that its header declares"},
        {".off", "OFF\n353535235358 6 0\n0 0 0\n",
         "its header declares 353535235358 vertices and 6 faces, more than a file of 27 bytes can hold (refused "
         "before any memory is taken for them)"},
        {".ply", "ply\nformat ascii 1.0\nelement face 1\nproperty list uchar int v\nend_header\n1.5 0\n",
         "a list of faces has a length that is not a count"},
    };
    for (const auto& c : cases) EXPECT_EQ(Problem(c.extension, c.bytes), c.problem) << c.bytes;
}

// Where the part after the header begins: after end_header (PLY), the
// count line (OFF), the 84 bytes of header and count (STL).
std::size_t BodyStart(const std::string& extension, const std::string& bytes) {
    if (extension == ".stl") return 84;
    if (extension == ".ply") return bytes.find("end_header\n") + 11;
    return bytes.find('\n', bytes.find('\n') + 1) + 1;
}

// Cut anywhere in its body, a good file of each checked kind is refused
// by the import with a message that names the file.
TEST(DeclaredCounts, EveryCutOfAGoodFileIsRefusedByTheImport) {
    const char* const models[] = {"PLY/cube.ply", "PLY/cube_binary.ply", "STL/Spider_binary.stl", "OFF/Cube.off",
                                  "OFF/Wuson.off"};
    for (const char* model : models) {
        REQUIRE_TEST_MODEL(model);
        const std::string bytes = ReadModelBytes(model);
        const std::string extension = std::string(model).substr(std::string(model).rfind('.'));
        ASSERT_TRUE(ImportSceneBytes(bytes, extension, model, LoadListener())) << model;
        const std::size_t from = BodyStart(extension, bytes);
        for (const double part : {0.0, 0.3, 0.6, 0.9}) {
            const std::size_t cut =
                from + static_cast<std::size_t>(part * static_cast<double>(bytes.size() - from - 1));
            const SceneLoad load = ImportSceneBytes(bytes.substr(0, cut), extension, model, LoadListener());
            EXPECT_FALSE(load) << model << " cut at " << cut;
            EXPECT_EQ(load.error.rfind(std::string(model) + ": ", 0), 0u) << load.error;
        }
    }
}

}  // namespace

namespace {

std::string Glb(const std::string& json) {
    std::string bytes = "glTF";
    const auto word = [&bytes](std::uint32_t value) { bytes.append(reinterpret_cast<const char*>(&value), 4); };
    word(2);
    word(static_cast<std::uint32_t>(20 + json.size()));
    word(static_cast<std::uint32_t>(json.size()));
    bytes += "JSON" + json;
    return bytes;
}

TEST(GltfDeclaredTriangles, CountsEveryPrimitivesTriangles) {
    const std::string accessors = R"("accessors": [{"count": 36}, {"count": 24}, {"count": 9}])";
    const struct {
        std::string json;
        std::optional<std::uint64_t> triangles;
    } cases[] = {
        {"{" + accessors + R"(, "meshes": [{"primitives": [{"indices": 0, "attributes": {"POSITION": 1}}]}]})", 12},
        {"{" + accessors + R"(, "meshes": [{"primitives": [{"attributes": {"POSITION": 2}, "mode": 4}]},
                                             {"primitives": [{"indices": 0, "attributes": {"POSITION": 1}}]}]})",
         15},
        {"{" + accessors + R"(, "meshes": [{"primitives": [{"indices": 0, "mode": 5}]}]})", std::nullopt},
        {"{" + accessors + R"(, "meshes": [{"primitives": [{"indices": 7}]}]})", std::nullopt},
        {R"({"meshes": []})", 0},
        {"not json", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GltfDeclaredTriangles(c.json), c.triangles) << c.json;
        EXPECT_EQ(GltfDeclaredTriangles(Glb(c.json)), c.triangles) << "as .glb: " << c.json;
    }
    EXPECT_EQ(GltfDeclaredTriangles(Glb("{}").substr(0, 20)), std::nullopt) << "a cut .glb";
}

// The triangles a glTF file declares against those the scene keeps: the
// importer drops faces with out-of-range indices with only a log line.
TEST(GltfDeclaredTriangles, FacesTheImporterDropsAreSeenInTheCounts) {
    REQUIRE_TEST_MODEL("glTF2/IndexOutOfRange/IndexOutOfRange.gltf");
    const SceneLoad load = ImportSceneFile(kTestModels + "glTF2/IndexOutOfRange/IndexOutOfRange.gltf", LoadListener());
    EXPECT_FALSE(load);
    EXPECT_NE(load.error.find("1 of the 12 triangles that the file declares was dropped"), std::string::npos)
        << load.error;
}

}  // namespace
