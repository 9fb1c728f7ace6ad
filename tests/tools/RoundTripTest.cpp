// The property that to-obj rests on: a Bezier patch file made into a patch
// object, exported (written and read back) and tessellated gives the points
// of the original Bezier patches, and neighbouring patches leave no cracks.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>

#include "BptFixture.h"
#include "loaders/SceneFiles.h"
#include "surface/Tessellator.h"

using surface::Vec3;

namespace {

constexpr double kRelative = 1e-5;

double Diagonal(const std::vector<bpt::ControlGrid>& grids) {
    surface::Box3 box;
    for (const auto& g : grids)
        for (const auto& p : g) box.Add(Vec3::From(p));
    return surface::Length(box.max - box.min);
}

// Every sample of patch k lies on the directly evaluated Bezier patch k.
void ExpectSamplesOnSurfaces(const std::vector<bpt::ControlGrid>& grids, const surface::ObjectMesh& out, int steps) {
    const double scale = Diagonal(grids);
    ASSERT_EQ(out.patches.size(), grids.size());
    double worst = 0.0;
    for (const auto& samples : out.patches) {
        const auto& grid = grids[static_cast<std::size_t>(samples.patch)];
        for (int r = 0; r <= steps; ++r) {
            for (int c = 0; c <= steps; ++c) {
                const Vec3 expected = bpt::Evaluate(grid, double(c) / steps, double(r) / steps);
                const auto id = samples.vertex[static_cast<std::size_t>(r * (steps + 1) + c)];
                const Vec3 actual = out.mesh.positions[static_cast<std::size_t>(id)];
                const double error = surface::Length(actual - expected) / std::max(scale, surface::Length(expected));
                worst = std::max(worst, error);
            }
        }
    }
    EXPECT_LE(worst, kRelative);
}

// Triangle edges used by one triangle only must lie on open patch edges
// (adjacent -1); everywhere else neighbours share their vertices.
void ExpectNoCracks(const ExportPatchObject& object, const surface::ObjectMesh& out, int steps) {
    std::map<std::pair<std::int32_t, std::int32_t>, int> uses;
    for (const auto& t : out.mesh.triangles)
        for (int i = 0; i < 3; ++i) {
            const auto a = t[static_cast<std::size_t>(i)], b = t[static_cast<std::size_t>((i + 1) % 3)];
            ++uses[{std::min(a, b), std::max(a, b)}];
        }
    std::map<std::pair<std::int32_t, std::int32_t>, int> open;
    for (const auto& samples : out.patches) {
        const ExportPatch& patch = object.PatchAt(samples.patch);
        for (int e = 0; e < samples.sides; ++e) {
            if (patch.adjacent[e] != -1) continue;
            const auto where = surface::EdgeSampleIndices(samples.sides, steps, e);
            for (std::size_t k = 0; k + 1 < where.size(); ++k) {
                const auto a = samples.vertex[where[k]], b = samples.vertex[where[k + 1]];
                open[{std::min(a, b), std::max(a, b)}] = 1;
            }
        }
    }
    int cracks = 0, overused = 0;
    for (const auto& [edge, count] : uses) {
        if (count == 1 && open.count(edge) == 0) ++cracks;
        if (count > 2) ++overused;
    }
    EXPECT_EQ(cracks, 0);
    EXPECT_EQ(overused, 0);
}

std::vector<bpt::ControlGrid> Teapot() { return bpt::ReadFile(GANTLINE_TEST_DATA "/teapot.bpt"); }

TEST(RoundTrip, TeapotInMemory) {
    const auto grids = Teapot();
    ASSERT_EQ(grids.size(), 32u);
    const ExportPatchObject object = bpt::ToExportObject(grids);
    // From 2 steps on: with 1, the two half circles of the handle's cross-section
    // both become the same chord.
    for (const int steps : {2, 4, 9}) {
        SCOPED_TRACE(steps);
        const auto out = surface::TessellateObject(object, steps);
        EXPECT_TRUE(out.skipped.empty());
        ExpectSamplesOnSurfaces(grids, out, steps);
        ExpectNoCracks(object, out, steps);
    }
}

TEST(RoundTrip, TeapotThroughThePatchTextFile) {
    const auto grids = Teapot();
    PatchIO written;
    written.AddPatchObject(bpt::ToExportObject(grids));
    const std::string path = ::testing::TempDir() + "roundtrip_teapot.txt";
    ASSERT_EQ(written.Write(path.c_str()), 1);
    PatchIO read;
    ReadFailure why;
    ASSERT_EQ(read.Read(path.c_str(), &why), 1) << why.Message();
    ASSERT_EQ(read.NumPatchObjects(), 1);
    const int steps = 8;
    const auto out = surface::TessellateObject(read.PatchObjectAt(0), steps);
    ExpectSamplesOnSurfaces(grids, out, steps);
    ExpectNoCracks(read.PatchObjectAt(0), out, steps);
    std::remove(path.c_str());
}

TEST(RoundTrip, TeapotNormalsAreFiniteUnitVectors) {
    const auto out = surface::TessellateObject(bpt::ToExportObject(Teapot()), 6);
    for (const Vec3& n : out.mesh.normals) {
        ASSERT_TRUE(surface::IsFinite(n));
        ASSERT_NEAR(surface::Length(n), 1.0, 1e-9);
    }
}

// Every Bezier patch file of the project and of the tests, loaded by the
// in-memory host's own loader, collected by the scene walker as the export
// command does, written, read back and tessellated.
TEST(RoundTrip, EveryBezierFileThroughTheHostExportAndTheFile) {
    std::vector<std::filesystem::path> files;
    for (const char* folder : {GANTLINE_TEST_DATA, GANTLINE_PROJECT_DATA})
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".bpt") files.push_back(entry.path());
    ASSERT_GE(files.size(), 2u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        SceneLoad load = LoadSceneFile(file.string());
        ASSERT_TRUE(load) << load.error;
        MemoryInterface core;
        core.SetRoot(std::move(load.root));
        Interface* previous = SetCOREInterface(&core);
        PatchIO exported;
        exported.CollectScene();
        SetCOREInterface(previous);
        ASSERT_EQ(exported.NumPatchObjects(), 1);
        const std::string path = ::testing::TempDir() + "roundtrip_" + file.stem().string() + ".txt";
        ASSERT_EQ(exported.Write(path.c_str()), 1);
        PatchIO read;
        ASSERT_EQ(read.Read(path.c_str()), 1);
        const auto grids = bpt::ReadFile(file.string());
        const int steps = 6;
        const auto out = surface::TessellateObject(read.PatchObjectAt(0), steps);
        EXPECT_TRUE(out.skipped.empty());
        ExpectSamplesOnSurfaces(grids, out, steps);
        ExpectNoCracks(read.PatchObjectAt(0), out, steps);
        std::remove(path.c_str());
    }
}

// A 3 x 3 sheet of random bicubic patches that share their boundary rows
// and columns, as a C0 surface of patches does: the property for shapes
// other than the teapot, with edges met in both directions.
std::vector<bpt::ControlGrid> RandomSheet(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> height(-2.0f, 2.0f);
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
    constexpr int kPoints = 10;  // 3 patches of 3 intervals, plus one
    Float3 net[kPoints][kPoints];
    for (int i = 0; i < kPoints; ++i)
        for (int j = 0; j < kPoints; ++j)
            net[i][j] = {float(j) + jitter(random), float(i) + jitter(random), height(random)};
    std::vector<bpt::ControlGrid> grids;
    for (int pi = 0; pi < 3; ++pi)
        for (int pj = 0; pj < 3; ++pj) {
            bpt::ControlGrid g;
            // Alternate patches run their rows backwards, so shared edges
            // are met in opposite directions.
            const bool flip = (pi + pj) % 2 == 1;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    g[static_cast<std::size_t>(4 * r + c)] = net[3 * pi + r][3 * pj + (flip ? 3 - c : c)];
            grids.push_back(g);
        }
    return grids;
}

TEST(RoundTrip, RandomSheetsWeldAndStayOnTheirSurfaces) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        const auto grids = RandomSheet(seed);
        const ExportPatchObject object = bpt::ToExportObject(grids);
        const int steps = 5;
        const auto out = surface::TessellateObject(object, steps);
        ExpectSamplesOnSurfaces(grids, out, steps);
        ExpectNoCracks(object, out, steps);
        // 16 x 16 distinct surface points: every shared one welded.
        EXPECT_EQ(out.mesh.positions.size(), 16u * 16u);
    }
}

}  // namespace
