// The export from the panel's button under Windows: the real save dialog
// (driven from a timer on this thread), the file written through the C
// library, and the shell's "open" reaching the handler that the tests
// registered for .txt files in their own Wine prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "PanelFixture.h"
#include "TestFiles.h"
#include "text/AsciiCase.h"
#include "wintest/SaveDialogDriver.h"
#include "wintest/ShellAssociation.h"

namespace {

using testfiles::TempDir;
using wintest::SaveDialogDriver;
using wintest::WinHost;

constexpr char kDialogTitle[] = "Save A File";
// The host's directory index for exports, where the dialog starts.
constexpr int kExportDirectory = 3;

// The scene of the format's worked example: one triangular patch object and
// one look-at camera aimed at a target node at the origin.
MemoryPatchMesh WorkedExampleMesh() {
    MemoryPatchMesh mesh;
    mesh.verts = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    mesh.vecs = {{2.5f, 0, 0}, {7.5f, 0, 0},    {7.5f, 2.5f, 0}, {2.5f, 7.5f, 0}, {0, 7.5f, 0},
                 {0, 2.5f, 0}, {2.5f, 2.5f, 1}, {5, 2.5f, 1},    {2.5f, 5, 1}};
    HostPatch patch;
    patch.type = 3;
    for (int i = 0; i < 3; ++i) {
        patch.vertIndex[i] = i;
        patch.interiorIndex[i] = 6 + i;
        patch.edgeIndex[i] = i;
    }
    for (int j = 0; j < 6; ++j) patch.vecIndex[j] = j;
    mesh.patches = {patch};
    mesh.edges = {{0, -1}, {0, -1}, {0, -1}};
    return mesh;
}

void BuildWorkedExample(MemoryNode& root) {
    root.AddChild("surface")->SetObject(MemoryObject::PatchObject(WorkedExampleMesh()));
    MemoryNode* target = root.AddChild("target");
    MemoryNode* camera = root.AddChild("camera");
    camera->SetObject(MemoryObject::LookAtCamera());
    camera->world = Matrix3::Translation({0, -200, 50.5f});
    camera->target = target;
}

// A path in one spelling: long names, lower case, no trailing separator.
std::string Canonical(const std::string& path) {
    char full[MAX_PATH] = "";
    if (GetLongPathNameA(path.c_str(), full, MAX_PATH) == 0) return LowerAscii(path);
    std::string canonical = LowerAscii(full);
    while (canonical.size() > 3 && canonical.back() == '\\') canonical.pop_back();
    return canonical;
}

class Export : public wintest::OpenPanel {
protected:
    void SetUp() override {
        const std::string recorder = wintest::ProgramFolder() + "gantline_open_recorder.exe";
        ASSERT_TRUE(wintest::RegisterOpenHandler(".txt", "GantlineTest.txtfile", "\"" + recorder + "\" \"%1\""));
        recordFile = records.File("opened.txt");
        ASSERT_TRUE(SetEnvironmentVariableA(wintest::kOpenRecordVariable, recordFile.c_str()));
        BuildWorkedExample(host.Root());
        host.SetDirectory(kExportDirectory, folder.Path().string());
        wintest::OpenPanel::SetUp();
    }

    // Presses "Export..." with the dialog answered by fileName (empty:
    // cancelled); answers what the dialog showed.
    wintest::SaveDialogView PressExport(const std::string& fileName) {
        SaveDialogDriver driver(kDialogTitle, fileName);
        SendMessageA(Button(), BM_CLICK, 0, 0);
        EXPECT_TRUE(driver.Answered()) << "the save dialog did not show up";
        return driver.View();
    }

    // Waits for the handler to note count files, then answers them.
    std::vector<std::string> OpenedFiles(std::size_t count) {
        WinHost::PumpUntil([&] { return wintest::RecordedOpens(recordFile).size() >= count; }, 30000);
        std::vector<std::string> opened = wintest::RecordedOpens(recordFile);
        for (std::string& file : opened) file = Canonical(file);
        return opened;
    }

    static std::string Expected() {
        return testfiles::NativeLineEnds(testfiles::ReadBytes(testfiles::DataFile("golden/worked_example.txt")));
    }

    TempDir folder;   // the host's export directory
    TempDir records;  // the handler's record
    std::string recordFile;
};

TEST_F(Export, DialogShowsTitleFiltersStartFolderAndHelp) {
    const wintest::SaveDialogView view = PressExport("");
    ASSERT_TRUE(view.found);
    EXPECT_EQ(view.filters, (std::vector<std::string>{"Text Files (*.txt)", "All files (*.*)"}));
    EXPECT_EQ(view.selectedFilter, 0);
    EXPECT_EQ(Canonical(view.folder), Canonical(folder.Path().string()));
    EXPECT_TRUE(view.helpButtonVisible);
}

TEST_F(Export, ConfirmedNameIsWrittenWithCrLfAndOpenedByTheShell) {
    const wintest::SaveDialogView view = PressExport("scene.txt");
    ASSERT_TRUE(view.found);
    const std::string written = folder.File("scene.txt");
    const std::string expected = Expected();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(testfiles::ReadBytes(written), expected);
    EXPECT_NE(expected.find("\r\n"), std::string::npos);
    EXPECT_EQ(OpenedFiles(1), std::vector<std::string>{Canonical(written)});
}

TEST_F(Export, ExistingFileIsReplacedWithoutAPrompt) {
    const std::string written = folder.File("scene.txt");
    testfiles::WriteBytes(written, "an older file, longer than nothing\r\n");
    const wintest::SaveDialogView view = PressExport("scene.txt");
    EXPECT_EQ(view.otherDialogs, 0) << "the dialog asked before replacing the file";
    EXPECT_EQ(testfiles::ReadBytes(written), Expected());
    EXPECT_EQ(OpenedFiles(1), std::vector<std::string>{Canonical(written)});
}

// What a negative case might have opened is seen once a later export's
// open has arrived: the handler runs in the order the shell started it.
TEST_F(Export, CancelledDialogWritesAndOpensNothing) {
    const wintest::SaveDialogView view = PressExport("");
    ASSERT_TRUE(view.found);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));

    PressExport("after.txt");
    EXPECT_EQ(OpenedFiles(1), std::vector<std::string>{Canonical(folder.File("after.txt"))});
}

TEST_F(Export, FileThatCannotBeWrittenIsNotOpened) {
    const std::string blocked = folder.File("scene.txt");
    testfiles::WriteBytes(blocked, "held open\r\n");
    // Held open without sharing: the export's own open of the file fails.
    HANDLE holder =
        CreateFileA(blocked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const wintest::SaveDialogView view = PressExport("scene.txt");
    CloseHandle(holder);
    EXPECT_EQ(view.otherDialogs, 0) << "the dialog itself refused the name";
    EXPECT_EQ(testfiles::ReadBytes(blocked), "held open\r\n");

    PressExport("after.txt");
    EXPECT_EQ(OpenedFiles(1), std::vector<std::string>{Canonical(folder.File("after.txt"))});
}

TEST_F(Export, EachPressExportsAFreshSet) {
    PressExport("first.txt");
    PressExport("second.txt");
    EXPECT_EQ(testfiles::ReadBytes(folder.File("first.txt")), Expected());
    EXPECT_EQ(testfiles::ReadBytes(folder.File("second.txt")), Expected());
    std::vector<std::string> opened = OpenedFiles(2);
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened,
              (std::vector<std::string>{Canonical(folder.File("first.txt")), Canonical(folder.File("second.txt"))}));
}

TEST_F(Export, OnlyTheButtonsCommandAsksForAFile) {
    {
        SaveDialogDriver driver(kDialogTitle, "");
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WinHost::PumpMessages();
        EXPECT_FALSE(driver.Answered());
    }
    // Any notification of the button runs the command.
    SaveDialogDriver driver(kDialogTitle, "");
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1001, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(Button()));
    EXPECT_TRUE(driver.Answered());
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

}  // namespace
