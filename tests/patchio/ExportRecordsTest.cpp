#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <utility>

#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

namespace {

class ExportRecords : public ::testing::Test {
protected:
    void SetUp() override { ClearAssertReports(); }
    void TearDown() override { ClearAssertReports(); }

    static bool Reported(int line) {
        for (const AssertReport& report : AssertReports())
            if (report.line == line && report.file == "PatchIO") return true;
        return false;
    }
};

HostPatch Triangle() {
    HostPatch patch;
    patch.type = 3;
    const int verts[] = {4, 5, 6, 7};
    const int vecs[] = {10, 11, 12, 13, 14, 15, 16, 17};
    const int interior[] = {20, 21, 22, 23};
    const int edges[] = {0, 1, 2, 3};
    std::memcpy(patch.vertIndex, verts, sizeof verts);
    std::memcpy(patch.vecIndex, vecs, sizeof vecs);
    std::memcpy(patch.interiorIndex, interior, sizeof interior);
    std::memcpy(patch.edgeIndex, edges, sizeof edges);
    return patch;
}

TEST_F(ExportRecords, DefaultPatchIsAQuadWithoutIndices) {
    const ExportPatch patch;
    EXPECT_EQ(patch.sides, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(patch.verts[i], -1);
        EXPECT_EQ(patch.interior[i], -1);
        EXPECT_EQ(patch.adjacent[i], -1);
    }
    for (int j = 0; j < 8; ++j) EXPECT_EQ(patch.vecs[j], -1);
}

TEST_F(ExportRecords, TriangleTakesItsSlotsFromTheHostPatch) {
    MemoryPatchMesh mesh;
    mesh.edges = {{0, 3}, {2, 0}, {0, -1}};
    const ExportPatch patch(Triangle(), mesh, 0);
    EXPECT_EQ(patch.sides, 3);
    EXPECT_EQ(patch.verts[0], 4);
    EXPECT_EQ(patch.verts[2], 6);
    EXPECT_EQ(patch.verts[3], -1) << "the fourth slot of a triangle stays unset";
    EXPECT_EQ(patch.vecs[5], 15);
    EXPECT_EQ(patch.vecs[6], -1);
    EXPECT_EQ(patch.interior[2], 22);
    EXPECT_EQ(patch.adjacent[0], 3);
    EXPECT_EQ(patch.adjacent[1], 2);
    EXPECT_EQ(patch.adjacent[2], -1);
    EXPECT_TRUE(AssertReports().empty());
}

TEST_F(ExportRecords, AdjacencyNamesThePatchOnTheOtherSide) {
    struct Case {
        int first, second, expected;
    };
    // Seen from patch 5.
    const Case cases[] = {{5, -1, -1}, {5, 7, 7}, {7, 5, 7}, {5, 5, -1}, {-1, 5, -1}, {5, -3, -1}};
    for (const Case& c : cases) {
        MemoryPatchMesh mesh;
        mesh.edges = {{c.first, c.second}};
        HostPatch host;
        host.edgeIndex[0] = 0;
        const ExportPatch patch(host, mesh, 5);
        EXPECT_EQ(patch.adjacent[0], c.expected) << "edge (" << c.first << ", " << c.second << ")";
    }
}

TEST_F(ExportRecords, UnknownPatchTypeIsReportedAndStaysBounded) {
    for (int type : {0, 2, 5, -1}) {
        ClearAssertReports();
        HostPatch host = Triangle();
        host.type = type;
        MemoryPatchMesh mesh;
        const ExportPatch patch(host, mesh, 0);
        EXPECT_TRUE(Reported(60)) << "type " << type;
        EXPECT_TRUE(patch.sides == 3 || patch.sides == 4);
        EXPECT_EQ(patch, ExportPatch());
    }
}

TEST_F(ExportRecords, ObjectCopiesTheMeshBitForBit) {
    MemoryPatchMesh mesh;
    const float odd[] = {-0.0f, std::numeric_limits<float>::denorm_min(), 1e30f, 0.1f};
    for (float v : odd) mesh.verts.push_back({v, -v, v * 2});
    mesh.vecs = {{1, 2, 3}};
    HostPatch quad;
    quad.vertIndex[0] = 3;
    mesh.patches = {quad, Triangle()};
    mesh.edges = {{0, 1}, {1, 0}, {1, -1}, {0, -1}};
    const ExportPatchObject object(mesh);
    ASSERT_EQ(object.NumVerts(), 4);
    ASSERT_EQ(object.NumVecs(), 1);
    ASSERT_EQ(object.NumPatches(), 2);
    for (int k = 0; k < 4; ++k) {
        const Float3 got = object.VertAt(k);
        EXPECT_EQ(std::memcmp(&got, &mesh.verts[static_cast<std::size_t>(k)], sizeof got), 0) << k;
    }
    EXPECT_EQ(object.PatchAt(0).verts[0], 3);
    EXPECT_EQ(object.PatchAt(1).sides, 3);
    EXPECT_EQ(object.PatchAt(1).adjacent[0], 0) << "patch 1 on edge (0, 1) sees patch 0";
}

TEST_F(ExportRecords, EmptyMeshGivesEmptyLists) {
    const MemoryPatchMesh mesh;
    const ExportPatchObject object(mesh);
    EXPECT_EQ(object.NumVerts(), 0);
    EXPECT_EQ(object.NumVecs(), 0);
    EXPECT_EQ(object.NumPatches(), 0);
}

TEST_F(ExportRecords, PatchAtOutsideTheListIsReported) {
    ExportPatchObject object;
    object.AddPatch(ExportPatch());
    for (int index : {-1, 1, 1000}) {
        ClearAssertReports();
        const ExportPatch& patch = object.PatchAt(index);
        EXPECT_TRUE(Reported(227)) << index;
        EXPECT_EQ(patch.sides, 4);
    }
    ClearAssertReports();
    object.PatchAt(0);
    EXPECT_TRUE(AssertReports().empty());
}

TEST_F(ExportRecords, CopiesAreIndependentAndSelfAssignmentKeepsEverything) {
    ExportPatchObject object;
    object.AddVert({1, 2, 3});
    object.AddVec({4, 5, 6});
    object.AddPatch(ExportPatch());
    ExportPatchObject& alias = object;
    object = alias;
    EXPECT_EQ(object.NumVerts(), 1);
    EXPECT_EQ(object.NumVecs(), 1);
    EXPECT_EQ(object.NumPatches(), 1);

    PatchIO set;
    set.AddPatchObject(object);
    object.AddVert({7, 8, 9});
    EXPECT_EQ(set.PatchObjectAt(0).NumVerts(), 1) << "the set holds a copy";
}

TEST_F(ExportRecords, CameraDefaultsAndEquality) {
    const ExportCamera camera;
    EXPECT_EQ(camera.position, Float3(0, 0, 100));
    EXPECT_EQ(camera.target, Float3(0, 0, 0));
    ExportCamera other = camera;
    EXPECT_EQ(other, camera);
    other.target.y = 1;
    EXPECT_NE(other, camera);
}

TEST_F(ExportRecords, ClearEmptiesBothLists) {
    PatchIO set;
    set.Clear();
    EXPECT_EQ(set.NumPatchObjects(), 0);
    set.AddPatchObject(ExportPatchObject());
    set.AddCamera(ExportCamera());
    set.AddCamera(ExportCamera());
    EXPECT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.NumCameras(), 2);
    set.Clear();
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(set.NumCameras(), 0);
}

}  // namespace
