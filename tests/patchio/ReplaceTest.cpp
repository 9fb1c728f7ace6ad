// Writing over a file, on every platform (Windows under Wine): the new
// contents replace the old only when complete, an abandoned or failed
// write keeps the old file, and no temporary file stays behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "os/FileReplace.h"
#include "patchio/PatchIO.h"

namespace {

using testfiles::TempDir;

const std::string kOld = "the file as it was\n";

std::size_t FilesIn(const TempDir& dir) {
    const std::filesystem::directory_iterator files(dir.Path());
    return static_cast<std::size_t>(std::distance(begin(files), end(files)));
}

void FillSet(PatchIO& set) {
    ExportPatchObject object;
    for (int i = 0; i < 5000; ++i) object.AddVert({static_cast<float>(i), 0.5f, -1.0f});
    set.AddPatchObject(object);
    set.AddCamera(ExportCamera());
}

// out holds what a plain write of set gives, and nothing else is in dir.
void ExpectOnlyTheSetIn(const TempDir& dir, const std::string& out, const PatchIO& set) {
    std::string text;
    set.WriteText(text);
    EXPECT_TRUE(testfiles::ReadBytes(out) == testfiles::NativeLineEnds(text));
    EXPECT_EQ(FilesIn(dir), 1u);
}

struct NameCase {
    std::string target;
    const char* separators;
    unsigned long unique;
    std::size_t maxLength;
    std::string temp;
};

TEST(Replace, TemporaryNamesShowWhatTheyAreBesideTheirFile) {
    const std::string longName(250, 'n');
    const std::vector<NameCase> cases = {
        {"dir/out.txt", "/", 0xabul, 4095, "dir/.out.txt.ferrule-000000ab.tmp"},
        {"out.txt", "/", 0xfedcba98ul, 4095, ".out.txt.ferrule-fedcba98.tmp"},
        {"C:\\dir/sub\\out.txt", "\\/", 1ul, 259, "C:\\dir/sub\\.out.txt.ferrule-00000001.tmp"},
        // A long name is cut to fit a folder entry, and to fit the longest path.
        {"/a/" + longName, "/", 0ul, 4095, "/a/." + longName.substr(0, os::kKeptNameLength) + ".ferrule-00000000.tmp"},
        {"/a/out.txt", "/", 0ul, 28, "/a/.out.ferrule-00000000.tmp"},
        {"/a/out.txt", "/", 0ul, 10, "/a/..ferrule-00000000.tmp"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(os::TempSibling(c.target, c.separators, c.unique, c.maxLength), c.temp) << c.target;
    EXPECT_NE(os::UniqueNumber(1, 2), os::UniqueNumber(1, 2)) << "a running count tells two calls apart";
}

TEST(Replace, AWriteReplacesTheFileWithTheSameBytesAsAPlainWrite) {
    TempDir dir;
    const std::string out = dir.File("out.txt");
    testfiles::WriteBytes(out, kOld);
    PatchIO set;
    FillSet(set);
    ASSERT_EQ(set.Write(out.c_str()), 1);
    ExpectOnlyTheSetIn(dir, out, set);
}

// Another program reading the file does not stop the write (on Windows it
// is written in place then).
TEST(Replace, AFileAnotherReaderHoldsOpenIsWritten) {
    TempDir dir;
    const std::string out = dir.File("out.txt");
    testfiles::WriteBytes(out, kOld);
    std::ifstream reader(out, std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    PatchIO set;
    FillSet(set);
    ASSERT_EQ(set.Write(out.c_str()), 1);
    reader.close();
    ExpectOnlyTheSetIn(dir, out, set);
}

// What the writer does when a write fails; the failures themselves are
// made on POSIX disks (tests/faults).
TEST(Replace, AnAbandonedWriteKeepsTheOldFile) {
    TempDir dir;
    const std::string out = dir.File("out.txt");
    testfiles::WriteBytes(out, kOld);
    {
        os::FileReplacement file(out, os::WriteMode::kText);
        ASSERT_NE(file.Stream(), nullptr);
        for (int i = 0; i < 10000; ++i) std::fputs("new line of text\n", file.Stream());
    }
    EXPECT_TRUE(testfiles::ReadBytes(out) == kOld);
    EXPECT_EQ(FilesIn(dir), 1u);
}

// A file named relative to the current folder with forward slashes, as
// callers used to POSIX name it, is replaced like any other (Wine's
// ReplaceFileA refuses that spelling, so it is spelled out in full first).
TEST(Replace, AFileNamedRelativelyWithForwardSlashesIsReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "sub");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    for (const char* contents : {"first\n", "second\n"}) {
        os::FileReplacement file("sub/out.txt", os::WriteMode::kBinary);
        ASSERT_NE(file.Stream(), nullptr) << file.Failure();
        std::fputs(contents, file.Stream());
        EXPECT_TRUE(file.Commit()) << contents << file.Failure();
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(testfiles::ReadBytes(dir.File("sub/out.txt")), "second\n");
    const std::filesystem::directory_iterator files(dir.Path() / "sub");
    EXPECT_EQ(std::distance(begin(files), end(files)), 1);
}

// 259 characters, the most a Windows path holds. A long name leaves room
// for the temporary's name beside it; a short one does not, and that file
// is written in place there. A new file abandoned there is removed again.
TEST(Replace, AFileWhosePathIsAsLongAsAllowedIsWritten) {
    const std::size_t kLongestPath = 259;
    for (const std::string& name : {std::string("out.txt"), std::string(40, 'n') + ".txt"}) {
        TempDir dir;
        const std::string folder =
            dir.File(std::string(kLongestPath - dir.Path().string().size() - 2 - name.size(), 'f'));
        ASSERT_TRUE(std::filesystem::create_directory(folder));
        const std::string out = (std::filesystem::path(folder) / name).string();
        ASSERT_EQ(out.size(), kLongestPath);
        { os::FileReplacement abandoned(out, os::WriteMode::kText); }
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
        testfiles::WriteBytes(out, kOld);
        PatchIO set;
        FillSet(set);
        ASSERT_EQ(set.Write(out.c_str()), 1) << name;
        std::string text;
        set.WriteText(text);
        EXPECT_TRUE(testfiles::ReadBytes(out) == testfiles::NativeLineEnds(text)) << name;
    }
}

TEST(Replace, BinaryModeWritesBytesAsTheyAre) {
    TempDir dir;
    const std::string out = dir.File("out.bin");
    os::FileReplacement file(out, os::WriteMode::kBinary);
    ASSERT_NE(file.Stream(), nullptr);
    std::fputs("a\nb\r\n", file.Stream());
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(testfiles::ReadBytes(out), "a\nb\r\n");
}

}  // namespace
