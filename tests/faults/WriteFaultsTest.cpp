// PatchIO::Write and WriteTempAndOpen where the disk or the path fails:
// every failure answers 0 (or opens nothing), and no file appears where
// none could be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FaultPlatform.h"
#include "FaultSupport.h"
#include "patchio/PatchIO.h"

namespace {

namespace fs = std::filesystem;

// The longest file name one folder entry may have on the test platforms.
constexpr std::size_t kMaxNameLength = 255;
// Longer than any path the platform's file calls accept.
constexpr std::size_t kOverlongPath = 5000;
// What WriteTempAndOpen writes in the TEMP folder.
constexpr const char* kTempName = "patchIO_out.txt";
// Path buffers of the format library, null included.
constexpr std::size_t kPathBuffer = 260;

// A set whose text is larger than the writer's buffer, so that a full disk
// fails in the middle of the writing and not only at the close.
void FillLargeSet(PatchIO& set) {
    ExportPatchObject object;
    for (int i = 0; i < 20000; ++i) object.AddVert({static_cast<float>(i), 1.5f, -2.25f});
    set.AddPatchObject(object);
    set.AddCamera(ExportCamera());
}

TEST(WriteFaults, AFullDeviceAnswersZero) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "this platform has no /dev/full";
    PatchIO set;
    FillLargeSet(set);
    EXPECT_EQ(set.Write("/dev/full"), 0);
    PatchIO empty;
    EXPECT_EQ(empty.Write("/dev/full"), 0) << "a set small enough for one buffer fails at the flush";
}

TEST(WriteFaults, AMissingFolderAnswersZeroAndCreatesNothing) {
    faults::Scratch scratch;
    const std::string path = scratch.File("missing/deeper/out.txt");
    PatchIO set;
    FillLargeSet(set);
    EXPECT_EQ(set.Write(path.c_str()), 0);
    EXPECT_FALSE(fs::exists(scratch.Path() / "missing"));
}

TEST(WriteFaults, AReadOnlyFolderAnswersZeroAndCreatesNothing) {
    if (faults::IgnoresPermissions())
        GTEST_SKIP() << "running as root, which writes into read-only folders; "
                        "FolderThatRefusesCreationEvenToRoot covers this case";
    faults::Scratch scratch;
    const fs::path folder = scratch.Path() / "locked";
    fs::create_directory(folder);
    if (!faults::platform::MakeReadOnly(folder.string())) GTEST_SKIP() << "folders cannot be made read-only here";
    PatchIO set;
    FillLargeSet(set);
    EXPECT_EQ(set.Write((folder / "out.txt").string().c_str()), 0);
    faults::platform::MakeWritable(folder.string());
    EXPECT_FALSE(fs::exists(folder / "out.txt"));
}

// Folders of the kernel's own file systems refuse new files whoever asks.
TEST(WriteFaults, FolderThatRefusesCreationEvenToRoot) {
    for (const char* folder : {"/proc", "/sys"}) {
        if (!fs::is_directory(folder)) continue;
        const std::string path = std::string(folder) + "/gantline_out.txt";
        PatchIO set;
        FillLargeSet(set);
        EXPECT_EQ(set.Write(path.c_str()), 0) << path;
        EXPECT_FALSE(fs::exists(path)) << path;
    }
    if (!fs::is_directory("/proc") && !fs::is_directory("/sys")) GTEST_SKIP() << "no kernel file systems here";
}

TEST(WriteFaults, ANameTooLongForTheFolderAnswersZero) {
    faults::Scratch scratch;
    const std::string path = scratch.File(std::string(kMaxNameLength + 1, 'n'));
    PatchIO set;
    EXPECT_EQ(set.Write(path.c_str()), 0);
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

TEST(WriteFaults, APathTooLongForThePlatformAnswersZero) {
    faults::Scratch scratch;
    std::string path = scratch.Path().string();
    while (path.size() < kOverlongPath) path += "/d";
    path += "/out.txt";
    PatchIO set;
    EXPECT_EQ(set.Write(path.c_str()), 0);
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

TEST(WriteFaults, ANullPathAnswersZero) {
    PatchIO set;
    EXPECT_EQ(set.Write(nullptr), 0);
}

// The counterpart of the failures above: the same set on a writable disk
// answers 1 and every record is in the file.
TEST(WriteFaults, AWriteThatSucceedsLeavesTheWholeText) {
    faults::Scratch scratch;
    PatchIO set;
    FillLargeSet(set);
    const std::string path = scratch.File("out.txt");
    ASSERT_EQ(set.Write(path.c_str()), 1);
    PatchIO back;
    ASSERT_EQ(back.Read(path.c_str()), 1);
    EXPECT_EQ(back.NumPatchObjects(), 1);
    EXPECT_EQ(back.PatchObjectAt(0).NumVerts(), 20000);
    EXPECT_EQ(back.NumCameras(), 1);
}

class TempWrite : public ::testing::Test {
protected:
    // The file WriteTempAndOpen writes for a TEMP of folder.
    static std::string TempFile(const std::string& folder) { return (fs::path(folder) / kTempName).string(); }

    PatchIO set;
    faults::ShellRecorder shell;
};

TEST_F(TempWrite, UnsetTempWritesToTheFallbackFolderAndOpensIt) {
    faults::EnvironmentScope temp("TEMP", std::nullopt);
    set.AddCamera(ExportCamera());
    set.WriteTempAndOpen();
    ASSERT_EQ(shell.Opened().size(), 1u);
    const std::string written = shell.Opened()[0];
    EXPECT_EQ(fs::path(written).filename(), kTempName);
    PatchIO back;
    EXPECT_EQ(back.Read(written.c_str()), 1);
    EXPECT_EQ(back.NumCameras(), 1);
    fs::remove(written);
}

TEST_F(TempWrite, EmptyTempWritesToTheFallbackFolderAndOpensIt) {
    faults::EnvironmentScope temp("TEMP", std::string());
    set.WriteTempAndOpen();
    ASSERT_EQ(shell.Opened().size(), 1u);
    EXPECT_TRUE(fs::path(shell.Opened()[0]).is_absolute()) << shell.Opened()[0];
    EXPECT_TRUE(fs::exists(shell.Opened()[0]));
    fs::remove(shell.Opened()[0]);
}

TEST_F(TempWrite, TempFolderWritesThereAndOpensIt) {
    faults::Scratch scratch;
    faults::EnvironmentScope temp("TEMP", scratch.Path().string());
    set.WriteTempAndOpen();
    ASSERT_EQ(shell.Opened().size(), 1u);
    EXPECT_EQ(shell.Opened()[0], TempFile(scratch.Path().string()));
    EXPECT_TRUE(fs::exists(shell.Opened()[0]));
}

// The longest folder whose path with the file name still fits the buffer,
// and one character more.
TEST_F(TempWrite, TempTooLongForThePathBufferWritesAndOpensNothing) {
    faults::Scratch scratch;
    const std::size_t room = kPathBuffer - 1 - 1 - std::string(kTempName).size();
    std::string fits = scratch.Path().string() + "/";
    fits += std::string(room - fits.size(), 'f');
    ASSERT_EQ(fits.size(), room);
    fs::create_directory(fits);
    const std::string tooLong = fits + "g";
    fs::create_directory(tooLong);
    {
        faults::EnvironmentScope temp("TEMP", tooLong);
        set.WriteTempAndOpen();
        EXPECT_TRUE(shell.Opened().empty());
        EXPECT_FALSE(fs::exists(TempFile(tooLong)));
    }
    faults::EnvironmentScope temp("TEMP", fits);
    set.WriteTempAndOpen();
    ASSERT_EQ(shell.Opened().size(), 1u);
    EXPECT_EQ(shell.Opened()[0].size(), kPathBuffer - 1);
    EXPECT_TRUE(fs::exists(TempFile(fits)));
}

TEST_F(TempWrite, TempFarTooLongWritesAndOpensNothing) {
    faults::EnvironmentScope temp("TEMP", std::string(kOverlongPath, 'x'));
    set.WriteTempAndOpen();
    EXPECT_TRUE(shell.Opened().empty());
}

TEST_F(TempWrite, TempNamingAMissingFolderOpensNothing) {
    faults::Scratch scratch;
    faults::EnvironmentScope temp("TEMP", scratch.File("missing"));
    set.WriteTempAndOpen();
    EXPECT_TRUE(shell.Opened().empty());
    EXPECT_FALSE(fs::exists(scratch.Path() / "missing"));
}

TEST_F(TempWrite, TempNamingADeviceOpensNothing) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "this platform has no /dev/full";
    // /dev/full/patchIO_out.txt: a device is no folder, so nothing is written.
    faults::EnvironmentScope temp("TEMP", "/dev/full");
    set.WriteTempAndOpen();
    EXPECT_TRUE(shell.Opened().empty());
}

}  // namespace
