// The tessellation of single patches and small objects: flat polygons stay
// flat, shared edges share vertices, degenerate patches give usable normals.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "BptFixture.h"
#include "MeshObjects.h"
#include "surface/BezierPatch.h"
#include "surface/Tessellator.h"

using surface::Vec3;

namespace {

void ExpectNear(Vec3 expected, Vec3 actual, double tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

TEST(Tessellator, FlatTriangleIsTheTriangleItself) {
    const Vec3 a{0, 0, 0}, b{3, 0, 1}, c{0, 6, 2};
    ExportPatchObject object;
    meshobjects::AddTriangle(object, {0, 0, 0}, {3, 0, 1}, {0, 6, 2});
    const int steps = 6;
    const auto out = surface::TessellateObject(object, steps);
    ASSERT_EQ(out.patches.size(), 1u);
    const Vec3 normal = surface::NormalizedOr(Cross(b - a, c - a), {});
    for (int row = 0; row <= steps; ++row) {
        for (int col = 0; col + row <= steps; ++col) {
            const double wa = double(col) / steps, wb = double(row) / steps;
            const std::size_t sample = surface::TriSampleIndex(steps, col, row);
            const auto at = static_cast<std::size_t>(out.patches[0].vertex[sample]);
            ExpectNear((1 - wa - wb) * a + wa * b + wb * c, out.mesh.positions[at], 1e-6);
            ExpectNear(normal, out.mesh.normals[static_cast<std::size_t>(out.patches[0].normal[sample])], 1e-6);
        }
    }
    EXPECT_EQ(out.mesh.triangles.size(), static_cast<std::size_t>(steps * steps));
}

TEST(Tessellator, QuadFromAPolygonIsTheBilinearQuad) {
    // A twisted quad: the bilinear patch is a saddle, not a plane.
    const Vec3 p[4] = {{0, 0, 0}, {4, 0, 1}, {4, 4, 0}, {0, 4, 1}};
    ExportPatchObject object;
    meshobjects::AddQuad(object, {0, 0, 0}, {4, 0, 1}, {4, 4, 0}, {0, 4, 1});
    const int steps = 5;
    const auto out = surface::TessellateObject(object, steps);
    ASSERT_EQ(out.patches.size(), 1u);
    for (int r = 0; r <= steps; ++r) {
        for (int c = 0; c <= steps; ++c) {
            const double s = double(c) / steps, t = double(r) / steps;
            const Vec3 bilinear = (1 - t) * ((1 - s) * p[0] + s * p[1]) + t * ((1 - s) * p[3] + s * p[2]);
            const auto id = out.patches[0].vertex[static_cast<std::size_t>(r * (steps + 1) + c)];
            ExpectNear(bilinear, out.mesh.positions[static_cast<std::size_t>(id)], 1e-5);
        }
    }
}

// Two quads sharing the edge (1,0)-(1,1); the second one runs along it the
// other way round.
ExportPatchObject TwoQuads() {
    ExportPatchObject object;
    meshobjects::AddQuad(object, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0});
    meshobjects::AddQuad(object, {1, 1, 0}, {1, 0, 0}, {2, 0, 0.5f}, {2, 1, 0.5f});
    return object;
}

TEST(Tessellator, SharedEdgeUsesTheSameVertices) {
    const int steps = 7;
    const auto out = surface::TessellateObject(TwoQuads(), steps);
    ASSERT_EQ(out.patches.size(), 2u);
    const auto n = static_cast<std::size_t>(steps + 1);
    EXPECT_EQ(out.mesh.positions.size(), 2 * n * n - n);
    std::vector<std::int32_t> first, second;
    for (auto i : surface::EdgeSampleIndices(4, steps, 1)) first.push_back(out.patches[0].vertex[i]);
    for (auto i : surface::EdgeSampleIndices(4, steps, 0)) second.push_back(out.patches[1].vertex[i]);
    std::reverse(second.begin(), second.end());
    EXPECT_EQ(first, second);
}

TEST(Tessellator, PoleCollapsesAndKeepsFiniteNormals) {
    // A cone-like quad whose edge 0 has both corners at the apex.
    ExportPatchObject object;
    const Float3 apex{0, 0, 2};
    for (const Float3& p : {apex, apex, Float3{1, 1, 0}, Float3{1, -1, 0}}) object.AddVert(p);
    const Float3 vecs[12] = {apex,
                             apex,
                             {0.33f, 0.33f, 1.33f},
                             {0.67f, 0.67f, 0.67f},
                             {1.2f, 0.4f, 0},
                             {1.2f, -0.4f, 0},
                             {0.67f, -0.67f, 0.67f},
                             {0.33f, -0.33f, 1.33f},
                             {0.3f, 0, 1.4f},
                             {0.3f, 0.1f, 1.4f},
                             {0.8f, 0.3f, 0.6f},
                             {0.8f, -0.3f, 0.6f}};
    for (const Float3& v : vecs) object.AddVec(v);
    ExportPatch patch;
    const std::int32_t verts[4] = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) patch.verts[i] = verts[i];
    for (int i = 0; i < 8; ++i) patch.vecs[i] = i;
    for (int i = 0; i < 4; ++i) patch.interior[i] = 8 + i;
    object.AddPatch(patch);
    const int steps = 4;
    const auto out = surface::TessellateObject(object, steps);
    ASSERT_EQ(out.patches.size(), 1u);
    const std::set<std::int32_t> apexIds(out.patches[0].vertex.begin(), out.patches[0].vertex.begin() + steps + 1);
    EXPECT_EQ(apexIds.size(), 1u);
    // The first row of cells loses one triangle each.
    EXPECT_EQ(out.mesh.triangles.size(), static_cast<std::size_t>(2 * steps * steps - steps));
    for (const Vec3& n : out.mesh.normals) {
        ASSERT_TRUE(surface::IsFinite(n));
        EXPECT_NEAR(surface::Length(n), 1.0, 1e-9);
    }
    // The apex takes its normals from inside the patch: on the same side as
    // the normal in the patch's middle.
    const auto normalOf = [&](std::size_t sample) {
        return out.mesh.normals[static_cast<std::size_t>(out.patches[0].normal[sample])];
    };
    const Vec3 middle = normalOf(static_cast<std::size_t>(2 * (steps + 1) + 2));
    for (std::size_t k = 0; k <= static_cast<std::size_t>(steps); ++k)
        EXPECT_GT(surface::Dot(normalOf(k), middle), 0.5);
}

TEST(Tessellator, NormalsAreSharedAcrossSmoothJoinsAndSplitAtCreases) {
    ExportPatchObject object;
    // Two coplanar quads, then a third one folded up by 90 degrees.
    meshobjects::AddQuad(object, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0});
    meshobjects::AddQuad(object, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0});
    meshobjects::AddQuad(object, {2, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 1, 0});
    const int steps = 2;
    const auto out = surface::TessellateObject(object, steps);
    ASSERT_EQ(out.patches.size(), 3u);
    const auto sample = [&](int edge, int k) {
        return surface::EdgeSampleIndices(4, steps, edge)[static_cast<std::size_t>(k)];
    };
    // The middle of the shared edge x = 1: one position, one normal.
    const auto& p0 = out.patches[0];
    const auto& p1 = out.patches[1];
    const auto& p2 = out.patches[2];
    EXPECT_EQ(p0.vertex[sample(1, 1)], p1.vertex[sample(3, 1)]);
    EXPECT_EQ(p0.normal[sample(1, 1)], p1.normal[sample(3, 1)]);
    // The middle of the fold x = 2: one position, two normals.
    EXPECT_EQ(p1.vertex[sample(1, 1)], p2.vertex[sample(3, 1)]);
    EXPECT_NE(p1.normal[sample(1, 1)], p2.normal[sample(3, 1)]);
    EXPECT_NEAR(std::fabs(out.mesh.normals[static_cast<std::size_t>(p2.normal[sample(3, 1)])].x), 1.0, 1e-9);
}

TEST(Tessellator, PatchesWithoutASurfaceAreSkippedWithTheReason) {
    struct Case {
        const char* name;
        void (*spoil)(ExportPatch&);
        const char* reason;
    };
    const Case cases[] = {
        {"vertex", [](ExportPatch& p) { p.verts[2] = 99; }, "vertex index 99"},
        {"no vertex", [](ExportPatch& p) { p.verts[0] = -1; }, "vertex index -1"},
        {"vector", [](ExportPatch& p) { p.vecs[5] = 40; }, "vector index 40"},
        {"interior", [](ExportPatch& p) { p.interior[3] = -7; }, "interior index -7"},
        {"sides", [](ExportPatch& p) { p.sides = 5; }, "side count 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportPatchObject object = TwoQuads();
        ExportPatchObject spoiled;
        for (std::int32_t i = 0; i < object.NumVerts(); ++i) spoiled.AddVert(object.VertAt(i));
        for (std::int32_t i = 0; i < object.NumVecs(); ++i) spoiled.AddVec(object.VecAt(i));
        ExportPatch bad = object.PatchAt(0);
        c.spoil(bad);
        spoiled.AddPatch(bad);
        spoiled.AddPatch(object.PatchAt(1));
        const auto out = surface::TessellateObject(spoiled, 3);
        ASSERT_EQ(out.skipped.size(), 1u);
        EXPECT_EQ(out.skipped[0].patch, 0);
        EXPECT_NE(out.skipped[0].reason.find(c.reason), std::string::npos) << out.skipped[0].reason;
        EXPECT_EQ(out.patches.size(), 1u);
    }
}

TEST(Tessellator, BatchesGiveTheMeshOfTheWhole) {
    const ExportPatchObject object = bpt::ToExportObject(bpt::Sheet(5));
    const int steps = 3;
    const auto whole = surface::TessellateObject(object, steps);
    surface::Tessellation batches(steps);
    std::vector<Vec3> positions;
    std::vector<std::array<std::int32_t, 3>> triangles;
    for (std::int32_t p = 0; p < object.NumPatches(); ++p) {
        batches.AddPatch(object, p);
        if (p % 4 != 3 && p + 1 != object.NumPatches()) continue;
        const auto batch = batches.TakeBatch();
        EXPECT_EQ(batch.mesh.firstPosition, static_cast<std::int32_t>(positions.size()));
        positions.insert(positions.end(), batch.mesh.positions.begin(), batch.mesh.positions.end());
        triangles.insert(triangles.end(), batch.mesh.triangles.begin(), batch.mesh.triangles.end());
        EXPECT_EQ(batch.mesh.triangles.size(), batch.mesh.triangleNormals.size());
        for (const auto& corners : batch.mesh.triangleNormals)
            for (const std::int32_t n : corners) EXPECT_LT(static_cast<std::size_t>(n), batch.mesh.normals.size());
    }
    EXPECT_EQ(positions, whole.mesh.positions);
    EXPECT_EQ(triangles, whole.mesh.triangles);
    // The sheet's surface points, each once.
    EXPECT_EQ(positions.size(), static_cast<std::size_t>((5 * steps + 1) * (5 * steps + 1)));
}

TEST(Tessellator, NonFiniteControlPointsAreSkipped) {
    ExportPatchObject object;
    meshobjects::AddTriangle(object, {0, 0, 0}, {1, 0, 0}, {0, std::nanf(""), 0});
    const auto out = surface::TessellateObject(object, 3);
    ASSERT_EQ(out.skipped.size(), 1u);
    EXPECT_TRUE(out.mesh.triangles.empty());
}

}  // namespace
