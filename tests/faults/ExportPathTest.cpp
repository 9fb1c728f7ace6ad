// The plug-in's export command where the chosen file cannot be written:
// paths at and past the 259 characters that the save request holds, a
// missing folder, a full device and a folder that refuses new files. The
// command then writes nothing, opens nothing, and leaves no file behind.
// Runs the built Ferrule.dlu through its exports, with the POSIX desktop
// answering the save request.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FaultPlatform.h"
#include "FaultSupport.h"
#include "desktop/Desktop.h"
#include "host/HostInterfaces.h"
#include "memhost/MemoryHost.h"
#include "plugin/Resources.h"

namespace {

namespace fs = std::filesystem;
namespace platform = faults::platform;

// The save request's buffer holds this many characters, null included.
constexpr std::size_t kFileBuffer = 260;

// A core interface over the in-memory host that keeps the page it added.
class PageCore final : public Interface {
public:
    PageCore() { memory.pages = {desktop::CreatePage, desktop::DestroyPage}; }
    HWND AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                      DWORD flags) override {
        page = memory.AddPanelPage(instance, dialogId, proc, title, param, flags);
        return page;
    }
    void RemovePanelPage(HWND removed) override { memory.RemovePanelPage(removed); }
    int PanelMouseMessage(HWND p, UINT message, WPARAM wParam, LPARAM lParam) override {
        return memory.PanelMouseMessage(p, message, wParam, lParam);
    }
    const char* DirectoryPath(int which) override { return memory.DirectoryPath(which); }
    HostNode* SceneRoot() override { return memory.SceneRoot(); }
    HostTime CurrentTime() override { return memory.CurrentTime(); }

    MemoryInterface memory;
    HWND page = nullptr;
};

class NullPanel final : public HostUtilityPanel {
public:
    void CloseUtility() override {}
};

using LibClassDescFn = HostClassDesc* (*)(int);

class ExportPath : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = platform::OpenModule(platform::PluginPath());
        ASSERT_NE(module_, nullptr) << platform::PluginPath();
        auto classDesc = reinterpret_cast<LibClassDescFn>(
            reinterpret_cast<void (*)()>(platform::FindExport(module_, "LibClassDesc")));
        ASSERT_NE(classDesc, nullptr);
        utility_ = static_cast<HostUtility*>(classDesc(0)->NewInstance(0));
        auto root = std::make_unique<MemoryNode>("root");
        MemoryPatchMesh mesh;
        mesh.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        root->AddChild("mesh")->SetObject(MemoryObject::PatchObject(mesh));
        core_.memory.SetRoot(std::move(root));
        previousCore_ = SetCOREInterface(&core_);
        previousSave_ = desktop::SetSaveHandler([this](const desktop::SaveRequest&, std::string& path) {
            ++saveRequests_;
            path = answer_;
            return true;
        });
        utility_->OpenPanel(&core_, &panel_);
    }

    void TearDown() override {
        if (!module_) return;
        utility_->ClosePanel(&core_, &panel_);
        desktop::SetSaveHandler(std::move(previousSave_));
        SetCOREInterface(previousCore_);
        platform::CloseModule(module_);
    }

    // Presses Export... with the save dialog answering path.
    void ExportTo(const std::string& path) {
        answer_ = path;
        desktop::SendPageMessage(core_.page, WM_COMMAND, IDC_EXPORT, 0);
        ASSERT_EQ(saveRequests_, 1);
    }

    // A path of exactly length characters in folder, ending in .txt.
    static std::string PathOfLength(const fs::path& folder, std::size_t length) {
        std::string path = (folder / "").string();
        path += std::string(length - path.size() - 4, 'p');
        return path + ".txt";
    }

    faults::ShellRecorder shell;
    faults::Scratch scratch;

private:
    void* module_ = nullptr;
    HostUtility* utility_ = nullptr;
    PageCore core_;
    NullPanel panel_;
    Interface* previousCore_ = nullptr;
    desktop::SaveHandler previousSave_;
    std::string answer_;
    int saveRequests_ = 0;
};

TEST_F(ExportPath, APathOf259CharactersIsWrittenAndOpened) {
    const std::string path = PathOfLength(scratch.Path(), kFileBuffer - 1);
    ExportTo(path);
    ASSERT_EQ(shell.Opened(), std::vector<std::string>{path});
    EXPECT_NE(faults::ReadBytes(path).find("NUMVERTS 3"), std::string::npos);
}

TEST_F(ExportPath, APathOf260CharactersIsRefusedAndNothingIsOpened) {
    ExportTo(PathOfLength(scratch.Path(), kFileBuffer));
    EXPECT_TRUE(shell.Opened().empty());
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

TEST_F(ExportPath, APathOf1000CharactersIsRefusedAndNothingIsOpened) {
    ExportTo(PathOfLength(scratch.Path(), 1000));
    EXPECT_TRUE(shell.Opened().empty());
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

TEST_F(ExportPath, APathOf259CharactersInAMissingFolderOpensNothing) {
    const std::string path = PathOfLength(scratch.Path() / "missing", kFileBuffer - 1);
    ExportTo(path);
    EXPECT_TRUE(shell.Opened().empty());
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

TEST_F(ExportPath, AFullDeviceOpensNothing) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "this platform has no /dev/full";
    ExportTo("/dev/full");
    EXPECT_TRUE(shell.Opened().empty());
}

TEST_F(ExportPath, AFolderThatRefusesNewFilesOpensNothing) {
    if (!fs::is_directory("/proc")) GTEST_SKIP() << "this platform has no /proc";
    ExportTo("/proc/gantline_export.txt");
    EXPECT_TRUE(shell.Opened().empty());
    EXPECT_FALSE(fs::exists("/proc/gantline_export.txt"));
}

}  // namespace
