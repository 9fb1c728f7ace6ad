// The reader with workers reading ahead: for every text, thread count and
// chunk size, the set, the answer and the reason of a failure are those of
// the reader on one thread, failures on chunk boundaries included.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "RandomSets.h"
#include "os/Stream.h"
#include "TestFiles.h"
#include "patchio/ParallelRead.h"
#include "patchio/PatchIO.h"

namespace {

// What a read gives: its answer, the set as one thread writes it, and why.
struct Outcome {
    std::int32_t answer = 0;
    std::string set;
    ReadFailure why;
};

std::string TextOf(PatchIO& set) {
    set.SetThreads(1);
    std::string text;
    set.WriteText(text);
    return text;
}

Outcome ReadOf(const std::string& text, std::int32_t threads, std::size_t chunk, bool withReason) {
    PatchIO set;
    set.SetThreads(threads);
    set.SetChunkBytes(chunk);
    Outcome outcome;
    outcome.answer = set.ReadText(text.data(), text.size(), withReason ? &outcome.why : nullptr);
    outcome.set = TextOf(set);
    return outcome;
}

void ExpectSame(const Outcome& expected, const Outcome& got, const std::string& where) {
    ASSERT_EQ(got.answer, expected.answer) << where;
    ASSERT_EQ(got.set, expected.set) << where;
    ASSERT_EQ(got.why.opened, expected.why.opened) << where;
    ASSERT_EQ(got.why.line, expected.why.line) << where;
    ASSERT_EQ(got.why.column, expected.why.column) << where;
    ASSERT_EQ(got.why.atEnd, expected.why.atEnd) << where;
    ASSERT_EQ(got.why.found, expected.why.found) << where;
    ASSERT_EQ(got.why.expected, expected.why.expected) << where;
}

// Chunks from a byte up.
constexpr std::size_t kChunks[] = {1, 3, 10, 53, 1000};
constexpr std::int32_t kThreads[] = {2, 3, 8};

void ExpectEveryWayTheSame(const std::string& text, const std::string& what) {
    for (const bool withReason : {true, false}) {
        const Outcome expected = ReadOf(text, 1, 0, withReason);
        for (const std::int32_t threads : kThreads)
            for (const std::size_t chunk : kChunks)
                ExpectSame(expected, ReadOf(text, threads, chunk, withReason),
                           what + ", " + std::to_string(threads) + " threads, chunk " + std::to_string(chunk) +
                               (withReason ? ", with reason" : ""));
    }
}

randomsets::Shape SmallShape() {
    randomsets::Shape shape;
    shape.maxObjects = 3;
    shape.maxPoints = 24;
    shape.maxPatches = 8;
    shape.nonFinite = true;
    return shape;
}

std::string RandomText(std::uint32_t seed, bool oddSides) {
    PatchIO set;
    randomsets::Shape shape = SmallShape();
    shape.oddSides = oddSides;
    randomsets::Fill(set, seed, shape);
    return TextOf(set);
}

TEST(ParallelRead, WrittenSetsReadTheSameOnEveryThreadCountAndChunk) {
    for (std::uint32_t seed = 0; seed < 12; ++seed) {
        const std::string text = RandomText(seed, false);
        ExpectEveryWayTheSame(text, "seed " + std::to_string(seed));
        ASSERT_EQ(ReadOf(text, 4, 3, false).answer, 1);
    }
}

// Side counts other than 3 and 4 fail the read inside a patch.
TEST(ParallelRead, SetsWithBadSideCountsFailTheSameWay) {
    for (std::uint32_t seed = 100; seed < 112; ++seed)
        ExpectEveryWayTheSame(RandomText(seed, true), "seed " + std::to_string(seed));
}

// One change anywhere: a byte replaced, dropped or doubled, the text cut,
// a long token or a line end put in. With chunks of a byte or a few, every
// place is on or beside a chunk's boundary.
std::string Mutated(const std::string& text, std::mt19937& random) {
    if (text.empty()) return "VERSION";
    const std::size_t at = random() % text.size();
    static const char kBytes[] = "0123456789-.\t\n {}xP";
    std::string changed = text;
    switch (random() % 6) {
        case 0:
            changed[at] = kBytes[random() % (sizeof kBytes - 1)];
            break;
        case 1:
            changed.erase(at, 1);
            break;
        case 2:
            changed.insert(at, 1, changed[at]);
            break;
        case 3:
            changed.resize(at);
            break;
        case 4:
            changed.insert(at, std::string(90 + random() % 20, '7'));
            break;
        default:
            changed.insert(at, "\n");
            break;
    }
    return changed;
}

TEST(ParallelRead, ChangedTextsReadAndFailTheSameWay) {
    std::mt19937 random(77);
    for (std::uint32_t seed = 0; seed < 30; ++seed) {
        const std::string text = Mutated(RandomText(200 + seed, false), random);
        ExpectEveryWayTheSame(text, "changed text " + std::to_string(seed));
    }
}

// Lines out of order: a line given twice, or a running index one too
// high, where the workers' runs begin with an index the reader does not
// expect there.
TEST(ParallelRead, LinesOutOfOrderFailTheSameWay) {
    const std::string text = RandomText(3, false);
    std::vector<std::size_t> lineStarts{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\n') lineStarts.push_back(i + 1);
    for (std::size_t k = 4; k + 1 < lineStarts.size(); k += 3) {
        const std::size_t at = lineStarts[k];
        const std::string line = text.substr(at, lineStarts[k + 1] - at);
        ExpectEveryWayTheSame(text.substr(0, at) + line + text.substr(at), "line " + std::to_string(k) + " twice");
        const std::size_t digit = text.find_first_of("0123456789", at);
        if (digit < lineStarts[k + 1] && text[digit] != '9') {
            std::string higher = text;
            ++higher[digit];
            ExpectEveryWayTheSame(higher, "line " + std::to_string(k) + " numbered higher");
        }
    }
}

// Delimiters other than the writer's own: the workers' runs end at the
// first line unlike the writer's, and the reader reads on from there.
TEST(ParallelRead, OtherDelimitersReadTheSame) {
    std::mt19937 random(5);
    for (std::uint32_t seed = 0; seed < 6; ++seed) {
        std::string text;
        for (const char c : RandomText(300 + seed, false)) {
            if (c == '\t' && random() % 3 == 0)
                text += "  ";
            else if (c == '\n' && random() % 3 == 0)
                text += " \r\n";
            else if (c == '\n' && random() % 5 == 0)
                text += "}\n{";
            else
                text += c;
        }
        ExpectEveryWayTheSame(text, "seed " + std::to_string(seed));
    }
}

// Megabytes of blank lines, and of text with no line end at all: every
// chunk's worker looks no further than its own lines, so such text costs
// each a pass over its chunk, not over the rest of the input.
TEST(ParallelRead, BlankTextReadsTheSame) {
    const std::string blankLines = "VERSION 1.10\nPATCHOBJECTS 0\n" + std::string(1 << 21, '\n') + "NUMCAMERAS 0\n";
    const std::string oneLine = "VERSION 1.10 PATCHOBJECTS 0 " + std::string(1 << 21, ' ') + "NUMCAMERAS 0 ";
    for (const std::string& text : {blankLines, oneLine}) {
        const Outcome expected = ReadOf(text, 1, 0, true);
        ASSERT_EQ(expected.answer, 1);
        ExpectSame(expected, ReadOf(text, 3, 4096, true), "blank text");
    }
}

// Reading ahead is used, not only right: almost every point and patch of
// a large set comes from the workers' runs, from text and from a file, on
// the writer's lines (a patch's lines end in a space, a point's do not).
TEST(ParallelRead, AlmostEveryItemIsTakenFromTheRunsReadAhead) {
    PatchIO written;
    randomsets::Shape shape;
    shape.maxObjects = 2;
    shape.maxPoints = 3000;
    shape.maxPatches = 3000;
    std::int64_t items = 0;
    for (std::uint32_t seed = 11; items < 3000; ++seed) {
        randomsets::Fill(written, seed, shape);
        items = 0;
        for (std::int32_t i = 0; i < written.NumPatchObjects(); ++i) {
            const ExportPatchObject& object = written.PatchObjectAt(i);
            items += object.NumVerts() + object.NumVecs() + object.NumPatches();
        }
    }
    const std::string text = TextOf(written);
    testfiles::TempDir dir;
    const std::string path = dir.File("ahead.txt");
    ASSERT_TRUE(written.Write(path.c_str()));
    for (const bool fromFile : {false, true}) {
        // Where text mode translates line ends, files are read on one thread.
        if (fromFile && !os::kTextReadsBytesAsTheyAre) continue;
        PatchIO set;
        set.SetThreads(2);
        set.SetChunkBytes(4096);
        const std::int64_t before = parallelread::ItemsTakenAhead();
        ASSERT_EQ(fromFile ? set.Read(path.c_str()) : set.ReadText(text.data(), text.size()), 1);
        const std::int64_t taken = parallelread::ItemsTakenAhead() - before;
        EXPECT_GT(taken, items * 9 / 10) << (fromFile ? "file" : "text") << ": " << taken << " of " << items;
        EXPECT_EQ(TextOf(set), text);
    }
}

// A file the caller opened reads as the same file by name, on one thread
// and with workers; a read asked to stop stops at the next block, with
// the workers reading no further either.
TEST(ParallelRead, AnOpenFileReadsAsByNameAndStopsWhenAsked) {
    PatchIO written;
    randomsets::Shape shape;
    shape.maxObjects = 3;
    shape.maxPoints = 20000;
    shape.maxPatches = 5000;
    randomsets::Fill(written, 21, shape);
    const std::string text = TextOf(written);
    ASSERT_GT(text.size(), std::size_t{1} << 20);
    testfiles::TempDir dir;
    const std::string path = dir.File("open.txt");
    ASSERT_TRUE(written.Write(path.c_str()));
    for (const std::int32_t threads : {1, 2, 4}) {
        const std::string where = std::to_string(threads) + " threads";
        std::FILE* file = std::fopen(path.c_str(), "r");
        ASSERT_NE(file, nullptr);
        PatchIO whole;
        whole.SetThreads(threads);
        std::int32_t asked = 0;
        const PatchIO::KeepGoing count = [&asked] { return ++asked > 0; };
        EXPECT_EQ(whole.ReadFile(file, path.c_str(), nullptr, count), 1) << where;
        EXPECT_EQ(TextOf(whole), text) << where;
        EXPECT_GT(asked, 2) << where;

        std::rewind(file);
        PatchIO stopped;
        stopped.SetThreads(threads);
        std::int32_t blocks = 0;
        ReadFailure why;
        const PatchIO::KeepGoing stopAtThird = [&blocks] { return ++blocks < 3; };
        EXPECT_EQ(stopped.ReadFile(file, path.c_str(), &why, stopAtThird), 0) << where;
        EXPECT_EQ(blocks, 3) << where;
        EXPECT_TRUE(why.opened) << where;
        EXPECT_EQ(stopped.NumPatchObjects(), 0) << where;
        std::fclose(file);
    }
}

// A file opened and read partway is read from where it stands.
TEST(ParallelRead, AnOpenFileIsReadFromWhereItStands) {
    const std::string text = RandomText(5, false);
    testfiles::TempDir dir;
    const std::string path = dir.File("late.txt");
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("skipped\n", out);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    std::FILE* file = std::fopen(path.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char skipped[16];
    ASSERT_NE(std::fgets(skipped, sizeof skipped, file), nullptr);
    PatchIO set;
    set.SetThreads(3);
    set.SetChunkBytes(10);
    EXPECT_EQ(set.ReadFile(file, path.c_str()), 1);
    EXPECT_EQ(TextOf(set), text);
    std::fclose(file);
}

// Files are read ahead by workers that open the file themselves.
TEST(ParallelRead, FilesReadAndFailTheSameWay) {
    testfiles::TempDir dir;
    std::mt19937 random(9);
    for (std::uint32_t seed = 0; seed < 8; ++seed) {
        std::string text = RandomText(400 + seed, false);
        if (seed % 2 == 1) text = Mutated(text, random);
        const std::string path = dir.File("read.txt");
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        const Outcome expected = ReadOf(text, 1, 0, true);
        for (const std::int32_t threads : kThreads) {
            for (const std::size_t chunk : kChunks) {
                PatchIO set;
                set.SetThreads(threads);
                set.SetChunkBytes(chunk);
                Outcome got;
                got.answer = set.Read(path.c_str(), &got.why);
                got.set = TextOf(set);
                ExpectSame(expected, got, "file of seed " + std::to_string(seed));
            }
        }
    }
}

}  // namespace
