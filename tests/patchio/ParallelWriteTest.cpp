// The writer on several threads: the same bytes as on one, for every set,
// thread count and piece size, and the same answers when the output fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "RandomSets.h"
#include "TestFiles.h"
#include "patchio/PatchIO.h"

namespace {

std::string OneThreadText(PatchIO& set) {
    set.SetThreads(1);
    std::string text;
    set.WriteText(text);
    return text;
}

constexpr std::size_t kChunks[] = {1, 3, 17, 64, 250, 4096, 0};

TEST(ParallelWrite, EveryThreadCountAndChunkGivesTheBytesOfOneThread) {
    for (std::uint32_t seed = 0; seed < 25; ++seed) {
        PatchIO set;
        randomsets::Shape shape;
        shape.oddSides = true;
        shape.nonFinite = true;
        randomsets::Fill(set, seed, shape);
        const std::string expected = OneThreadText(set);
        for (std::int32_t threads = 2; threads <= 8; ++threads) {
            for (const std::size_t chunk : kChunks) {
                set.SetThreads(threads);
                set.SetChunkBytes(chunk);
                std::string text = "kept ";
                set.WriteText(text);
                ASSERT_EQ(text, "kept " + expected)
                    << "seed " << seed << ", " << threads << " threads, chunk " << chunk;
            }
        }
    }
}

// Many objects with nothing in them: pieces that span many sections.
TEST(ParallelWrite, ManyEmptyObjectsGiveTheBytesOfOneThread) {
    PatchIO set;
    for (int i = 0; i < 3000; ++i) set.AddPatchObject(ExportPatchObject());
    const std::string expected = OneThreadText(set);
    for (const std::size_t chunk : kChunks) {
        set.SetThreads(3);
        set.SetChunkBytes(chunk);
        std::string text;
        set.WriteText(text);
        ASSERT_EQ(text, expected) << "chunk " << chunk;
    }
}

TEST(ParallelWrite, AFileAndAStreamHoldTheBytesOfOneThread) {
    testfiles::TempDir dir;
    PatchIO set;
    randomsets::Fill(set, 7);
    const std::string expected = OneThreadText(set);
    set.SetThreads(4);
    set.SetChunkBytes(40);
    const std::string path = dir.File("parallel.txt");
    ASSERT_EQ(set.Write(path.c_str()), 1);
    EXPECT_EQ(testfiles::ReadBytes(path), testfiles::NativeLineEnds(expected));
}

TEST(ParallelWrite, AFullDeviceIsAFailureOnEveryThreadCount) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full) GTEST_SKIP() << "no /dev/full here";
    PatchIO set;
    randomsets::Fill(set, 3);
    for (std::int32_t threads = 1; threads <= 4; ++threads) {
        set.SetThreads(threads);
        set.SetChunkBytes(16);
        EXPECT_EQ(set.WriteStream(full), 0) << threads << " threads";
        std::clearerr(full);
    }
    std::fclose(full);
}

TEST(Threads, TheCountInEffectIsTheSettingOrTheDefault) {
    PatchIO set;
    EXPECT_EQ(set.Threads(), PatchIO::DefaultThreads());
    EXPECT_GE(PatchIO::DefaultThreads(), 1);
    set.SetThreads(3);
    EXPECT_EQ(set.Threads(), 3);
    set.SetThreads(-5);
    EXPECT_EQ(set.Threads(), PatchIO::DefaultThreads());
    PatchIO::SetDefaultThreads(2);
    EXPECT_EQ(set.Threads(), 2);
    PatchIO::SetDefaultThreads(0);
    EXPECT_EQ(set.ChunkBytes(), PatchIO::kChunkBytes);
    set.SetChunkBytes(9);
    EXPECT_EQ(set.ChunkBytes(), 9u);
}

}  // namespace
