// The scene importer on real files of other tools, against what the files
// hold as read here from their own text (JSON, XML, PLY and STL headers).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "ImportTestSupport.h"
#include "loaders/CameraTargets3ds.h"
#include "loaders/SceneFiles.h"
#include "loaders/SceneImport.h"

namespace {

using Json = nlohmann::json;

// A 4 by 4 matrix on column vectors, as glTF writes them (column major).
struct Mat4 {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

Mat4 Times(const Mat4& a, const Mat4& b) {
    Mat4 p;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            p.m[r][c] = 0;
            for (int k = 0; k < 4; ++k) p.m[r][c] += a.m[r][k] * b.m[k][c];
        }
    return p;
}

// A glTF node's local matrix: its "matrix", or T * R * S.
Mat4 NodeMatrix(const Json& node) {
    Mat4 m;
    if (node.contains("matrix")) {
        for (std::size_t i = 0; i < 16; ++i) m.m[i % 4][i / 4] = node["matrix"][i].get<double>();
        return m;
    }
    const Json t = node.value("translation", Json::array({0, 0, 0}));
    const Json r = node.value("rotation", Json::array({0, 0, 0, 1}));
    const Json s = node.value("scale", Json::array({1, 1, 1}));
    const double x = r[0], y = r[1], z = r[2], w = r[3];
    const double rot[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                              {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                              {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t c = 0; c < 3; ++c) m.m[row][c] = rot[row][c] * s[c].get<double>();
        m.m[row][3] = t[row].get<double>();
    }
    return m;
}

// The JSON chunk of a binary glTF file: after the 12-byte header, a
// chunk's length and type.
Json GlbJson(const std::string& bytes) {
    std::uint32_t length = 0;
    std::memcpy(&length, bytes.data() + 12, sizeof length);
    return Json::parse(bytes.substr(20, length));
}

SceneLoad Load(const std::string& file, std::vector<std::string>* warnings = nullptr) {
    LoadListener listener;
    if (warnings) listener.warn = [warnings](const std::string& w) { warnings->push_back(w); };
    return LoadSceneFile(kTestModels + file, listener);
}

// The patches that every convertible object of the scene converts into.
struct Converted {
    std::size_t objects = 0, patches = 0, triangles = 0, quads = 0, verts = 0;
};

Converted ConvertAll(MemoryNode& root) {
    Converted c;
    VisitNodes(root, [&](MemoryNode& node) {
        if (!node.Object() || !node.Object()->builder) return;
        const MemoryPatchMesh mesh = node.Object()->builder();
        ++c.objects;
        c.patches += mesh.patches.size();
        c.verts += mesh.verts.size();
        for (const HostPatch& patch : mesh.patches) ++(patch.type == 3 ? c.triangles : c.quads);
    });
    return c;
}

void ExpectWorld(const Matrix3& host, const Mat4& expected, const std::string& name) {
    // Host rows are the columns of the column-vector matrix.
    for (int c = 0; c < 4; ++c) {
        const Float3& row = host.row[c];
        const float got[3] = {row.x, row.y, row.z};
        for (int r = 0; r < 3; ++r)
            EXPECT_NEAR(got[r], expected.m[r][c], 1e-4 * (1 + std::fabs(expected.m[r][c]))) << name << " " << r << c;
    }
}

// Walks the glTF node tree and the host's side by side: the same children
// in the same order, names where the file gives them, and world matrices.
void ExpectSameTree(const Json& gltf, std::size_t index, const Mat4& parent, MemoryNode& node) {
    const Json& source = gltf["nodes"][index];
    const Mat4 world = Times(parent, NodeMatrix(source));
    if (source.contains("name")) {
        EXPECT_EQ(node.name, source["name"].get<std::string>());
    }
    ExpectWorld(node.world, world, node.name);
    const Json children = source.value("children", Json::array());
    // A camera gets a target node after the file's children.
    const std::size_t added = source.contains("camera") ? 1 : 0;
    ASSERT_EQ(node.NumChildren(), children.size() + added) << node.name;
    if (added) {
        EXPECT_EQ(node.ChildNode(children.size())->name, node.name + ".Target");
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        ExpectSameTree(gltf, children[i].get<std::size_t>(), world, *node.ChildNode(i));
    }
}

void ExpectGltfNodes(const std::string& file, const Json& gltf) {
    const SceneLoad load = Load(file);
    ASSERT_TRUE(load) << load.error;
    ASSERT_EQ(load.root->NumChildren(), 1u);
    MemoryNode& top = *load.root->ChildNode(0);
    const Json& roots = gltf["scenes"][gltf.value("scene", std::size_t{0})]["nodes"];
    if (roots.size() == 1) return ExpectSameTree(gltf, roots[0].get<std::size_t>(), Mat4(), top);
    // Several roots: the importer gathers them under a node of its own.
    ExpectWorld(top.world, Mat4(), top.name);
    ASSERT_EQ(top.NumChildren(), roots.size());
    for (std::size_t i = 0; i < roots.size(); ++i)
        ExpectSameTree(gltf, roots[i].get<std::size_t>(), Mat4(), *top.ChildNode(i));
}

// The triangles of every mesh instance of the scene, as the accessors count them.
std::size_t GltfSceneTriangles(const Json& gltf) {
    std::size_t triangles = 0;
    std::function<void(std::size_t)> walk = [&](std::size_t index) {
        const Json& node = gltf["nodes"][index];
        if (node.contains("mesh")) {
            for (const Json& primitive : gltf["meshes"][node["mesh"].get<std::size_t>()]["primitives"])
                triangles += gltf["accessors"][primitive["indices"].get<std::size_t>()]["count"].get<std::size_t>() / 3;
        }
        for (const Json& child : node.value("children", Json::array())) walk(child.get<std::size_t>());
    };
    for (const Json& root : gltf["scenes"][gltf.value("scene", std::size_t{0})]["nodes"]) walk(root.get<std::size_t>());
    return triangles;
}

TEST(SceneImport, GltfNodesKeepTheirNamesAndTransforms) {
    REQUIRE_TEST_MODEL("glTF2/ClearCoat-glTF/ClearCoatTest.gltf");
    ExpectGltfNodes("glTF2/ClearCoat-glTF/ClearCoatTest.gltf",
                    Json::parse(ReadModelBytes("glTF2/ClearCoat-glTF/ClearCoatTest.gltf")));
}

TEST(SceneImport, BinaryGltfNodesKeepTheirTransforms) {
    const std::string file = "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
    REQUIRE_TEST_MODEL(file);
    ExpectGltfNodes(file, GlbJson(ReadModelBytes(file)));
}

TEST(SceneImport, EveryTriangleOfTheEngineIsKeptAlsoThoseThatWeldToLess) {
    // The engine's meshes hold 75,730 triangles, 10,419 of them with corners
    // that coincide once identical positions are one vertex; its nodes use
    // some meshes several times.
    const std::string file = "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
    REQUIRE_TEST_MODEL(file);
    SceneLoad load = Load(file);
    ASSERT_TRUE(load) << load.error;
    const Converted c = ConvertAll(*load.root);
    const std::size_t expected = GltfSceneTriangles(GlbJson(ReadModelBytes(file)));
    EXPECT_EQ(c.patches, expected);
    EXPECT_EQ(c.triangles, expected);
}

TEST(SceneImport, PlyQuadrilateralsStayQuadrilaterals) {
    REQUIRE_TEST_MODEL("PLY/cube.ply");
    const std::string text = ReadModelBytes("PLY/cube.ply");
    const int faces = std::stoi(text.substr(text.find("element face") + 12));
    const int vertices = std::stoi(text.substr(text.find("element vertex") + 14));
    SceneLoad load = Load("PLY/cube.ply");
    ASSERT_TRUE(load) << load.error;
    const Converted c = ConvertAll(*load.root);
    EXPECT_EQ(c.objects, 1u);
    EXPECT_EQ(c.quads, static_cast<std::size_t>(faces));
    EXPECT_EQ(c.triangles, 0u);
    EXPECT_EQ(c.verts, static_cast<std::size_t>(vertices));
}

TEST(SceneImport, StlTrianglesAreWeldedIntoAClosedMesh) {
    REQUIRE_TEST_MODEL("STL/Spider_binary.stl");
    const std::string bytes = ReadModelBytes("STL/Spider_binary.stl");
    std::uint32_t triangles = 0;  // after the 80-byte header
    std::memcpy(&triangles, bytes.data() + 80, sizeof triangles);
    SceneLoad load = Load("STL/Spider_binary.stl");
    ASSERT_TRUE(load) << load.error;
    const Converted c = ConvertAll(*load.root);
    EXPECT_EQ(c.triangles, triangles);
    EXPECT_LT(c.verts, 3u * triangles / 2);  // unwelded, each triangle would have three of its own
}

// Every look-at camera of a scene, with its target.
std::vector<const MemoryNode*> Cameras(MemoryNode& root) {
    std::vector<const MemoryNode*> cameras;
    VisitNodes(root, [&](MemoryNode& node) {
        if (node.Object() && node.Object()->isCamera) cameras.push_back(&node);
    });
    return cameras;
}

TEST(SceneImport, ColladaCamerasLookDownTheirNodesMinusZ) {
    for (const std::string file : {"Collada/cameras.dae", "Collada/duck.dae"}) {
        SCOPED_TRACE(file);
        REQUIRE_TEST_MODEL(file);
        SceneLoad load = Load(file);
        ASSERT_TRUE(load) << load.error;
        const std::vector<const MemoryNode*> cameras = Cameras(*load.root);
        EXPECT_EQ(static_cast<int>(cameras.size()), CountInText(ReadModelBytes(file), "<instance_camera"));
        for (const MemoryNode* camera : cameras) {
            ASSERT_NE(camera->target, nullptr);
            const Float3 at = camera->world.row[3], to = camera->target->world.row[3], z = camera->world.row[2];
            const double d[3] = {to.x - at.x, to.y - at.y, to.z - at.z};
            const double dl = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            const double zl = std::sqrt(double(z.x) * z.x + double(z.y) * z.y + double(z.z) * z.z);
            EXPECT_NEAR(d[0] / dl, -z.x / zl, 1e-5);
            EXPECT_NEAR(d[1] / dl, -z.y / zl, 1e-5);
            EXPECT_NEAR(d[2] / dl, -z.z / zl, 1e-5);
        }
    }
}

TEST(SceneImport, ColladaUnitsAndUpAxisAreNotAppliedToTheRoot) {
    // duck.dae is in centimetres and Y up, cameras.dae in metres and Z up.
    for (const std::string file : {"Collada/duck.dae", "Collada/cameras.dae"}) {
        SCOPED_TRACE(file);
        REQUIRE_TEST_MODEL(file);
        SceneLoad load = Load(file);
        ASSERT_TRUE(load) << load.error;
        ASSERT_EQ(load.root->NumChildren(), 1u);
        ExpectWorld(load.root->ChildNode(0)->world, Mat4(), file);
    }
}

TEST(SceneImport, GltfCamerasAreAimedAlongTheirViewAxis) {
    REQUIRE_TEST_MODEL("glTF2/cameras/Cameras.gltf");
    const Json gltf = Json::parse(ReadModelBytes("glTF2/cameras/Cameras.gltf"));
    SceneLoad load = Load("glTF2/cameras/Cameras.gltf");
    ASSERT_TRUE(load) << load.error;
    const std::vector<const MemoryNode*> cameras = Cameras(*load.root);
    ASSERT_EQ(cameras.size(), gltf["cameras"].size());
    for (const MemoryNode* camera : cameras) {
        // A glTF camera sits at its node's origin and looks down its -Z.
        const Float3 at = camera->world.row[3];
        const Json& t = gltf["nodes"][1]["translation"];
        EXPECT_FLOAT_EQ(at.x, t[0].get<float>());
        EXPECT_FLOAT_EQ(at.z, t[2].get<float>());
        ASSERT_NE(camera->target, nullptr);
        EXPECT_LT(camera->target->world.row[3].z, at.z);
    }
}

TEST(SceneImport, ThreeDsTargetCamerasLookAtTheirTargets) {
    for (const std::string file : {"3DS/TargetCameraAnim.3ds", "3DS/CameraRollAnim.3ds"}) {
        SCOPED_TRACE(file);
        REQUIRE_TEST_MODEL(file);
        // The camera chunk (id 0x4700, 52 bytes long): position, then target.
        const std::string bytes = ReadModelBytes(file);
        const std::size_t chunk = bytes.find(std::string("\x00\x47\x34\x00\x00\x00", 6));
        ASSERT_NE(chunk, std::string::npos);
        float target[3];
        std::memcpy(target, bytes.data() + chunk + 6 + 12, sizeof target);
        SceneLoad load = Load(file);
        ASSERT_TRUE(load) << load.error;
        const std::vector<const MemoryNode*> cameras = Cameras(*load.root);
        ASSERT_EQ(cameras.size(), 1u);
        ASSERT_NE(cameras[0]->target, nullptr);
        EXPECT_EQ(cameras[0]->target->name, cameras[0]->name + ".Target");
        const Float3 at = cameras[0]->target->world.row[3];
        EXPECT_FLOAT_EQ(at.x, target[0]);
        EXPECT_FLOAT_EQ(at.y, target[1]);
        EXPECT_FLOAT_EQ(at.z, target[2]);
    }
}

TEST(SceneImport, ThreeDsCameraTargetsOfEveryCutShortFileStayInsideIt) {
    REQUIRE_TEST_MODEL("3DS/TargetCameraAnim.3ds");
    const std::string bytes = ReadModelBytes("3DS/TargetCameraAnim.3ds");
    EXPECT_EQ(CameraTargets3ds(bytes).size(), 1u);
    std::size_t found = 0;
    for (std::size_t size = 0; size < bytes.size(); ++size) found += CameraTargets3ds(bytes.substr(0, size)).size();
    EXPECT_EQ(found, 0u);  // the file's main chunk is as long as the file
}

TEST(SceneImport, PointsAndLinesAreLeftOutWithAWarning) {
    // A mesh of points only: nothing is left to export.
    const std::string file = "glTF2/glTF-Asset-Generator/Mesh_PrimitiveMode/Mesh_PrimitiveMode_00.gltf";
    REQUIRE_TEST_MODEL(file);
    const SceneLoad load = Load(file);
    EXPECT_FALSE(load);
    EXPECT_NE(load.error.find("only points and lines"), std::string::npos) << load.error;
}

TEST(SceneImport, BadFilesFailWholeNamingTheFile) {
    const struct {
        std::string file;
        std::string why;
    } cases[] = {
        {"glTF2/IndexOutOfRange/IndexOutOfRange.gltf", "out-of-range"},
        {"glTF2/IndexOutOfRange/AllIndicesOutOfRange.gltf", "refuses"},
        {"glTF2/MissingBin/BoxTextured.gltf", "BoxTextured0.bin"},
        {"glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb", "not a finite number"},
        {"glTF2/RecursiveNodes/RecursiveNodes.gltf", "recursive"},
        {"glTF2/TestNoRootNode/NoScene.gltf", "No scene"},
        {"glTF2/TestNoRootNode/SceneWithoutNodes.gltf", "no meshes and no cameras"},
        {"glTF2/wrongTypes/badArray.gltf", "refuses"},
        {"PLY/points.ply", "the file's meshes hold no faces"},
        {"PLY/pond.0.ply", "the file ends after 70048 of the 70051 vertices that its header declares"},
        {"invalid/OutOfMemory.off", "its header declares 353535235358 vertices and 6 faces"},
        {"BVH/01_01.bvh", "the file holds no meshes and no cameras"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        REQUIRE_TEST_MODEL(c.file);
        const SceneLoad load = Load(c.file);
        EXPECT_FALSE(load);
        EXPECT_EQ(load.error.rfind(kTestModels + c.file + ": ", 0), 0u) << load.error;
        EXPECT_NE(load.error.find(c.why), std::string::npos) << load.error;
    }
}

TEST(SceneImport, BytesInMemoryLoadAsTheFileDoes) {
    REQUIRE_TEST_MODEL("PLY/cube_binary.ply");
    const std::string bytes = ReadModelBytes("PLY/cube_binary.ply");
    SceneLoad load = ImportSceneBytes(bytes, ".ply", "cube.ply", LoadListener());
    ASSERT_TRUE(load) << load.error;
    const int faces = std::stoi(bytes.substr(bytes.find("element face") + 12));
    EXPECT_EQ(ConvertAll(*load.root).patches, static_cast<std::size_t>(faces));
    const SceneLoad bad =
        ImportSceneBytes("{\"asset\": {\"version\": \"2.0\"}, \"nodes\": [", ".gltf", "bad.gltf", LoadListener());
    EXPECT_FALSE(bad);
    EXPECT_EQ(bad.error.rfind("bad.gltf: ", 0), 0u) << bad.error;
    // A PLY header cut short, which the importer library would read forever.
    const SceneLoad cut = ImportSceneBytes("ply\nformat ascii 1.0\nelement", ".ply", "cut.ply", LoadListener());
    EXPECT_EQ(cut.error, "cut.ply: the PLY header has no end_header line in its first megabyte");
}

// A polygon of n corners on the unit circle, as an ASCII PLY file (whose
// corner counts may pass 255).
std::string PlyPolygon(int n) {
    std::string text = "ply\nformat ascii 1.0\nelement vertex " + std::to_string(n) +
                       "\nproperty float x\nproperty float y\nproperty float z\nelement face 1\n"
                       "property list ushort int vertex_indices\nend_header\n";
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        text += std::to_string(std::cos(a)) + " " + std::to_string(std::sin(a)) + " 0\n";
    }
    text += std::to_string(n);
    for (int i = 0; i < n; ++i) text += " " + std::to_string(i);
    return text + "\n";
}

TEST(SceneImport, FacesBecomePatchesAsTheConversionMakesThem) {
    const struct {
        const char* what;
        std::string file;
        std::size_t triangles, quads, verts;
        std::size_t warnings;
    } cases[] = {
        {"a triangle, a line and a point", "OFF\n4 3 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n3 0 1 2\n2 2 3\n1 3\n", 1, 0, 4, 1},
        {"a quadrilateral stays one", "OFF\n4 1 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n4 0 1 2 3\n", 0, 1, 4, 0},
        {"a hexagon is a fan of four", PlyPolygon(6), 4, 0, 6, 0},
        {"a polygon of 300 corners is a fan of 298", PlyPolygon(300), 298, 0, 300, 0},
        {"0 and -0 are one position", "OFF\n4 2 0\n0 0 0\n1 0 0\n-0 0 0\n0 1 0\n3 0 1 3\n3 2 3 1\n", 2, 0, 3, 0},
        {"a triangle whose corners weld into one is kept",
         "OFF\n6 2 0\n0 0 0\n1 0 0\n0 1 0\n5 5 5\n5 5 5\n5 5 5\n3 0 1 2\n3 3 4 5\n", 2, 0, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> warnings;
        LoadListener listener;
        listener.warn = [&warnings](const std::string& w) { warnings.push_back(w); };
        const std::string kind = c.file.rfind("ply", 0) == 0 ? ".ply" : ".off";
        SceneLoad load = ImportSceneBytes(c.file, kind, "test" + kind, listener);
        ASSERT_TRUE(load) << load.error;
        const Converted converted = ConvertAll(*load.root);
        EXPECT_EQ(converted.triangles, c.triangles);
        EXPECT_EQ(converted.quads, c.quads);
        EXPECT_EQ(converted.verts, c.verts);
        ASSERT_EQ(warnings.size(), c.warnings);
        if (c.warnings) {
            EXPECT_EQ(warnings[0], "test.off: left out 1 point and 1 line (a patch object holds only faces)");
        }
    }
}

TEST(SceneImport, FormatsListOursFirstThenTheImportersWithoutDuplicates) {
    const std::vector<std::string> all = LoadableExtensions();
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[0], ".json");
    EXPECT_EQ(all[2], ".obj");
    EXPECT_EQ(std::count(all.begin(), all.end(), ".obj"), 1);
    for (const char* wanted : {".gltf", ".glb", ".fbx", ".dae", ".3ds", ".ply", ".stl"})
        EXPECT_EQ(std::count(all.begin(), all.end(), wanted), 1) << wanted;
}

}  // namespace

namespace {

// The importer's own check refuses a file over a part that the export does
// not use; the rest exports, with a warning that says what was passed over.
TEST(SceneImport, APartThatTheExportDoesNotUseIsLeftOutWithAWarning) {
    const struct {
        const char* file;
        const char* warning;
    } cases[] = {
        {"OpenGEX/camera.ogex", ": left out light \"light1\", which has no node"},
        {"STL/triangle_with_empty_solid.stl", ": left out mesh \"emptySolid\", which has no vertices"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        REQUIRE_TEST_MODEL(c.file);
        std::vector<std::string> warnings;
        LoadListener listener;
        listener.warn = [&warnings](const std::string& warning) { warnings.push_back(warning); };
        const SceneLoad load = LoadSceneFile(kTestModels + c.file, listener);
        ASSERT_TRUE(load) << load.error;
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0], kTestModels + c.file + c.warning);
    }
}

// Parts of the importer print to the standard streams themselves; none of
// it reaches the program's output.
TEST(SceneImport, NothingOfTheImportersOwnReachesTheStandardStreams) {
    REQUIRE_TEST_MODEL("OpenGEX/empty_camera.ogex");
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const SceneLoad load = LoadSceneFile(kTestModels + "OpenGEX/empty_camera.ogex");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(load);
    EXPECT_EQ(out + err, "");
}

class KeptLog final : public Assimp::LogStream {
public:
    void write(const char* message) override { text += message; }
    std::string text;
};

// A program that embeds the importer keeps its own logger: the import
// listens on it while it reads and leaves it as it was. The log's words for
// dropped faces ("out-of-range"), which the import falls back on where the
// file's own counts cannot be read, are pinned here.
TEST(SceneImport, AProgramsOwnLoggerIsKeptAndStillHeard) {
    REQUIRE_TEST_MODEL("glTF2/IndexOutOfRange/IndexOutOfRange.gltf");
    Assimp::Logger* own = Assimp::DefaultLogger::create(nullptr, Assimp::Logger::NORMAL, 0);
    KeptLog kept;
    own->attachStream(&kept, Assimp::Logger::Warn);
    const SceneLoad load = LoadSceneFile(kTestModels + "glTF2/IndexOutOfRange/IndexOutOfRange.gltf");
    EXPECT_EQ(Assimp::DefaultLogger::get(), own);
    EXPECT_FALSE(load);
    EXPECT_NE(load.error.find("out-of-range indices"), std::string::npos) << load.error;
    EXPECT_NE(kept.text.find("out-of-range"), std::string::npos) << "the program's own stream heard the read";
    own->detachStream(&kept, Assimp::Logger::Warn);
    Assimp::DefaultLogger::kill();
    // And without a logger of the program's the import has one of its own
    // for the read only.
    EXPECT_FALSE(LoadSceneFile(kTestModels + "glTF2/IndexOutOfRange/IndexOutOfRange.gltf"));
    EXPECT_TRUE(Assimp::DefaultLogger::isNullLogger());
}

}  // namespace
