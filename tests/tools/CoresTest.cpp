// The tools' tessellation on every core: the same mesh for any number of
// threads, every job run once, and a job's failure reported.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "BptFixture.h"
#include "surface/CornerVertices.h"
#include "tools/patchtext/Cores.h"

namespace {

TEST(EveryCore, RunsEveryJobOnceForAnyCountAndThreads) {
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        for (std::int32_t count : {0, 1, 7, 8, 17, 1000}) {
            std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
            patchtool::EveryCore(threads)(count, [&runs](std::int32_t k) { ++runs[static_cast<std::size_t>(k)]; });
            for (const auto& r : runs) EXPECT_EQ(r.load(), 1) << threads << " threads, " << count << " jobs";
        }
    }
}

TEST(EveryCore, ReportsAFailedJobAfterEveryThreadEnded) {
    std::atomic<int> ran{0};
    const auto job = [&ran](std::int32_t k) {
        ++ran;
        if (k == 5) throw std::runtime_error("job 5");
    };
    EXPECT_THROW(patchtool::EveryCore(4)(100, job), std::runtime_error);
    EXPECT_GE(ran.load(), 6);
}

TEST(EveryCore, TessellatesTheSameWhateverTheThreads) {
    const ExportPatchObject teapot = bpt::ToExportObject(bpt::ReadFile(GANTLINE_TEST_DATA "/teapot.bpt"));
    const auto mesh = [&teapot](const surface::ForEach& forEach) {
        surface::CornerVertices corners;
        surface::TessellateInBatches(
            teapot, 12, [&](const surface::ObjectMesh& b) { corners.Add(b.mesh); }, nullptr, forEach);
        return corners;
    };
    const surface::CornerVertices alone = mesh(nullptr);
    for (unsigned threads : {1u, 2u, 5u}) {
        const surface::CornerVertices spread = mesh(patchtool::EveryCore(threads));
        EXPECT_EQ(spread.Positions(), alone.Positions()) << threads;
        EXPECT_EQ(spread.Normals(), alone.Normals()) << threads;
        EXPECT_EQ(spread.Indices(), alone.Indices()) << threads;
    }
}

}  // namespace
