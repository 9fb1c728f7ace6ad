// Polygon meshes and their conversion into new patch objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "SceneTestSupport.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace {

// A converted mesh, read through a conversion as the walker does it.
struct Converted {
    MemoryPatchMesh mesh;
    ExportPatchObject exported;
};

Converted Convert(const std::string& objText) {
    InstalledHost host;  // counts the conversion and the delete
    ObjectLoad load = LoadPolygonMeshText(objText, "test.obj");
    EXPECT_TRUE(load) << load.error;
    if (!load) return {};
    EXPECT_EQ(load.object->CanBecome(PatchObjectType), 1);
    EXPECT_EQ(load.object->PatchData(), nullptr);  // a polygon mesh, not a patch object
    HostObject* made = load.object->Become(0, PatchObjectType);
    EXPECT_NE(made, load.object.get());
    const auto* mesh = static_cast<const MemoryPatchMesh*>(made->PatchData());
    Converted result{*mesh, ExportPatchObject(*mesh)};
    made->DeleteMe();
    EXPECT_EQ(HostStats().ownedDeletes, 1);
    return result;
}

const char* const kBox =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

Float3 Mix(const Float3& a, double wa, const Float3& b, double wb) {
    const double t = wa + wb;
    return {static_cast<float>((wa * a.x + wb * b.x) / t), static_cast<float>((wa * a.y + wb * b.y) / t),
            static_cast<float>((wa * a.z + wb * b.z) / t)};
}

// Every patch side's vectors lie at a third and two thirds of the way from
// its corner to the next.
void ExpectVectorsAtThirds(const ExportPatchObject& object) {
    for (int p = 0; p < object.NumPatches(); ++p) {
        const ExportPatch& patch = object.PatchAt(p);
        for (int i = 0; i < patch.sides; ++i) {
            const Float3 from = object.VertAt(patch.verts[i]);
            const Float3 to = object.VertAt(patch.verts[(i + 1) % patch.sides]);
            EXPECT_EQ(object.VecAt(patch.vecs[2 * i]), Mix(from, 2, to, 1)) << p << ":" << i;
            EXPECT_EQ(object.VecAt(patch.vecs[2 * i + 1]), Mix(from, 1, to, 2)) << p << ":" << i;
        }
    }
}

// The two vertices of side i of a patch, lower first.
std::pair<int, int> EdgeOf(const ExportPatch& patch, int i) {
    const int a = patch.verts[i], b = patch.verts[(i + 1) % patch.sides];
    return {std::min(a, b), std::max(a, b)};
}

// Neighbours name each other back, across the same two vertices.
void ExpectMutualNeighbours(const ExportPatchObject& object) {
    for (int p = 0; p < object.NumPatches(); ++p) {
        const ExportPatch& patch = object.PatchAt(p);
        for (int i = 0; i < patch.sides; ++i) {
            const int q = patch.adjacent[i];
            if (q < 0) continue;
            const std::pair<int, int> edge = EdgeOf(patch, i);
            const ExportPatch& other = object.PatchAt(q);
            bool back = false;
            for (int j = 0; j < other.sides; ++j) {
                back = back || (other.adjacent[j] == p && EdgeOf(other, j) == edge);
            }
            EXPECT_TRUE(back) << p << " -> " << q;
        }
    }
}

TEST(PolygonConversion, ClosedBoxBecomesSixPatchesEachWithFourNeighbours) {
    const Converted box = Convert(kBox);
    ASSERT_EQ(box.exported.NumPatches(), 6);
    EXPECT_EQ(box.exported.NumVerts(), 8);
    EXPECT_EQ(box.exported.NumVecs(), 12 * 2 + 6 * 4);  // a pair per edge, four interior per patch
    EXPECT_EQ(box.mesh.EdgeCount(), 12);
    for (int p = 0; p < 6; ++p) {
        const ExportPatch& patch = box.exported.PatchAt(p);
        EXPECT_EQ(patch.sides, 4);
        std::set<int> neighbours(patch.adjacent, patch.adjacent + 4);
        EXPECT_EQ(neighbours.size(), 4u) << "patch " << p;
        EXPECT_EQ(neighbours.count(-1), 0u) << "patch " << p;
    }
    ExpectMutualNeighbours(box.exported);
    ExpectVectorsAtThirds(box.exported);
}

TEST(PolygonConversion, CornersAreTheMeshVerticesInOrder) {
    const Converted box = Convert(kBox);
    const int firstFace[4] = {0, 3, 2, 1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(box.exported.PatchAt(0).verts[i], firstFace[i]);
    EXPECT_EQ(box.exported.VertAt(6), Float3(1, 1, 1));
}

TEST(PolygonConversion, NeighboursShareOneVectorPairInOppositeOrder) {
    const Converted two = Convert("v 0 0 0\nv 3 0 0\nv 0 3 0\nv 3 3 0\nf 1 2 3\nf 2 4 3\n");
    const ExportPatch& a = two.exported.PatchAt(0);  // side 1 runs 2 -> 3
    const ExportPatch& b = two.exported.PatchAt(1);  // side 2 runs 3 -> 2
    EXPECT_EQ(a.adjacent[1], 1);
    EXPECT_EQ(b.adjacent[2], 0);
    EXPECT_EQ(a.vecs[2], b.vecs[5]);
    EXPECT_EQ(a.vecs[3], b.vecs[4]);
    EXPECT_EQ(two.exported.NumVecs(), 5 * 2 + 2 * 3);
    ExpectVectorsAtThirds(two.exported);
}

TEST(PolygonConversion, InteriorVectorsFollowTheCornerWeights) {
    const Converted tri = Convert("v 0 0 0\nv 6 0 0\nv 0 6 0\nf 1 2 3\n");
    const ExportPatch& t = tri.exported.PatchAt(0);
    EXPECT_EQ(tri.exported.VecAt(t.interior[0]), Float3(1, 1, 0));  // (4 v0 + v1 + v2) / 6
    EXPECT_EQ(tri.exported.VecAt(t.interior[1]), Float3(4, 1, 0));
    EXPECT_EQ(tri.exported.VecAt(t.interior[2]), Float3(1, 4, 0));

    const Converted quad = Convert("v 0 0 0\nv 9 0 0\nv 9 9 0\nv 0 9 0\nf 1 2 3 4\n");
    const ExportPatch& q = quad.exported.PatchAt(0);
    EXPECT_EQ(quad.exported.VecAt(q.interior[0]), Float3(3, 3, 0));  // (4 v0 + 2 v1 + v2 + 2 v3) / 9
    EXPECT_EQ(quad.exported.VecAt(q.interior[1]), Float3(6, 3, 0));
    EXPECT_EQ(quad.exported.VecAt(q.interior[2]), Float3(6, 6, 0));
    EXPECT_EQ(quad.exported.VecAt(q.interior[3]), Float3(3, 6, 0));
}

TEST(PolygonConversion, FlatMeshGivesFlatPatches) {
    const Converted flat = Convert("v 0 0 2\nv 4 1 2\nv 5 5 2\nv -1 4 2\nv 8 8 2\nf 1 2 3 4\nf 2 5 3\n");
    for (int v = 0; v < flat.exported.NumVecs(); ++v) EXPECT_EQ(flat.exported.VecAt(v).z, 2.0f);
}

TEST(PolygonConversion, LargerPolygonsAreSplitIntoAFan) {
    const Converted hexagon = Convert("v 2 0 0\nv 1 2 0\nv -1 2 0\nv -2 0 0\nv -1 -2 0\nv 1 -2 0\nf 1 2 3 4 5 6\n");
    ASSERT_EQ(hexagon.exported.NumPatches(), 4);
    for (int p = 0; p < 4; ++p) {
        const ExportPatch& patch = hexagon.exported.PatchAt(p);
        EXPECT_EQ(patch.sides, 3);
        EXPECT_EQ(patch.verts[0], 0);
        EXPECT_EQ(patch.verts[1], p + 1);
        EXPECT_EQ(patch.verts[2], p + 2);
        EXPECT_EQ(patch.adjacent[0], p == 0 ? -1 : p - 1);  // the diagonal to the previous triangle
        EXPECT_EQ(patch.adjacent[1], -1);                   // the hexagon's own side
        EXPECT_EQ(patch.adjacent[2], p == 3 ? -1 : p + 1);
    }
    ExpectMutualNeighbours(hexagon.exported);
}

TEST(PolygonConversion, ThirdPatchOnAnEdgeGetsAnOpenEdge) {
    const Converted fin = Convert("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 -1 0\nv 0 0 1\nf 1 2 3\nf 2 1 4\nf 1 2 5\n");
    EXPECT_EQ(fin.exported.PatchAt(0).adjacent[0], 1);
    EXPECT_EQ(fin.exported.PatchAt(1).adjacent[0], 0);
    EXPECT_EQ(fin.exported.PatchAt(2).adjacent[0], -1);
    EXPECT_EQ(fin.exported.PatchAt(2).vecs[0], fin.exported.PatchAt(0).vecs[0]);  // still the edge's vectors
}

TEST(PolygonConversion, FaceNamingAVertexTwiceKeepsAnOpenEdge) {
    const Converted sliver = Convert("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 -1 0\nf 1 1 2 3\nf 2 1 4\n");
    ASSERT_EQ(sliver.exported.NumPatches(), 2);
    EXPECT_EQ(sliver.exported.PatchAt(0).adjacent[0], -1);
    EXPECT_EQ(sliver.exported.PatchAt(0).adjacent[1], 1);
    ExpectMutualNeighbours(sliver.exported);
}

TEST(PolygonConversion, ListsAreAllocatedAtTheirFinalSize) {
    const std::string tube = [] {
        std::string text;
        for (int ring = 0; ring < 3; ++ring) {
            for (int k = 0; k < 7; ++k) {
                text += "v " + std::to_string(std::cos(k)) + " " + std::to_string(std::sin(k)) + " " +
                        std::to_string(ring) + "\n";
            }
        }
        for (int ring = 0; ring < 2; ++ring) {
            for (int k = 0; k < 7; ++k) {
                const int a = ring * 7 + k + 1, b = ring * 7 + (k + 1) % 7 + 1;
                text += "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(b + 7) + "\n";
                text += "f " + std::to_string(a) + " " + std::to_string(b + 7) + " " + std::to_string(a + 7) + "\n";
            }
        }
        return text;
    }();
    InstalledHost host;
    ObjectLoad load = LoadPolygonMeshText(tube, "tube.obj");
    ASSERT_TRUE(load) << load.error;
    HostObject* made = load.object->Become(0, PatchObjectType);
    const auto& mesh = static_cast<const MemoryObject*>(made)->mesh;
    EXPECT_EQ(mesh.patches.capacity(), mesh.patches.size());
    EXPECT_EQ(mesh.vecs.capacity(), mesh.vecs.size());
    EXPECT_EQ(mesh.edges.capacity(), mesh.edges.size());
    EXPECT_EQ(mesh.verts.capacity(), mesh.verts.size());
    made->DeleteMe();
}

TEST(PolygonConversion, ConversionTimeAndSourceSizeAreKnownToTheHost) {
    ObjectLoad load = LoadPolygonMeshText(kBox, "box.obj");
    ASSERT_TRUE(load) << load.error;
    // Eight points, 24 corner indices and six corner counts.
    EXPECT_EQ(load.object->sourceBytes, 8 * sizeof(Float3) + 24 * sizeof(std::int32_t) + 6);
}

struct MalformedCase {
    const char* name;
    std::string text;
    const char* expected;
};

class MalformedPolygonMesh : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedPolygonMesh, FailsWithTheFileNamed) {
    const ObjectLoad load = LoadPolygonMeshText(GetParam().text, "bad.obj");
    EXPECT_FALSE(load);
    EXPECT_EQ(load.error.rfind("bad.obj: ", 0), 0u) << load.error;
    EXPECT_NE(load.error.find(GetParam().expected), std::string::npos) << load.error;
}

std::string FaceOfSides(int sides) {
    std::string text;
    for (int k = 0; k < sides; ++k) text += "v " + std::to_string(k) + " " + std::to_string(k * k % 7) + " 0\n";
    text += "f";
    for (int k = 1; k <= sides; ++k) text += " " + std::to_string(k);
    return text + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedPolygonMesh,
    testing::Values(MalformedCase{"VertexBeyondTheList", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n", "face 1 refers"},
                    MalformedCase{"ZeroIndex", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "line 4"},
                    MalformedCase{"RelativeBeforeTheFirst", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -4 1 2\n", "face 1"},
                    MalformedCase{"TwoCorners", "v 0 0 0\nv 1 0 0\nf 1 2\n", "fewer than 3 corners"},
                    MalformedCase{"BareFace", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf\n", "fewer than 3 corners"},
                    MalformedCase{"BareFaceAtTheEnd", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n f", "fewer than 3 corners"},
                    MalformedCase{"Empty", "", "holds no faces"},
                    MalformedCase{"OnlyVertices", "v 0 0 0\nv 1 0 0\n", "holds no faces"},
                    MalformedCase{"OnlyPointsAndLines", "v 0 0 0\nv 1 0 0\np 1\nl 1 2\n",
                                  "holds only points and lines"},
                    MalformedCase{"Utf16",
                                  std::string("\xFE\xFF\0v\0 \0"
                                              "1",
                                              7),
                                  "UTF-16"},
                    MalformedCase{"LargeFaceBeyondTheList", FaceOfSides(300) + "f 1 2 301\n", "face 2 refers"},
                    MalformedCase{"BeyondFloat", "v 1e39 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "vertex 1"}),
    CaseName<MalformedCase>);

// Faces of any size convert: up to 255 corners as one face, larger ones as
// the same fan of triangles, beside smaller faces whose counts stay theirs.
TEST(PolygonConversion, FacesOfAnySizeConvertToTheirFans) {
    for (const int sides : {255, 256, 259, 511, 512, 1000}) {
        const Converted big = Convert(FaceOfSides(sides) + "f 1 2 3\nf 1 2 3 4\n");
        EXPECT_EQ(big.exported.NumPatches(), sides - 2 + 2) << sides;
    }
}

}  // namespace
