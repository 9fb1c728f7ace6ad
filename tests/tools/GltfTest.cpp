// patchtext to-gltf: the file reads back, by hand and through assimp's
// importer, with one mesh per object holding the points of the surfaces, the
// up axis turned by the root node alone, and cameras that look at their
// targets.
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "BptFixture.h"
#include "SceneTestSupport.h"
#include "ToolFiles.h"
#include "gltf/SceneWriter.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"
#include "loaders/SceneImport.h"
#include "surface/Tessellator.h"

namespace {

using surface::Vec3;
using Point = std::array<float, 3>;

// The JSON part of a .glb or .gltf.
nlohmann::json ReadJson(const std::string& path) {
    const std::string file = toolfiles::ReadFile(path);
    if (file.compare(0, 4, "glTF") != 0) return nlohmann::json::parse(file);
    std::uint32_t jsonBytes = 0;
    std::memcpy(&jsonBytes, file.data() + 12, 4);
    return nlohmann::json::parse(file.substr(20, jsonBytes));
}

// v turned by the unit quaternion q (x, y, z, w).
Vec3 Rotate(const nlohmann::json& q, Vec3 v) {
    const Vec3 u{q[0], q[1], q[2]};
    const double w = q[3];
    return 2.0 * surface::Dot(u, v) * u + (w * w - surface::Dot(u, u)) * v + 2.0 * w * surface::Cross(u, v);
}

std::string Convert(const std::string& input, const std::string& output, int steps) {
    toolfiles::Captured io;
    EXPECT_EQ(patchtool::RunToGltf({input, output, steps}, io.console), patchtool::kExitOk) << io.err.str();
    return io.out.str();
}

// Each test writes both containers: a .glb and a .gltf.
constexpr const char* kContainers[] = {".glb", ".gltf"};

TEST(PatchtextToGltf, DefaultSceneHasItsObjectsAndCamerasBelowTheUpAxisTurnAndReadsInAssimp) {
    for (const char* container : kContainers) {
        SCOPED_TRACE(container);
        const std::string input = toolfiles::WriteDefaultSceneExport("gltf_default.txt");
        const std::string output = toolfiles::TempPath(std::string("gltf_default") + container);
        EXPECT_NE(Convert(input, output, 5).find(": 2 objects, "), std::string::npos);
        const nlohmann::json doc = ReadJson(output);
        const nlohmann::json& nodes = doc["nodes"];
        ASSERT_EQ(nodes.size(), 5u);  // the root, two objects, two cameras
        EXPECT_EQ(doc["scenes"][0]["nodes"], nlohmann::json::array({0}));
        EXPECT_EQ(nodes[0]["rotation"], nlohmann::json::array({-std::sqrt(0.5), 0.0, 0.0, std::sqrt(0.5)}));
        EXPECT_EQ(nodes[0]["children"], nlohmann::json::array({1, 2, 3, 4}));
        for (const nlohmann::json& node : nodes) {
            EXPECT_FALSE(node.contains("matrix") || node.contains("scale"));
            if (!node.contains("camera") && node != nodes[0]) {
                EXPECT_FALSE(node.contains("translation") || node.contains("rotation"));
            }
        }

        PatchIO set;
        ASSERT_EQ(set.Read(input.c_str()), 1);
        for (std::int32_t i = 0; i < 2; ++i) {
            SCOPED_TRACE(i);
            const nlohmann::json& node = nodes[static_cast<std::size_t>(1 + i)];
            EXPECT_EQ(node["name"], "patchobject_" + std::to_string(i));
            const nlohmann::json& primitive = doc["meshes"][node["mesh"].get<std::size_t>()]["primitives"][0];
            const nlohmann::json& accessors = doc["accessors"];
            const surface::TriangleMesh mesh = surface::TessellateObject(set.PatchObjectAt(i), 5).mesh;
            EXPECT_EQ(accessors[primitive["indices"].get<std::size_t>()]["count"], 3 * mesh.triangles.size());
            // A vertex for every (position, normal) pair the triangles use.
            std::set<std::pair<std::int32_t, std::int32_t>> pairs;
            for (std::size_t t = 0; t < mesh.triangles.size(); ++t)
                for (std::size_t c = 0; c < 3; ++c) pairs.insert({mesh.triangles[t][c], mesh.triangleNormals[t][c]});
            EXPECT_EQ(accessors[primitive["attributes"]["POSITION"].get<std::size_t>()]["count"], pairs.size());
        }

        ASSERT_EQ(doc["cameras"].size(), 2u);
        for (std::int32_t k = 0; k < 2; ++k) {
            SCOPED_TRACE(k);
            const nlohmann::json& node = nodes[static_cast<std::size_t>(3 + k)];
            EXPECT_EQ(node["camera"], k);
            const ExportCamera& camera = set.CameraAt(k);
            EXPECT_EQ(node["translation"],
                      nlohmann::json::array({camera.position.x, camera.position.y, camera.position.z}));
            const Vec3 looks = Rotate(node["rotation"], {0, 0, -1});
            const Vec3 wanted = surface::NormalizedOr(Vec3::From(camera.target) - Vec3::From(camera.position), {});
            EXPECT_NEAR(surface::Length(looks - wanted), 0.0, 1e-12);
        }

        // assimp's importer reads the same scene.
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(output, 0);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        ASSERT_EQ(scene->mNumMeshes, 2u);
        for (unsigned m = 0; m < 2; ++m) {
            const nlohmann::json& primitive = doc["meshes"][m]["primitives"][0];
            const nlohmann::json& accessors = doc["accessors"];
            EXPECT_EQ(scene->mMeshes[m]->mNumVertices,
                      accessors[primitive["attributes"]["POSITION"].get<std::size_t>()]["count"]);
            EXPECT_EQ(3 * scene->mMeshes[m]->mNumFaces, accessors[primitive["indices"].get<std::size_t>()]["count"]);
            EXPECT_TRUE(scene->mMeshes[m]->HasNormals());
        }
        EXPECT_EQ(scene->mNumCameras, 2u);
        // Its root is the node that turns the file's +z up into +y.
        EXPECT_EQ(scene->mRootNode->mNumChildren, 4u);
        const aiVector3D up = scene->mRootNode->mTransformation * aiVector3D(0, 0, 1);
        EXPECT_NEAR(up.y, 1.0f, 1e-6f);
    }
}

// The points of the file lie on the Bezier patches they come from.
TEST(PatchtextToGltf, TeapotPointsLieOnTheBezierSurfaces) {
    for (const char* container : kContainers) {
        SCOPED_TRACE(container);
        const auto grids = bpt::ReadFile(GANTLINE_PROJECT_DATA "/teapot.bpt");
        PatchIO set;
        set.AddPatchObject(bpt::ToExportObject(grids));
        const std::string input = toolfiles::TempPath("gltf_teapot.txt");
        ASSERT_EQ(set.Write(input.c_str()), 1);
        const std::string output = toolfiles::TempPath(std::string("gltf_teapot") + container);
        const int steps = 6;
        Convert(input, output, steps);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(output, 0);
        ASSERT_TRUE(scene && scene->mNumMeshes == 1) << importer.GetErrorString();
        const aiMesh& points = *scene->mMeshes[0];

        // Every sample of every patch, with its distance from the patch's surface.
        const surface::ObjectMesh out = surface::TessellateObject(set.PatchObjectAt(0), steps);
        std::map<Point, double> samples;
        for (const surface::PatchSamples& patch : out.patches) {
            for (int r = 0; r <= steps; ++r) {
                for (int c = 0; c <= steps; ++c) {
                    const Vec3 surface = bpt::Evaluate(grids[static_cast<std::size_t>(patch.patch)], double(c) / steps,
                                                       double(r) / steps);
                    const Vec3 p = out.mesh.positions[static_cast<std::size_t>(
                        patch.vertex[static_cast<std::size_t>(r * (steps + 1) + c)])];
                    const Point key{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
                    const double error = surface::Length(Vec3(key[0], key[1], key[2]) - surface);
                    samples[key] = std::max(samples[key], error);
                }
            }
        }
        std::set<Point> found;
        for (unsigned v = 0; v < points.mNumVertices; ++v) {
            const Point p{points.mVertices[v].x, points.mVertices[v].y, points.mVertices[v].z};
            const auto sample = samples.find(p);
            ASSERT_NE(sample, samples.end()) << p[0] << " " << p[1] << " " << p[2];
            EXPECT_LE(sample->second, 1e-5 * std::max(1.0, surface::Length(Vec3(p[0], p[1], p[2]))));
            found.insert(p);
        }
        EXPECT_EQ(found.size(), samples.size());  // and every sample is there
    }
}

// A written scene goes back through the host's own scene importer and the
// export: as many objects as the file had, a patch for every triangle, and
// the cameras where the file had them, turned as the root node turns them
// (+z up becomes +y up: x, y, z -> x, z, -y), looking the same way.
TEST(PatchtextToGltf, DefaultSceneImportsAndExportsBackWithItsCounts) {
    if (!HasSceneImporter()) GTEST_SKIP() << "this build has no scene importer";
    const std::string input = toolfiles::WriteDefaultSceneExport("gltf_back.txt");
    PatchIO original;
    ASSERT_EQ(original.Read(input.c_str()), 1);
    const auto turned = [](const Float3& p) { return Vec3(p.x, p.z, -p.y); };
    for (const char* container : kContainers) {
        SCOPED_TRACE(container);
        const std::string output = toolfiles::TempPath(std::string("gltf_back") + container);
        const int steps = 3;
        Convert(input, output, steps);
        SceneLoad load = LoadSceneFile(output, LoadListener());
        ASSERT_TRUE(load) << load.error;
        InstalledHost host;
        host.Root().AddChild(std::move(load.root));
        PatchIO back;
        back.CollectScene();
        ASSERT_EQ(back.NumPatchObjects(), original.NumPatchObjects());
        for (std::int32_t i = 0; i < back.NumPatchObjects(); ++i)
            EXPECT_EQ(static_cast<std::size_t>(back.PatchObjectAt(i).NumPatches()),
                      surface::TessellateObject(original.PatchObjectAt(i), steps).mesh.triangles.size());
        ASSERT_EQ(back.NumCameras(), original.NumCameras());
        for (std::int32_t k = 0; k < back.NumCameras(); ++k) {
            SCOPED_TRACE(k);
            const ExportCamera& was = original.CameraAt(k);
            const ExportCamera& is = back.CameraAt(k);
            const Vec3 position = turned(was.position);
            EXPECT_LE(surface::Length(Vec3::From(is.position) - position),
                      1e-4 * std::max(1.0, surface::Length(position)));
            const Vec3 looked = surface::NormalizedOr(turned(was.target) - position, {});
            const Vec3 looks = surface::NormalizedOr(Vec3::From(is.target) - Vec3::From(is.position), {});
            EXPECT_NEAR(surface::Length(looks - looked), 0.0, 1e-4);
        }
    }
}

TEST(PatchtextToGltfErrors, WrongNameUnreadableInputAndUnwritableOutput) {
    const std::string good = toolfiles::WriteFile("gltf_good.txt", toolfiles::kTriangleFile);
    toolfiles::Captured a, b, c;
    EXPECT_EQ(patchtool::RunToGltf({good, toolfiles::TempPath("gltf_out.obj"), 3}, a.console), patchtool::kExitUsage);
    EXPECT_NE(a.err.str().find("must end in .glb (binary) or .gltf (JSON)"), std::string::npos) << a.err.str();
    EXPECT_EQ(toolfiles::ReadFile(toolfiles::TempPath("gltf_out.obj")), "");
    EXPECT_EQ(
        patchtool::RunToGltf({toolfiles::TempPath("gltf_missing.txt"), toolfiles::TempPath("x.glb"), 3}, b.console),
        patchtool::kExitUsage);
    EXPECT_EQ(patchtool::RunToGltf({good, toolfiles::TempPath("no_such_folder/out.glb"), 3}, c.console),
              patchtool::kExitUsage);
    EXPECT_NE(c.err.str().find("cannot write the file"), std::string::npos);
}

}  // namespace
