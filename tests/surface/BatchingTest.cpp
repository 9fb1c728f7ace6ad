// The one batching of the tools: batches of one Tessellation that together
// are the whole object's mesh, and the corner vertices built from them.
#include <gtest/gtest.h>

#include <cmath>

#include "surface/CornerVertices.h"
#include "surface/Tessellator.h"

namespace {

// A flat grid of columns x rows unit quadrilaterals; shared edges have
// their handles at the same points, as an exporter writes them.
ExportPatchObject Grid(int columns, int rows) {
    ExportPatchObject object;
    const auto vert = [columns](int x, int y) { return y * (columns + 1) + x; };
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= columns; ++x) object.AddVert({static_cast<float>(x), static_cast<float>(y), 0.0f});
    const auto handle = [&object](float x, float y) {
        object.AddVec({x, y, 0.0f});
        return object.NumVecs() - 1;
    };
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            ExportPatch patch;
            const int c[4] = {vert(x, y), vert(x + 1, y), vert(x + 1, y + 1), vert(x, y + 1)};
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float third = 1.0f / 3.0f, twoThirds = 2.0f / 3.0f;
            const float hx[8] = {fx + third, fx + twoThirds, fx + 1, fx + 1, fx + twoThirds, fx + third, fx, fx};
            const float hy[8] = {fy, fy, fy + third, fy + twoThirds, fy + 1, fy + 1, fy + twoThirds, fy + third};
            for (int i = 0; i < 4; ++i) patch.verts[i] = c[i];
            for (int i = 0; i < 8; ++i) patch.vecs[i] = handle(hx[i], hy[i]);
            const float ix[4] = {fx + third, fx + twoThirds, fx + twoThirds, fx + third};
            const float iy[4] = {fy + third, fy + third, fy + twoThirds, fy + twoThirds};
            for (int i = 0; i < 4; ++i) patch.interior[i] = handle(ix[i], iy[i]);
            object.AddPatch(patch);
        }
    }
    return object;
}

TEST(Batching, BatchesTogetherAreTheWholeObject) {
    // Sizes around one batch: fewer patches, exactly one batch, one more.
    const int sizes[][2] = {{3, 2}, {64, 64}, {4097, 1}};
    for (const auto& size : sizes) {
        const ExportPatchObject object = Grid(size[0], size[1]);
        const surface::ObjectMesh whole = surface::TessellateObject(object, 2);
        surface::CornerVertices fromWhole, fromBatches;
        fromWhole.Add(whole.mesh);
        int batches = 0, patches = 0;
        std::vector<surface::Vec3> positions;
        std::vector<std::array<std::int32_t, 3>> triangles;
        const auto skipped = surface::TessellateInBatches(
            object, 2,
            [&](const surface::ObjectMesh& batch) {
                ++batches;
                EXPECT_EQ(batch.mesh.firstPosition, static_cast<std::int32_t>(positions.size()));
                positions.insert(positions.end(), batch.mesh.positions.begin(), batch.mesh.positions.end());
                triangles.insert(triangles.end(), batch.mesh.triangles.begin(), batch.mesh.triangles.end());
                fromBatches.Add(batch.mesh);
            },
            [&patches] { ++patches; });
        EXPECT_TRUE(skipped.empty());
        EXPECT_EQ(patches, object.NumPatches());
        EXPECT_EQ(batches, (object.NumPatches() + surface::kPatchesPerBatch - 1) / surface::kPatchesPerBatch);
        EXPECT_EQ(positions, whole.mesh.positions) << size[0];
        EXPECT_EQ(triangles, whole.mesh.triangles) << size[0];
        // Corner by corner the same point and, on the flat grid, the same normal;
        // only where batches meet may a point have a vertex of each batch.
        ASSERT_EQ(fromBatches.Indices().size(), fromWhole.Indices().size());
        for (std::size_t k = 0; k < fromWhole.Indices().size(); ++k) {
            EXPECT_EQ(fromBatches.Positions()[fromBatches.Indices()[k]], fromWhole.Positions()[fromWhole.Indices()[k]]);
            EXPECT_EQ(fromBatches.Normals()[fromBatches.Indices()[k]], fromWhole.Normals()[fromWhole.Indices()[k]]);
        }
        EXPECT_EQ(fromBatches.Positions().size() == fromWhole.Positions().size(), batches == 1) << size[0];
        // A flat grid welds into (2 columns + 1) x (2 rows + 1) points.
        EXPECT_EQ(fromWhole.Positions().size(), static_cast<std::size_t>((2 * size[0] + 1) * (2 * size[1] + 1)));
    }
}

// The batches of object, as corner vertices, evaluated through forEach.
surface::CornerVertices Batches(const ExportPatchObject& object, int steps, const surface::ForEach& forEach) {
    surface::CornerVertices corners;
    surface::TessellateInBatches(
        object, steps, [&](const surface::ObjectMesh& b) { corners.Add(b.mesh); }, nullptr, forEach);
    return corners;
}

TEST(Batching, AnyOrderOfEvaluationGivesTheSameMesh) {
    ExportPatchObject object = Grid(70, 70);  // more than one batch
    object.VertData()[100].z = 0.5f;          // a bump, so that normals differ
    object.VecData()[7] = {NAN, 0, 0};        // a patch without a surface
    const surface::ForEach backwards = [](std::int32_t count, const std::function<void(std::int32_t)>& job) {
        for (std::int32_t k = count - 1; k >= 0; --k) job(k);
    };
    for (int steps : {1, 3, 8}) {  // a 32-bit process holds these too
        const surface::CornerVertices inOrder = Batches(object, steps, nullptr);
        const surface::CornerVertices reversed = Batches(object, steps, backwards);
        EXPECT_EQ(reversed.Positions(), inOrder.Positions()) << steps;
        EXPECT_EQ(reversed.Normals(), inOrder.Normals()) << steps;
        EXPECT_EQ(reversed.Indices(), inOrder.Indices()) << steps;
    }
}

TEST(Batching, CornerVerticesSplitOnlyWhereNormalsDiffer) {
    // Two quadrilaterals folded at 90 degrees along a shared edge: the fold's
    // points become two vertices each, the others one.
    ExportPatchObject object = Grid(2, 1);
    for (std::int32_t v = 0; v < object.NumVerts(); ++v)
        if (object.VertData()[v].x > 1.5f) object.VertData()[v] = {1.0f, object.VertData()[v].y, -1.0f};
    for (std::int32_t v = 0; v < object.NumVecs(); ++v) {
        Float3& p = object.VecData()[v];
        if (p.x > 1.0f) p = {1.0f, p.y, -(p.x - 1.0f)};
    }
    const surface::ObjectMesh mesh = surface::TessellateObject(object, 1);
    surface::CornerVertices corners;
    corners.Add(mesh.mesh);
    EXPECT_EQ(mesh.mesh.positions.size(), 6u);
    EXPECT_EQ(corners.Positions().size(), 8u);
    EXPECT_EQ(corners.Indices().size(), 3u * mesh.mesh.triangles.size());
    for (std::size_t i = 0; i < corners.Normals().size(); ++i)
        EXPECT_NEAR(surface::Length(corners.Normals()[i]), 1.0, 1e-12);
}

}  // namespace
