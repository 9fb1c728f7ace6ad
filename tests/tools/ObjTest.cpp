// patchtext to-obj: the OBJ reads back in a common loader with one group
// per patch object, normals on every corner and the tessellated points.
#include <gtest/gtest.h>

#include <tiny_obj_loader.h>

#include <array>
#include <cmath>
#include <set>

#include "BptFixture.h"
#include "ToolFiles.h"
#include "patchio/PatchIO.h"
#include "surface/Tessellator.h"

namespace {

struct LoadedObj {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
};

LoadedObj Load(const std::string& path) {
    LoadedObj obj;
    std::string warnings, errors;
    EXPECT_TRUE(tinyobj::LoadObj(&obj.attrib, &obj.shapes, &obj.materials, &warnings, &errors, path.c_str())) << errors;
    EXPECT_EQ(errors, "");
    return obj;
}

TEST(PatchtextToObj, DefaultSceneGivesOneGroupPerObjectWithNormals) {
    const std::string input = toolfiles::WriteDefaultSceneExport("obj_default.txt");
    const std::string output = toolfiles::TempPath("obj_default.obj");
    toolfiles::Captured io;
    ASSERT_EQ(patchtool::RunToObj({input, output, 4}, io.console), patchtool::kExitOk) << io.err.str();
    EXPECT_EQ(io.err.str(), "");
    const LoadedObj obj = Load(output);
    ASSERT_EQ(obj.shapes.size(), 2u);
    EXPECT_EQ(obj.shapes[0].name, "patchobject_0");
    EXPECT_EQ(obj.shapes[1].name, "patchobject_1");

    PatchIO set;
    ASSERT_EQ(set.Read(input.c_str()), 1);
    std::size_t positions = 0;
    for (std::size_t s = 0; s < 2; ++s) {
        SCOPED_TRACE(s);
        const auto mesh = surface::TessellateObject(set.PatchObjectAt(static_cast<std::int32_t>(s)), 4).mesh;
        ASSERT_EQ(obj.shapes[s].mesh.indices.size(), 3 * mesh.triangles.size());
        for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
            for (std::size_t c = 0; c < 3; ++c) {
                const tinyobj::index_t index = obj.shapes[s].mesh.indices[3 * t + c];
                ASSERT_GE(index.normal_index, 0);
                // Each group's corners refer to its own vertices.
                EXPECT_EQ(static_cast<std::size_t>(index.vertex_index),
                          positions + static_cast<std::size_t>(mesh.triangles[t][c]));
                const auto v = 3 * static_cast<std::size_t>(index.vertex_index);
                const surface::Vec3 p = mesh.positions[static_cast<std::size_t>(mesh.triangles[t][c])];
                EXPECT_EQ(obj.attrib.vertices[v], static_cast<float>(p.x));
                EXPECT_EQ(obj.attrib.vertices[v + 1], static_cast<float>(p.y));
                EXPECT_EQ(obj.attrib.vertices[v + 2], static_cast<float>(p.z));
                const auto n = 3 * static_cast<std::size_t>(index.normal_index);
                const double length =
                    std::hypot(obj.attrib.normals[n], obj.attrib.normals[n + 1], obj.attrib.normals[n + 2]);
                EXPECT_NEAR(length, 1.0, 1e-6);
            }
        }
        positions += mesh.positions.size();
    }
    EXPECT_EQ(obj.attrib.vertices.size(), 3 * positions);
    EXPECT_NE(io.out.str().find(output + ": 2 objects, "), std::string::npos);
}

// More patches than to-obj tessellates at once: the batches must still weld
// into one surface, every point once.
TEST(PatchtextToObj, LargeObjectsWeldAcrossBatches) {
    const int n = 70;  // 4900 patches
    PatchIO set;
    set.AddPatchObject(bpt::ToExportObject(bpt::Sheet(n)));
    const std::string input = toolfiles::TempPath("obj_sheet.txt");
    ASSERT_EQ(set.Write(input.c_str()), 1);
    const std::string output = toolfiles::TempPath("obj_sheet.obj");
    toolfiles::Captured io;
    ASSERT_EQ(patchtool::RunToObj({input, output, 2}, io.console), patchtool::kExitOk) << io.err.str();
    const LoadedObj obj = Load(output);
    ASSERT_EQ(obj.shapes.size(), 1u);
    const std::size_t side = 2 * n + 1;
    EXPECT_EQ(obj.attrib.vertices.size(), 3 * side * side);
    std::set<std::array<float, 3>> distinct;
    for (std::size_t v = 0; v < obj.attrib.vertices.size(); v += 3)
        distinct.insert({obj.attrib.vertices[v], obj.attrib.vertices[v + 1], obj.attrib.vertices[v + 2]});
    EXPECT_EQ(distinct.size(), side * side);
    EXPECT_EQ(obj.shapes[0].mesh.indices.size(), 3u * 2u * 4u * static_cast<std::size_t>(n * n));
}

TEST(PatchtextToObj, MoreStepsMakeMoreTriangles) {
    const std::string input = toolfiles::WriteFile("obj_triangle.txt", toolfiles::kTriangleFile);
    std::size_t previous = 0;
    for (const int steps : {1, 2, 5}) {
        const std::string output = toolfiles::TempPath("obj_steps.obj");
        toolfiles::Captured io;
        ASSERT_EQ(patchtool::RunToObj({input, output, steps}, io.console), patchtool::kExitOk);
        const LoadedObj obj = Load(output);
        ASSERT_EQ(obj.shapes.size(), 1u);
        EXPECT_EQ(obj.shapes[0].mesh.indices.size(), 3u * static_cast<std::size_t>(steps * steps));
        EXPECT_GT(obj.shapes[0].mesh.indices.size(), previous);
        previous = obj.shapes[0].mesh.indices.size();
    }
}

TEST(PatchtextToObj, PatchesWithoutASurfaceAreLeftOutWithAWarning) {
    const std::string text = toolfiles::Replace(toolfiles::kTriangleFile, "VERTS 0 1 2", "VERTS 0 1 5");
    const std::string input = toolfiles::WriteFile("obj_bad_index.txt", text);
    const std::string output = toolfiles::TempPath("obj_bad_index.obj");
    toolfiles::Captured io;
    ASSERT_EQ(patchtool::RunToObj({input, output, 3}, io.console), patchtool::kExitOk);
    EXPECT_EQ(io.err.str(), input +
                                ": warning: patch object 0, patch 0 has no surface and is left out: vertex index 5 "
                                "is outside the vertex list\n");
    const LoadedObj obj = Load(output);
    ASSERT_EQ(obj.shapes.size(), 0u);  // an empty group reads as no shape
}

TEST(PatchtextToObj, UnreadableInputAndUnwritableOutput) {
    const std::string good = toolfiles::WriteFile("obj_good.txt", toolfiles::kTriangleFile);
    const std::string broken =
        toolfiles::WriteFile("obj_broken.txt", toolfiles::Replace(toolfiles::kTriangleFile, "PATCH 0", "PATCH 1"));
    toolfiles::Captured a, b, c;
    EXPECT_EQ(patchtool::RunToObj({good, toolfiles::TempPath("no_such_folder/out.obj"), 3}, a.console),
              patchtool::kExitUsage);
    EXPECT_NE(a.err.str().find("cannot write the file"), std::string::npos);
    EXPECT_EQ(patchtool::RunToObj({broken, toolfiles::TempPath("obj_broken.obj"), 3}, b.console),
              patchtool::kExitBadFile);
    EXPECT_NE(b.err.str().find(broken + ":19:9: error: "), std::string::npos) << b.err.str();
    EXPECT_EQ(patchtool::RunToObj({toolfiles::TempPath("obj_missing.txt"), toolfiles::TempPath("x.obj"), 3}, c.console),
              patchtool::kExitUsage);
}

}  // namespace
