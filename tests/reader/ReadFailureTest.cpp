#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "PatchTexts.h"
#include "TestFiles.h"
#include "patchio/PatchIO.h"

namespace {

using namespace patchtexts;
using testfiles::TempDir;

struct FailureCase {
    const char* name;
    std::string text;
    std::int64_t line;
    std::int64_t column;
    std::string found;
    bool atEnd;
    std::string expected;
};

std::vector<FailureCase> FailureCases() {
    const std::string example = WorkedExample();
    const std::string upToCameras = example.substr(0, example.find("NUMCAMERAS"));
    return {
        {"misspelt keyword", Replace(example, "NUMVECS", "NUMVEC"), 8, 2, "NUMVEC", false, "\"NUMVECS\""},
        {"index out of order", Replace(example, "\t\t1\t10.0", "\t\t2\t10.0"), 6, 3, "2", false, "index 1"},
        {"five sides", Replace(example, "SIDES 3", "SIDES 5"), 20, 10, "5", false, "3 or 4 sides"},
        {"no final line end", example.substr(0, example.size() - 1), 26, 59, "0.000000", true, "a coordinate"},
        {"1.10 ending after its objects", upToCameras, 25, 1, "", true, "\"NUMCAMERAS\""},
        {"empty file", "", 1, 1, "", true, "\"VERSION\""},
        {"lower-case keyword", Replace(example, "VERSION", "version"), 1, 1, "version", false, "\"VERSION\""},
        {"more vertices counted than present", Replace(example, "NUMVERTS 3", "NUMVERTS 4"), 8, 2, "NUMVECS", false,
         "index 3"},
        {"camera index", Replace(example, "CAMERA 0", "CAMERA 1"), 26, 8, "1", false, "index 0"},
        {"more cameras counted than present", Replace(example, "NUMCAMERAS 1", "NUMCAMERAS 2"), 27, 1, "", true,
         "\"CAMERA\""},
        {"line ends and braces", "VERSION\t1.10\r\nPATCHOBJECTS\t1\r\n{ PATCHOBJ 0 }\r\n", 3, 3, "PATCHOBJ", false,
         "\"PATCHOBJECT\""},
        {"blank lines first", "\n\n  VERSION 1\n\n\t\tNOPE 0\n", 5, 3, "NOPE", false, "\"PATCHOBJECTS\""},
        {"long token", "VERSION 1\n" + std::string(100, 'Z') + " 0\n", 2, 1, std::string(79, 'Z'), false,
         "\"PATCHOBJECTS\""},
        {"zero byte", std::string("VERSION\t1.10\nPATCH\0OBJECTS 0\n", 28), 2, 1, "PATCH", false, "\"PATCHOBJECTS\""},
        {"keyword cut by the end", "VERSION 1.10\nPATCHOBJECTS", 2, 1, "PATCHOBJECTS", true, "\"PATCHOBJECTS\""},
        {"count missing at the end", "VERSION 1.10\nPATCHOBJECTS 0\nNUMCAMERAS ", 3, 12, "", true, "the camera count"},
        {"version missing", "VERSION", 1, 1, "VERSION", true, "\"VERSION\""},
    };
}

// The reader's three ways in, which must agree on everything: a file by
// name, an open stream (read from its position on) and text in memory.
enum class Entry { Path, Stream, Text };

std::int32_t ReadVia(Entry entry, const std::string& text, TempDir& dir, PatchIO& set, ReadFailure& why) {
    const std::string path = dir.File("broken.txt");
    switch (entry) {
        case Entry::Path:
            testfiles::WriteBytes(path, text);
            return set.Read(path.c_str(), &why);
        case Entry::Stream: {
            // Bytes before the stream's position are not the reader's.
            testfiles::WriteBytes(path, "skipped" + text);
            std::FILE* stream = std::fopen(path.c_str(), "rb");
            if (!stream || std::fseek(stream, 7, SEEK_SET) != 0) return -1;
            const std::int32_t result = set.ReadStream(stream, &why);
            std::fclose(stream);
            return result;
        }
        case Entry::Text:
            return set.ReadText(text.data(), text.size(), &why);
    }
    return -1;
}

TEST(ReadFailure, LocatesTheFailingTokenFromEveryEntry) {
    TempDir dir;
    for (const Entry entry : {Entry::Path, Entry::Stream, Entry::Text}) {
        for (const FailureCase& c : FailureCases()) {
            const std::string name = std::string(c.name) + " via entry " + std::to_string(static_cast<int>(entry));
            PatchIO set;
            ReadFailure why;
            ASSERT_EQ(ReadVia(entry, c.text, dir, set, why), 0) << name;
            EXPECT_TRUE(why.opened) << name;
            EXPECT_EQ(why.line, c.line) << name;
            EXPECT_EQ(why.column, c.column) << name;
            EXPECT_EQ(why.found, c.found) << name;
            EXPECT_EQ(why.atEnd, c.atEnd) << name;
            EXPECT_EQ(why.expected, c.expected) << name;
        }
        PatchIO set;
        ReadFailure why;
        EXPECT_EQ(ReadVia(entry, WorkedExample(), dir, set, why), 1);
        EXPECT_EQ(set.NumPatchObjects(), 1);
        EXPECT_EQ(set.NumCameras(), 1);
    }
}

TEST(ReadFailure, NoStreamIsNotOpened) {
    PatchIO set;
    ReadFailure why;
    EXPECT_EQ(set.ReadStream(nullptr, &why), 0);
    EXPECT_FALSE(why.opened);
}

TEST(ReadFailure, MessagesTellWhereWhatWasFoundAndWhatWasExpected) {
    TempDir dir;
    const std::string path = dir.File("broken.txt");
    const std::string example = WorkedExample();
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {Replace(example, "NUMVECS", "NUMVEC"), "line 8, column 2: expected \"NUMVECS\", found \"NUMVEC\""},
        {example.substr(0, example.find("NUMCAMERAS")),
         "line 25, column 1: expected \"NUMCAMERAS\", found the end of the file"},
        {example.substr(0, example.size() - 1),
         "line 26, column 59: expected a coordinate, found \"0.000000\" at the end of the file, with no line end "
         "after it"},
        {"VERSION\t1.10\nPATCH\xff\"OBJECTS\t0\n",
         "line 2, column 1: expected \"PATCHOBJECTS\", found \"PATCH\\xFF\\x22OBJECTS\""},
    };
    for (const Case& c : cases) {
        testfiles::WriteBytes(path, c.text);
        PatchIO set;
        ReadFailure why;
        ASSERT_EQ(set.Read(path.c_str(), &why), 0);
        EXPECT_EQ(why.Message(), c.message);
    }
}

TEST(ReadFailure, MissingFileIsNotOpened) {
    TempDir dir;
    PatchIO set;
    ReadFailure why;
    why.expected = "left from before";
    EXPECT_EQ(set.Read(dir.File("missing.txt").c_str(), &why), 0);
    EXPECT_FALSE(why.opened);
    EXPECT_EQ(why.Message(), "the file could not be opened");
}

TEST(ReadFailure, SuccessLeavesNoReason) {
    TempDir dir;
    const std::string path = dir.File("good.txt");
    testfiles::WriteBytes(path, WorkedExample());
    PatchIO set;
    ReadFailure why;
    why.expected = "left from before";
    why.found = "x";
    EXPECT_EQ(set.Read(path.c_str(), &why), 1);
    EXPECT_TRUE(why.opened);
    EXPECT_TRUE(why.expected.empty());
    EXPECT_TRUE(why.found.empty());
    EXPECT_EQ(why.Message(), "");
}

}  // namespace
