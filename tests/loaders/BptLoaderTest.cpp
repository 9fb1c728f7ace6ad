// Bezier patch files: the teapot, the layout of a patch, shared and
// degenerate edges, and malformed files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <sstream>
#include <tuple>

#include "SceneTestSupport.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace {

// A control net, [row][column].
struct Net {
    Float3 p[4][4];
    Float3* operator[](int row) { return p[row]; }
    const Float3* operator[](int row) const { return p[row]; }
};

// A curve of four control points.
struct Curve {
    Float3 p[4];
    Float3& operator[](int k) { return p[k]; }
    const Float3& operator[](int k) const { return p[k]; }
};

std::vector<Net> ParseNets(const std::string& text) {
    std::istringstream in(text);
    int count = 0, du = 0, dv = 0;
    in >> count;
    std::vector<Net> nets(static_cast<std::size_t>(count));
    for (Net& net : nets) {
        in >> du >> dv;
        for (auto& row : net.p) {
            for (Float3& p : row) in >> p.x >> p.y >> p.z;
        }
    }
    return nets;
}

std::string NetsText(const std::vector<Net>& nets) {
    std::ostringstream out;
    out << nets.size() << "\n";
    for (const Net& net : nets) {
        out << "3 3\n";
        for (const auto& row : net.p) {
            for (const Float3& p : row) out << p.x << " " << p.y << " " << p.z << "\n";
        }
    }
    return out.str();
}

// A flat net over the square [x0, x0 + 3] x [y0, y0 + 3], point (r, c) at
// (x0 + c, y0 + r).
Net FlatNet(float x0, float y0) {
    Net net;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) net[r][c] = {x0 + static_cast<float>(c), y0 + static_cast<float>(r), 0};
    }
    return net;
}

// The four boundary curves of a net, each from corner i to corner i + 1:
// row 0, column 3, row 3 backwards, column 0 backwards.
struct Sides {
    Curve curve[4];
    Curve& operator[](int i) { return curve[i]; }
    const Curve& operator[](int i) const { return curve[i]; }
};

Sides Boundary(const Net& n) {
    Sides sides;
    for (int k = 0; k < 4; ++k) {
        sides[0][k] = n[0][k];
        sides[1][k] = n[k][3];
        sides[2][k] = n[3][3 - k];
        sides[3][k] = n[3 - k][0];
    }
    return sides;
}

bool SameCurve(const Curve& a, const Curve& b) {
    const bool forward = a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
    const bool backward = a[0] == b[3] && a[1] == b[2] && a[2] == b[1] && a[3] == b[0];
    return forward || backward;
}

ExportPatchObject Exported(const MemoryPatchMesh& mesh) { return ExportPatchObject(mesh); }

MemoryPatchMesh LoadText(const std::string& text) {
    PatchMeshLoad load = LoadBezierPatchText(text, "test.bpt");
    EXPECT_TRUE(load.ok) << load.error;
    return load.mesh;
}

// Checks every patch's corners, handles and interior points against its
// control net, and its adjacency against the nets' matching boundaries.
void ExpectMatchesNets(const std::vector<Net>& nets, const ExportPatchObject& object) {
    ASSERT_EQ(object.NumPatches(), static_cast<int>(nets.size()));
    const int cornerRow[4] = {0, 0, 3, 3}, cornerColumn[4] = {0, 3, 3, 0};
    for (std::size_t p = 0; p < nets.size(); ++p) {
        const ExportPatch& patch = object.PatchAt(static_cast<int>(p));
        const auto sides = Boundary(nets[p]);
        ASSERT_EQ(patch.sides, 4);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE("patch " + std::to_string(p) + " side " + std::to_string(i));
            EXPECT_EQ(object.VertAt(patch.verts[i]), sides[i][0]);
            EXPECT_EQ(object.VecAt(patch.vecs[2 * i]), sides[i][1]);
            EXPECT_EQ(object.VecAt(patch.vecs[2 * i + 1]), sides[i][2]);
            const int r = cornerRow[i] == 0 ? 1 : 2, c = cornerColumn[i] == 0 ? 1 : 2;
            EXPECT_EQ(object.VecAt(patch.interior[i]), nets[p][r][c]);
            std::vector<int> matches;
            for (std::size_t q = 0; q < nets.size(); ++q) {
                if (q == p || sides[i][0] == sides[i][3]) continue;
                for (const Curve& other : Boundary(nets[q]).curve) {
                    if (SameCurve(sides[i], other)) matches.push_back(static_cast<int>(q));
                }
            }
            ASSERT_LE(matches.size(), 1u);
            EXPECT_EQ(patch.adjacent[i], matches.empty() ? -1 : matches[0]);
        }
    }
}

std::string TeapotText() { return ReadWholeFile(std::string(GANTLINE_PROJECT_DATA) + "/teapot.bpt"); }

TEST(BezierPatches, TeapotIsOnePatchObjectOfThirtyTwoPatches) {
    const SceneLoad load = LoadSceneFile(std::string(GANTLINE_PROJECT_DATA) + "/teapot.bpt");
    ASSERT_TRUE(load) << load.error;
    ASSERT_EQ(load.root->NumChildren(), 1u);
    MemoryNode* node = load.root->ChildNode(0);
    EXPECT_EQ(node->name, "teapot");
    ASSERT_NE(node->Object(), nullptr);
    EXPECT_EQ(node->Object()->CanBecome(PatchObjectType), 1);
    EXPECT_EQ(node->Object()->Become(0, PatchObjectType), node->Object());
    EXPECT_EQ(node->Object()->mesh.PatchCount(), 32);
}

TEST(BezierPatches, TeapotPatchesMatchTheirControlNetsAndNeighbours) {
    const std::string text = TeapotText();
    ASSERT_FALSE(text.empty());
    const std::vector<Net> nets = ParseNets(text);
    ExpectMatchesNets(nets, Exported(LoadText(text)));
}

TEST(BezierPatches, TeapotSharesItsVerticesAndVectors) {
    const MemoryPatchMesh mesh = LoadText(TeapotText());
    std::set<std::tuple<float, float, float>> verts, vecs;
    for (const Float3& v : mesh.verts) verts.insert({v.x, v.y, v.z});
    for (const Float3& v : mesh.vecs) vecs.insert({v.x, v.y, v.z});
    EXPECT_EQ(verts.size(), mesh.verts.size());  // no point listed twice
    EXPECT_EQ(vecs.size(), mesh.vecs.size());
    EXPECT_LT(mesh.verts.size(), 32u * 4u);  // neighbours share corners
    EXPECT_LT(mesh.vecs.size(), 32u * 12u);
}

TEST(BezierPatches, TeapotNeighboursNameEachOtherBack) {
    const ExportPatchObject object = Exported(LoadText(TeapotText()));
    int shared = 0;
    for (int p = 0; p < object.NumPatches(); ++p) {
        int neighbours = 0;
        for (int i = 0; i < 4; ++i) {
            const int q = object.PatchAt(p).adjacent[i];
            if (q < 0) continue;
            ++neighbours;
            ++shared;
            const ExportPatch& other = object.PatchAt(q);
            EXPECT_TRUE(std::count(other.adjacent, other.adjacent + 4, p) >= 1) << p << " -> " << q;
        }
        EXPECT_GE(neighbours, 1) << "patch " << p;
    }
    EXPECT_GT(shared, 32);
}

TEST(BezierPatches, DegenerateEdgesOfTheTeapotAreOpen) {
    const MemoryPatchMesh mesh = LoadText(TeapotText());
    int degenerate = 0;
    for (std::size_t p = 0; p < mesh.patches.size(); ++p) {
        const HostPatch& patch = mesh.patches[p];
        for (int i = 0; i < 4; ++i) {
            if (patch.vertIndex[i] != patch.vertIndex[(i + 1) % 4]) continue;
            ++degenerate;
            const HostPatchEdge& edge = mesh.edges[static_cast<std::size_t>(patch.edgeIndex[i])];
            EXPECT_EQ(edge.firstPatch, static_cast<int>(p));
            EXPECT_EQ(edge.secondPatch, -1);
        }
    }
    EXPECT_EQ(degenerate, 8);  // the lid's top and the body's bottom close to points
}

TEST(BezierPatches, EdgeSharedInTheSameDirectionIsOneEdge) {
    Net a = FlatNet(0, 0), b = FlatNet(0, 0);
    for (int r = 1; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) b[r][c].y = -static_cast<float>(r);  // mirrored below row 0
    }
    const MemoryPatchMesh mesh = LoadText(NetsText({a, b}));
    EXPECT_EQ(mesh.patches[0].edgeIndex[0], mesh.patches[1].edgeIndex[0]);
    ExpectMatchesNets({a, b}, Exported(mesh));
}

TEST(BezierPatches, SameCornersWithOtherHandlesAreNotNeighbours) {
    Net a = FlatNet(0, 0), b = FlatNet(3, 0);
    b[1][0].z = 1.0f;  // b's left column bulges away from a's right column
    b[2][0].z = 1.0f;
    const ExportPatchObject object = Exported(LoadText(NetsText({a, b})));
    EXPECT_EQ(object.PatchAt(0).adjacent[1], -1);
    EXPECT_EQ(object.PatchAt(1).adjacent[3], -1);
}

TEST(BezierPatches, ThirdPatchOnAnEdgeGetsAnOpenEdge) {
    Net up = FlatNet(0, 0), down = FlatNet(0, 0), out = FlatNet(0, 0);
    for (int r = 1; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            down[r][c] = {static_cast<float>(c), -static_cast<float>(r), 0};
            out[r][c] = {static_cast<float>(c), 0, static_cast<float>(r)};
        }
    }
    const ExportPatchObject object = Exported(LoadText(NetsText({up, down, out})));
    EXPECT_EQ(object.PatchAt(0).adjacent[0], 1);
    EXPECT_EQ(object.PatchAt(1).adjacent[0], 0);
    EXPECT_EQ(object.PatchAt(2).adjacent[0], -1);
}

TEST(BezierPatches, PatchClosingToAPointLoadsWithAnOpenEdge) {
    Net cone = FlatNet(0, 0);
    for (int c = 0; c < 4; ++c) cone[0][c] = {1.5f, 0, 2};
    const MemoryPatchMesh mesh = LoadText(NetsText({cone}));
    ASSERT_EQ(mesh.patches.size(), 1u);
    EXPECT_EQ(mesh.patches[0].vertIndex[0], mesh.patches[0].vertIndex[1]);
    EXPECT_EQ(mesh.edges.size(), 4u);
    EXPECT_EQ(Exported(mesh).PatchAt(0).adjacent[0], -1);
}

TEST(BezierPatches, ZeroPatchesGiveAnEmptyMesh) {
    const MemoryPatchMesh mesh = LoadText("0\n");
    EXPECT_EQ(mesh.PatchCount(), 0);
    EXPECT_EQ(mesh.VertCount(), 0);
}

TEST(BezierPatches, BlankLinesAndCarriageReturnsAreAccepted) {
    std::string text = NetsText({FlatNet(0, 0)});
    std::string spaced;
    for (char ch : text) spaced += ch == '\n' ? std::string("\r\n\r\n") : std::string(1, ch);
    EXPECT_EQ(LoadText(spaced).PatchCount(), 1);
}

struct MalformedCase {
    const char* name;
    std::string text;
    const char* expected;  // in the error, after "test.bpt"
};

class MalformedBezierPatches : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedBezierPatches, FailWithTheFileAndLineNamed) {
    const PatchMeshLoad load = LoadBezierPatchText(GetParam().text, "test.bpt");
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.error.rfind("test.bpt", 0), 0u) << load.error;
    EXPECT_NE(load.error.find(GetParam().expected), std::string::npos) << load.error;
}

std::string OnePatchWith(int line, const std::string& replacement) {
    std::istringstream in(NetsText({FlatNet(0, 0)}));
    std::string out, text;
    for (int n = 1; std::getline(in, text); ++n) out += (n == line ? replacement : text) + "\n";
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedBezierPatches,
    testing::Values(
        MalformedCase{"Empty", "", "the file is empty"},
        MalformedCase{"CountNotANumber", "teapot\n", ":1: expected the number of patches"},
        MalformedCase{"NegativeCount", "-1\n", ":1: expected the number of patches"},
        MalformedCase{"HugeCount", "99999999999999999999\n", ":1: expected the number of patches"},
        MalformedCase{"MissingPatch", "2\n" + NetsText({FlatNet(0, 0)}).substr(2), "ends before patch 2 of 2"},
        MalformedCase{"OtherDegrees", OnePatchWith(2, "2 3"), ":2: patch 1 of 1: expected the degrees"},
        MalformedCase{"TwoCoordinates", OnePatchWith(5, "1 2"), ":5: control point 3 of patch 1"},
        MalformedCase{"FourCoordinates", OnePatchWith(5, "1 2 3 4"), ":5: control point 3"},
        MalformedCase{"NotANumber", OnePatchWith(7, "1 x 3"), ":7: control point 5"},
        MalformedCase{"TrailingJunk", OnePatchWith(7, "1 2 3abc"), ":7:"},
        MalformedCase{"NaN", OnePatchWith(8, "nan 0 0"), ":8: control point 6"},
        MalformedCase{"Infinite", OnePatchWith(8, "0 inf 0"), "finite"},
        MalformedCase{"BeyondFloat", OnePatchWith(9, "1e39 0 0"), ":9: control point 7"},
        MalformedCase{"Truncated", NetsText({FlatNet(0, 0)}).substr(0, 36), "ends before control point"},
        MalformedCase{"TextAfterTheLastPatch", NetsText({FlatNet(0, 0)}) + "3 3\n", ":19: unexpected text"}),
    CaseName<MalformedCase>);

}  // namespace
