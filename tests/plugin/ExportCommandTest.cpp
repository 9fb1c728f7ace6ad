// The export command behind the page's button: the save request, the scene
// walk, the write and the shell request.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "PluginHarness.h"
#include "patchio/PatchIO.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kOverwritePrompt = 0x2u;

void WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

class PluginExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.Loaded());
        ip.memory.SetDirectory(3, scratch.Path().string());
        ip.memory.SetRoot(SampleScene());
        plugin.Utility().OpenPanel(&ip, &panel);
        ASSERT_NE(ip.Page(), nullptr);
    }
    void TearDown() override { plugin.Utility().ClosePanel(&ip, &panel); }

    INT_PTR Press() { return desktop::SendPageMessage(ip.Page(), WM_COMMAND, MAKEWPARAM(1001, 0), 0); }

    // The file the format library itself writes for the same scene.
    std::string ExpectedText() {
        PatchIO set;
        set.CollectScene();
        const std::string path = scratch.File("expected.txt");
        EXPECT_EQ(set.Write(path.c_str()), 1);
        return ReadFile(path);
    }

    bool Opened(const std::string& path) const {
        return desk.shellCalls.size() == 1 && desk.shellCalls[0].verb == "open" && desk.shellCalls[0].file == path &&
               desk.shellCalls[0].show == SW_SHOW;
    }

    LoadedPlugin plugin;
    ScratchFolder scratch;
    RecordingInterface ip;
    RecordingPanel panel;
    DesktopScope desk{&ip};
};

TEST_F(PluginExportCommand, AsksForAFileNameAsTheCommonDialogWould) {
    EXPECT_EQ(Press(), TRUE);
    ASSERT_EQ(desk.saveRequests.size(), 1u);
    const desktop::SaveRequest& request = desk.saveRequests[0];
    EXPECT_EQ(request.owner, ip.Page());
    EXPECT_EQ(request.title, "Save A File");
    const std::vector<std::string> filters = {"Text Files (*.txt)", "*.txt", "All files (*.*)", "*.*"};
    EXPECT_EQ(request.filters, filters);
    EXPECT_TRUE(request.hasInitialDir);
    EXPECT_EQ(request.initialDir, scratch.Path().string());
    EXPECT_EQ(request.flags, 0x80010u) << "explorer style with a Help button, nothing else";
    EXPECT_EQ(request.flags & kOverwritePrompt, 0u);
    EXPECT_EQ(request.maxPath, 260u);
    EXPECT_FALSE(request.hasDefaultExtension);
    EXPECT_EQ(ip.directoryQueries, std::vector<int>{3});
}

TEST_F(PluginExportCommand, LeavesTheStartFolderToTheDialogWhenTheHostNamesNone) {
    RecordingInterface bare;
    bare.memory.SetRoot(SampleScene());
    DesktopScope scope(&bare);
    plugin.Utility().ClosePanel(&ip, &panel);
    plugin.Utility().OpenPanel(&bare, &panel);
    desktop::SendPageMessage(bare.Page(), WM_COMMAND, 1001, 0);
    ASSERT_EQ(scope.saveRequests.size(), 1u);
    EXPECT_FALSE(scope.saveRequests[0].hasInitialDir);
    plugin.Utility().ClosePanel(&bare, &panel);
    plugin.Utility().OpenPanel(&ip, &panel);
}

TEST_F(PluginExportCommand, CancelVisitsNoNodeWritesNothingAndOpensNothing) {
    const std::string path = scratch.File("never.txt");
    desk.Cancel();
    EXPECT_EQ(Press(), TRUE);
    EXPECT_EQ(desk.saveRequests.size(), 1u);
    EXPECT_EQ(ip.memory.Root().evaluations, 0);
    EXPECT_EQ(ip.memory.Root().childCountCalls, 0);
    EXPECT_EQ(ip.memory.Root().ChildNode(0)->evaluations, 0);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(fs::directory_iterator(scratch.Path()), fs::directory_iterator()) << "nothing created";
    EXPECT_TRUE(desk.shellCalls.empty());
}

TEST_F(PluginExportCommand, WritesTheWholeSceneAndOpensTheFile) {
    const std::string path = scratch.File("scene.txt");
    desk.AnswerWith(path);
    EXPECT_EQ(Press(), TRUE);
    EXPECT_TRUE(Opened(path));
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, ExpectedText());
    EXPECT_NE(written.find("PATCHOBJECTS\t2\n"), std::string::npos) << written;
    EXPECT_NE(written.find("NUMCAMERAS 1\n"), std::string::npos) << written;
}

TEST_F(PluginExportCommand, TwoPressesExportTwiceFromAFreshSet) {
    const std::string first = scratch.File("first.txt");
    const std::string second = scratch.File("second.txt");
    desk.AnswerWith(first);
    Press();
    desk.AnswerWith(second);
    Press();
    ASSERT_EQ(desk.shellCalls.size(), 2u);
    EXPECT_EQ(desk.shellCalls[0].file, first);
    EXPECT_EQ(desk.shellCalls[1].file, second);
    EXPECT_EQ(ReadFile(first), ReadFile(second)) << "the second export holds nothing of the first";
    EXPECT_EQ(ReadFile(second), ExpectedText());
    EXPECT_EQ(ip.memory.Root().ChildNode(0)->evaluations, 3) << "two walks by the plug-in, one by the test";
}

TEST_F(PluginExportCommand, EmptySceneIsStillWrittenAndOpened) {
    ip.memory.SetRoot(nullptr);
    const std::string path = scratch.File("empty.txt");
    desk.AnswerWith(path);
    Press();
    EXPECT_TRUE(Opened(path));
    EXPECT_EQ(ReadFile(path), "VERSION\t1.10\nPATCHOBJECTS\t0\nNUMCAMERAS 0\n");
}

TEST_F(PluginExportCommand, OverwritesAnExistingFileWithoutAsking) {
    const std::string path = scratch.File("old.txt");
    WriteText(path, std::string(100000, 'x'));
    desk.AnswerWith(path);
    Press();
    EXPECT_TRUE(Opened(path));
    EXPECT_EQ(ReadFile(path), ExpectedText());
}

TEST_F(PluginExportCommand, UsesANameWithoutExtensionAsTyped) {
    const std::string path = scratch.File("no_extension");
    desk.AnswerWith(path);
    Press();
    EXPECT_TRUE(Opened(path));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + ".txt"));
}

TEST_F(PluginExportCommand, TakesTheLongestNameTheBufferHolds) {
    std::string path = scratch.File("");
    path += std::string(259 - path.size() - 4, 'n') + ".txt";
    ASSERT_EQ(path.size(), 259u);
    desk.AnswerWith(path);
    Press();
    EXPECT_TRUE(Opened(path));
    EXPECT_EQ(ReadFile(path), ExpectedText());
}

// A name the file cannot be created under: nothing is opened.
struct UnwritableCase {
    const char* name;
    std::string (*path)(const ScratchFolder&);
};

TEST_F(PluginExportCommand, UnwritablePathOpensNothing) {
    const UnwritableCase cases[] = {
        {"missing folder", [](const ScratchFolder& s) { return s.File("missing/out.txt"); }},
        {"a folder", [](const ScratchFolder& s) { return s.Path().string(); }},
        {"a file as folder", [](const ScratchFolder& s) { return s.File("plain/out.txt"); }},
    };
    WriteText(scratch.File("plain"), "");
    for (const UnwritableCase& c : cases) {
        SCOPED_TRACE(c.name);
        desk.shellCalls.clear();
        desk.AnswerWith(c.path(scratch));
        EXPECT_EQ(Press(), TRUE);
        EXPECT_TRUE(desk.shellCalls.empty());
    }
    EXPECT_FALSE(fs::exists(scratch.File("missing")));
}

TEST_F(PluginExportCommand, ReadOnlyFolderOpensNothing) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    const fs::path locked = scratch.Path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    desk.AnswerWith((locked / "out.txt").string());
    Press();
    EXPECT_TRUE(desk.shellCalls.empty());
    EXPECT_FALSE(fs::exists(locked / "out.txt"));
    fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(PluginExportCommand, WalksTheHostsScene) {
    const std::string path = scratch.File("walk.txt");
    desk.AnswerWith(path);
    const std::int64_t conversionsBefore = HostStats().conversions;
    const std::int64_t deletesBefore = HostStats().ownedDeletes;
    Press();
    EXPECT_EQ(ip.memory.Root().ChildNode(0)->evaluations, 1);
    EXPECT_EQ(HostStats().conversions - conversionsBefore, 1);
    EXPECT_EQ(HostStats().ownedDeletes - deletesBefore, 1) << "the converted object is released";
}

}  // namespace
