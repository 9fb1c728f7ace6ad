#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "CommaLocale.h"
#include "DesktopOpener.h"
#include "TestFiles.h"
#include "patchio/PatchIO.h"

namespace {

using testfiles::TempDir;

// The set of the format's worked example: one triangular patch object and
// one camera.
void FillWorkedExample(PatchIO& set) {
    ExportPatchObject object;
    object.AddVert({0, 0, 0});
    object.AddVert({10, 0, 0});
    object.AddVert({0, 10, 0});
    const Float3 vecs[] = {{2.5f, 0, 0}, {7.5f, 0, 0},    {7.5f, 2.5f, 0}, {2.5f, 7.5f, 0}, {0, 7.5f, 0},
                           {0, 2.5f, 0}, {2.5f, 2.5f, 1}, {5, 2.5f, 1},    {2.5f, 5, 1}};
    for (const Float3& v : vecs) object.AddVec(v);
    ExportPatch patch;
    patch.sides = 3;
    for (int i = 0; i < 3; ++i) {
        patch.verts[i] = i;
        patch.interior[i] = 6 + i;
    }
    for (int j = 0; j < 6; ++j) patch.vecs[j] = j;
    object.AddPatch(patch);
    set.AddPatchObject(object);
    ExportCamera camera;
    camera.position = {0, -200, 50.5f};
    camera.target = {0, 0, 0};
    set.AddCamera(camera);
}

// Three objects: a quadrilateral with odd coordinates, an empty object, and
// two triangles naming each other; two cameras.
void FillMixedObjects(PatchIO& set) {
    ExportPatchObject quad;
    quad.AddVert({-2.5f, 0.1f, 0});
    quad.AddVert({1, 0, -0.0f});
    quad.AddVert({1, 1, 123456.789f});
    quad.AddVert({0, 1, 0.000001f});
    quad.AddVec({1.0f / 3.0f, 0, 0});
    quad.AddVec({2.0f / 3.0f, 0, 0});
    ExportPatch q;
    for (int i = 0; i < 4; ++i) q.verts[i] = i;
    q.vecs[0] = 0;
    q.vecs[1] = 1;
    quad.AddPatch(q);
    set.AddPatchObject(quad);
    set.AddPatchObject(ExportPatchObject());

    ExportPatchObject triangles;
    triangles.AddVert({0, 0, 0});
    triangles.AddVert({1, 0, 0});
    triangles.AddVert({0, 1, 0});
    ExportPatch a;
    a.sides = 3;
    a.verts[0] = 0, a.verts[1] = 1, a.verts[2] = 2;
    a.adjacent[0] = 1;
    ExportPatch b = a;
    b.verts[0] = 2, b.verts[2] = 0;
    b.adjacent[0] = 0;
    triangles.AddPatch(a);
    triangles.AddPatch(b);
    set.AddPatchObject(std::move(triangles));

    set.AddCamera(ExportCamera());
    ExportCamera second;
    second.position = {1.5f, -2.25f, 3};
    second.target = {-4, 5, -6};
    set.AddCamera(second);
}

std::string Golden(const std::string& name) {
    return testfiles::NativeLineEnds(testfiles::ReadBytes(testfiles::DataFile("golden/" + name)));
}

struct GoldenCase {
    const char* file;
    void (*fill)(PatchIO&);
};

class WriterGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(WriterGolden, WritesTheFileByteForByte) {
    PatchIO set;
    GetParam().fill(set);
    TempDir dir;
    const std::string path = dir.File("out.txt");
    ASSERT_EQ(set.Write(path.c_str()), 1);
    const std::string expected = Golden(GetParam().file);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(testfiles::ReadBytes(path), expected);

    // The same text into memory (with "\n" line ends on every platform, as
    // a stream opened as binary gets it too) and into an open stream.
    std::string text = "kept ";
    set.WriteText(text);
    const std::string golden = testfiles::ReadBytes(testfiles::DataFile(std::string("golden/") + GetParam().file));
    EXPECT_EQ(text, "kept " + golden);
    std::FILE* stream = std::fopen(dir.File("stream.txt").c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    std::fputs("kept ", stream);
    EXPECT_EQ(set.WriteStream(stream), 1);
    std::fclose(stream);
    EXPECT_EQ(testfiles::ReadBytes(dir.File("stream.txt")), "kept " + golden);
}

INSTANTIATE_TEST_SUITE_P(Files, WriterGolden,
                         ::testing::Values(GoldenCase{"worked_example.txt", FillWorkedExample},
                                           GoldenCase{"empty_set.txt", [](PatchIO&) {}},
                                           GoldenCase{"mixed_objects.txt", FillMixedObjects}),
                         [](const ::testing::TestParamInfo<GoldenCase>& param) {
                             std::string name = param.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(Writer, WritingLeavesTheSetUnchanged) {
    PatchIO set;
    FillMixedObjects(set);
    TempDir dir;
    ASSERT_EQ(set.Write(dir.File("a.txt").c_str()), 1);
    EXPECT_EQ(set.NumPatchObjects(), 3);
    EXPECT_EQ(set.NumCameras(), 2);
    ASSERT_EQ(set.Write(dir.File("b.txt").c_str()), 1);
    EXPECT_EQ(testfiles::ReadBytes(dir.File("a.txt")), testfiles::ReadBytes(dir.File("b.txt")));
}

TEST(Writer, ReplacesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("old.txt");
    testfiles::WriteBytes(path, std::string(100000, 'x'));
    PatchIO set;
    ASSERT_EQ(set.Write(path.c_str()), 1);
    EXPECT_EQ(testfiles::ReadBytes(path), Golden("empty_set.txt"));
}

TEST(Writer, CommaDecimalLocaleWritesTheSameBytes) {
    PatchIO set;
    FillWorkedExample(set);
    TempDir dir;
    const std::string path = dir.File("out.txt");
    {
        const testlocale::CommaLocale comma;
        if (!comma.Active()) GTEST_SKIP() << testlocale::kNoCommaLocale;
        ASSERT_EQ(set.Write(path.c_str()), 1);
    }
    EXPECT_EQ(testfiles::ReadBytes(path), Golden("worked_example.txt"));
}

TEST(Writer, NonFiniteCoordinatesAreSpeltAsTheCLibraryDoes) {
    PatchIO set;
    ExportPatchObject object;
    object.AddVert({std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()});
    set.AddPatchObject(object);
    TempDir dir;
    ASSERT_EQ(set.Write(dir.File("out.txt").c_str()), 1);
    const std::string text = testfiles::ReadBytes(dir.File("out.txt"));
    EXPECT_NE(text.find("\t\t0\tinf\t-inf\tnan"), std::string::npos) << text;
}

// Paths that cannot be written answer 0 and leave no file behind.
TEST(Writer, UnwritablePathsAnswerZero) {
    TempDir dir;
    testfiles::WriteBytes(dir.File("plain"), "x");
    const std::vector<std::string> paths = {
        dir.File("missing/out.txt"),
        dir.File("plain/out.txt"),                 // a file where a folder should be
        dir.Path().string(),                       // a folder
        dir.File(std::string(300, 'n') + ".txt"),  // a name longer than file systems allow
    };
    PatchIO set;
    FillWorkedExample(set);
    for (const std::string& path : paths) {
        EXPECT_EQ(set.Write(path.c_str()), 0) << path;
        std::error_code ignored;
        EXPECT_FALSE(std::filesystem::is_regular_file(path, ignored)) << path;
    }
    EXPECT_EQ(set.Write(nullptr), 0);
}

TEST(Writer, FullDeviceIsAFailure) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this platform";
    PatchIO empty;
    EXPECT_EQ(empty.Write("/dev/full"), 0) << "even three lines must be noticed at the close";
    PatchIO set;
    FillMixedObjects(set);
    EXPECT_EQ(set.Write("/dev/full"), 0);
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(empty.WriteStream(full), 0) << "the flush reports what the buffer could not write";
    std::fclose(full);
    EXPECT_EQ(empty.WriteStream(nullptr), 0);
}

// WriteTempAndOpen writes patchIO_out.txt into TEMP and asks the shell to
// open exactly that file.
class TempAndOpen : public ::testing::Test {
protected:
    void SetUp() override {
        if (testfiles::kWindows) GTEST_SKIP() << "the Windows shell is exercised by the Windows tests";
        const char* temp = std::getenv("TEMP");
        hadTemp_ = temp != nullptr;
        if (temp) savedTemp_ = temp;
        desktop_.emplace();
    }
    void TearDown() override { testfiles::SetEnv("TEMP", hadTemp_ ? savedTemp_.c_str() : nullptr); }

    std::optional<testfiles::DesktopOpener> desktop_;

private:
    bool hadTemp_ = false;
    std::string savedTemp_;
};

TEST_F(TempAndOpen, WritesIntoTempAndOpensTheFile) {
    TempDir dir;
    testfiles::SetEnv("TEMP", dir.Path().string().c_str());
    PatchIO set;
    FillWorkedExample(set);
    set.WriteTempAndOpen();
    const std::string path = dir.File("patchIO_out.txt");
    EXPECT_EQ(testfiles::ReadBytes(path), Golden("worked_example.txt"));
    EXPECT_EQ(desktop_->Opened(), std::vector<std::string>{path});
}

TEST_F(TempAndOpen, TooLongTempGivesUpWithoutWriting) {
    TempDir dir;
    // 260 characters with the separator, the name and the null: one too many.
    std::string temp = dir.Path().string() + "/";
    temp += std::string(260 - temp.size() - 1 - 15 - 1 + 1, 'd');
    testfiles::SetEnv("TEMP", temp.c_str());
    PatchIO set;
    set.WriteTempAndOpen();
    EXPECT_TRUE(desktop_->Opened().empty());
    EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST_F(TempAndOpen, MissingTempFolderOpensNothing) {
    TempDir dir;
    testfiles::SetEnv("TEMP", dir.File("missing").c_str());
    PatchIO set;
    set.WriteTempAndOpen();
    EXPECT_TRUE(desktop_->Opened().empty());
}

}  // namespace
