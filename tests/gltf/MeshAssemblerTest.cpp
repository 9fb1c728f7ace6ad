// The vertex arrays of a glTF mesh: one vertex per (position, normal) pair
// that the tessellation's triangles use, whatever the batches, each corner
// with the tessellation's own point and normal as 32-bit floats.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "BptFixture.h"
#include "gltf/MeshAssembler.h"

namespace {

struct BatchCase {
    int steps;
    std::int32_t patchesPerBatch;
};

class MeshAssemblerBatches : public ::testing::TestWithParam<BatchCase> {};

TEST_P(MeshAssemblerBatches, TeapotCornersKeepTheirPointsAndNormals) {
    const auto [steps, perBatch] = GetParam();
    const ExportPatchObject teapot = bpt::ToExportObject(bpt::ReadFile(GANTLINE_TEST_DATA "/teapot.bpt"));
    const surface::TriangleMesh whole = surface::TessellateObject(teapot, steps).mesh;

    gltf::MeshAssembler assembler;
    surface::Tessellation tessellation(steps);
    std::vector<surface::TriangleMesh> batches;
    for (std::int32_t p = 0; p < teapot.NumPatches(); ++p) {
        tessellation.AddPatch(teapot, p);
        if ((p + 1) % perBatch != 0 && p + 1 != teapot.NumPatches()) continue;
        batches.push_back(tessellation.TakeBatch().mesh);
        assembler.Add(batches.back());
    }
    const gltf::MeshData mesh = assembler.Take("teapot");
    EXPECT_EQ(mesh.name, "teapot");
    ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
    ASSERT_EQ(mesh.TriangleCount(), whole.triangles.size());

    // Normal ids count through the batches here, as position ids do.
    std::set<std::pair<std::int32_t, std::size_t>> pairs;
    std::size_t t = 0, normalsBefore = 0;
    for (const surface::TriangleMesh& batch : batches) {
        for (std::size_t b = 0; b < batch.triangles.size(); ++b, ++t) {
            for (std::size_t c = 0; c < 3; ++c) {
                const auto normal = static_cast<std::size_t>(batch.triangleNormals[b][c]);
                pairs.insert({batch.triangles[b][c], normalsBefore + normal});
                const std::size_t v = 3 * std::size_t{mesh.indices[3 * t + c]};
                // The same points as the whole object's tessellation.
                const surface::Vec3& p = whole.positions[static_cast<std::size_t>(batch.triangles[b][c])];
                const surface::Vec3& n = batch.normals[normal];
                ASSERT_EQ(mesh.positions[v], static_cast<float>(p.x));
                ASSERT_EQ(mesh.positions[v + 1], static_cast<float>(p.y));
                ASSERT_EQ(mesh.positions[v + 2], static_cast<float>(p.z));
                ASSERT_EQ(mesh.normals[v], static_cast<float>(n.x));
                ASSERT_EQ(mesh.normals[v + 1], static_cast<float>(n.y));
                ASSERT_EQ(mesh.normals[v + 2], static_cast<float>(n.z));
            }
        }
        normalsBefore += batch.normals.size();
    }
    EXPECT_EQ(mesh.VertexCount(), pairs.size());
    // Creases (the rim, the spout's and handle's joins) need more vertices
    // than positions; the lid's pole needs no more than its normals.
    EXPECT_GT(mesh.VertexCount(), whole.positions.size());
    EXPECT_EQ(*std::max_element(mesh.indices.begin(), mesh.indices.end()) + 1, mesh.VertexCount());
}

INSTANTIATE_TEST_SUITE_P(Batches, MeshAssemblerBatches,
                         ::testing::Values(BatchCase{1, 32}, BatchCase{4, 1}, BatchCase{4, 7}, BatchCase{6, 32}));

}  // namespace
