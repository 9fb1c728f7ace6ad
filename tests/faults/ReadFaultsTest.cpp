// PatchIO::Read on broken and hostile files: zero bytes, bytes 128 to 255,
// foreign line ends, tokens at and past the tokeniser's 79 characters,
// extreme counts and indices far outside the lists. Each gives a clear
// result; a failure tells where and why.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "FaultSupport.h"
#include "PatchTextSamples.h"
#include "patchio/PatchIO.h"

namespace {

using faults::Replaced;
using faults::TriangleFile;

class ReadFaults : public ::testing::Test {
protected:
    // Reads bytes as a file; why tells the reason of a failure.
    std::int32_t Read(const std::string& bytes) {
        const std::string path = scratch.File("in.txt");
        faults::WriteBytes(path, bytes);
        return set.Read(path.c_str(), &why);
    }

    // The set read from the writer's layout of TriangleFile.
    void ExpectTheTriangleFile() {
        ASSERT_EQ(set.NumPatchObjects(), 1);
        const ExportPatchObject& object = set.PatchObjectAt(0);
        EXPECT_EQ(object.NumVerts(), 3);
        EXPECT_EQ(object.NumVecs(), 1);
        ASSERT_EQ(object.NumPatches(), 1);
        EXPECT_EQ(object.PatchAt(0).sides, 3);
        EXPECT_EQ(object.VertAt(1), (Float3{1.0f, 0.0f, 0.0f}));
        ASSERT_EQ(set.NumCameras(), 1);
        EXPECT_EQ(set.CameraAt(0).target, (Float3{4.0f, 5.0f, 6.0f}));
    }

    faults::Scratch scratch;
    PatchIO set;
    ReadFailure why;
};

// Line ends and separators: the same set whatever bytes separate tokens.
struct Layout {
    std::string name;
    std::string from;
    std::string to;
};

class ReadLayouts : public ReadFaults, public ::testing::WithParamInterface<Layout> {};

TEST_P(ReadLayouts, ReadTheSameSet) {
    const Layout layout = GetParam();
    ASSERT_EQ(Read(Replaced(TriangleFile(), layout.from, layout.to)), 1) << why.Message();
    ExpectTheTriangleFile();
}

INSTANTIATE_TEST_SUITE_P(Separators, ReadLayouts,
                         ::testing::Values(Layout{"CrLf", "\n", "\r\n"}, Layout{"LoneCr", "\n", "\r"},
                                           Layout{"ZeroBytesForTabs", "\t", std::string(1, '\0')},
                                           Layout{"BracesForBlanks", " ", "{}"}),
                         [](const auto& test) { return test.param.name; });

TEST_F(ReadFaults, ZeroBytesBetweenEveryToken) {
    std::string bytes = Replaced(TriangleFile(), "\t", std::string(1, '\0'));
    bytes = Replaced(bytes, "\n", std::string(2, '\0'));
    ASSERT_EQ(Read(bytes), 1) << why.Message();
    ExpectTheTriangleFile();
}

TEST_F(ReadFaults, AZeroByteInsideAKeywordSplitsIt) {
    ASSERT_EQ(Read(Replaced(TriangleFile(), "NUMVECS", std::string("NUM\0VECS", 8))), 0);
    EXPECT_EQ(why.found, "NUM");
    EXPECT_EQ(why.expected, "\"NUMVECS\"");
    EXPECT_EQ(why.line, 8);
    EXPECT_EQ(why.column, 2);
    EXPECT_EQ(set.NumPatchObjects(), 0);
}

TEST_F(ReadFaults, HighBytesInAKeywordFailWithThemEscapedInTheReason) {
    ASSERT_EQ(Read(Replaced(TriangleFile(), "SIDES", "SID\x80\xff")), 0);
    EXPECT_EQ(why.found, "SID\x80\xff");
    EXPECT_NE(why.Message().find("SID\\x80\\xFF"), std::string::npos) << why.Message();
    EXPECT_EQ(set.NumPatchObjects(), 0);
}

// Quotes and backslashes would make the quoted token in the reason
// ambiguous; control characters would garble a terminal.
TEST_F(ReadFaults, QuotesBackslashesAndControlCharactersAreEscapedInTheReason) {
    ASSERT_EQ(Read(Replaced(TriangleFile(), "SIDES", "S\"I\\D\x1b")), 0);
    EXPECT_NE(why.Message().find("\"S\\x22I\\x5CD\\x1B\""), std::string::npos) << why.Message();
}

TEST_F(ReadFaults, EveryHighByteAsAFileFailsAtTheFirstToken) {
    std::string bytes;
    for (int b = 128; b <= 255; ++b) bytes.push_back(static_cast<char>(b));
    ASSERT_EQ(Read(bytes + "\n"), 0);
    EXPECT_TRUE(why.opened);
    EXPECT_EQ(why.line, 1);
    EXPECT_EQ(why.column, 1);
    EXPECT_EQ(why.found, bytes.substr(0, 79)) << "the tokeniser keeps 79 characters of a token";
}

TEST_F(ReadFaults, HighBytesAfterANumberAreIgnoredByTheConversion) {
    ASSERT_EQ(Read(Replaced(TriangleFile(), "4.000000", "4.5\xe9\xff")), 1) << why.Message();
    EXPECT_EQ(set.CameraAt(0).target.x, 4.5f);
}

TEST_F(ReadFaults, HighBytesAfterTheLastTokenAreIgnored) {
    ASSERT_EQ(Read(TriangleFile() + "\xff\xfe\x80 trailing\n"), 1) << why.Message();
    ExpectTheTriangleFile();
}

// Tokens of 79 characters are whole; from the 80th character on, the
// tokeniser drops the 80th and starts the next token after it.
TEST_F(ReadFaults, AnIndexOf79CharactersIsWhole) {
    const std::string index = std::string(78, '0') + "1";
    ASSERT_EQ(Read(Replaced(TriangleFile(), "\t\t1\t1.0", "\t\t" + index + "\t1.0")), 1) << why.Message();
    ExpectTheTriangleFile();
}

TEST_F(ReadFaults, AnIndexOf80CharactersLosesItsLastCharacter) {
    const std::string index = std::string(79, '0') + "1";
    ASSERT_EQ(Read(Replaced(TriangleFile(), "\t\t1\t1.0", "\t\t" + index + "\t1.0")), 0);
    EXPECT_EQ(why.expected, "index 1");
    EXPECT_EQ(why.found, std::string(79, '0'));
    EXPECT_EQ(why.line, 6);
    EXPECT_EQ(why.column, 3);
    EXPECT_EQ(set.NumPatchObjects(), 0);
}

TEST_F(ReadFaults, AKeywordOf100CharactersFailsAtItsFirst79) {
    const std::string keyword = "NUMVECS" + std::string(93, 'X');
    ASSERT_EQ(Read(Replaced(TriangleFile(), "NUMVECS", keyword)), 0);
    EXPECT_EQ(why.found, keyword.substr(0, 79));
    EXPECT_EQ(why.expected, "\"NUMVECS\"");
}

TEST_F(ReadFaults, ACoordinateOf100CharactersSpillsIntoTheNextToken) {
    // 1.000...0 of 100 characters: the first 79 are the x coordinate, the
    // 80th is dropped, the other 20 zeros become y, and the tokens after it
    // slide by one until an index no longer fits.
    const std::string x = "1." + std::string(98, '0');
    ASSERT_EQ(Read(Replaced(TriangleFile(), "\t\t1\t1.000000", "\t\t1\t" + x)), 0);
    EXPECT_EQ(why.expected, "index 2");
    EXPECT_EQ(set.NumPatchObjects(), 0);
}

TEST_F(ReadFaults, ACameraCoordinateOf100CharactersAtTheEndKeepsItsFirst79) {
    const std::string z = "6." + std::string(77, '0') + std::string(21, '9');
    ASSERT_EQ(Read(Replaced(TriangleFile(), "6.000000", z)), 1) << why.Message();
    EXPECT_EQ(set.CameraAt(0).target.z, 6.0f);
}

// Counts at the ends of the 32-bit range: the largest asks for items that
// are not there, the smallest means none.
TEST_F(ReadFaults, ALargestVertexCountFailsAtTheFirstMissingVertex) {
    ASSERT_EQ(Read(Replaced(TriangleFile(), "NUMVERTS 3", "NUMVERTS 2147483647")), 0);
    EXPECT_EQ(why.expected, "index 3");
    EXPECT_EQ(why.found, "NUMVECS");
    EXPECT_EQ(set.NumPatchObjects(), 0);
}

TEST_F(ReadFaults, ACountBeyondTheRangeIsTheLargestCount) {
    ASSERT_EQ(Read(Replaced(TriangleFile(), "NUMCAMERAS 1", "NUMCAMERAS 99999999999999999999")), 0);
    EXPECT_TRUE(why.atEnd);
    EXPECT_EQ(why.expected, "\"CAMERA\"");
    EXPECT_EQ(set.NumPatchObjects(), 1) << "the finished object stays";
    EXPECT_EQ(set.NumCameras(), 1) << "so does the finished camera";
}

TEST_F(ReadFaults, ASmallestPatchCountMeansNoPatches) {
    std::string text = TriangleFile();
    const std::size_t patches = text.find("\tNUMPATCHES");
    const std::size_t cameras = text.find("NUMCAMERAS");
    text.replace(patches, cameras - patches, "\tNUMPATCHES -2147483648\n");
    ASSERT_EQ(Read(text), 1) << why.Message();
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.PatchObjectAt(0).NumPatches(), 0);
    EXPECT_EQ(set.NumCameras(), 1);
}

TEST_F(ReadFaults, SmallestCountsEverywhereReadAnEmptySet) {
    const std::string text = "VERSION 1.10 PATCHOBJECTS -2147483648 NUMCAMERAS -2147483648\n";
    ASSERT_EQ(Read(text), 1) << why.Message();
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(set.NumCameras(), 0);
}

// Indices are stored as read, whatever the lists hold.
TEST_F(ReadFaults, IndicesFarOutsideTheListsAreStoredAsRead) {
    std::string text = Replaced(TriangleFile(), "VERTS 0 1 2 ", "VERTS 2147483647 -2147483648 -7 ");
    text = Replaced(text, "VECS 0 0 0 0 0 0 ", "VECS 99999999999 -99999999999 3 4 5 1000000 ");
    text = Replaced(text, "ADJACENT -1 -1 -1 ", "ADJACENT 5 -2 2147483647 ");
    ASSERT_EQ(Read(text), 1) << why.Message();
    const ExportPatch& patch = set.PatchObjectAt(0).PatchAt(0);
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(patch.verts[0], kMax);
    EXPECT_EQ(patch.verts[1], kMin);
    EXPECT_EQ(patch.verts[2], -7);
    EXPECT_EQ(patch.verts[3], -1);
    EXPECT_EQ(patch.vecs[0], kMax) << "beyond the range: clamped";
    EXPECT_EQ(patch.vecs[1], kMin);
    EXPECT_EQ(patch.vecs[5], 1000000);
    EXPECT_EQ(patch.vecs[6], -1);
    EXPECT_EQ(patch.adjacent[0], 5);
    EXPECT_EQ(patch.adjacent[1], -2);
    EXPECT_EQ(patch.adjacent[2], kMax);
}

}  // namespace
