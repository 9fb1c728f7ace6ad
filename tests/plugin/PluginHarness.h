// What the plug-in tests share: the built Ferrule.dlu loaded through its
// exports, a core interface that records what the plug-in asks of it, the
// desktop's save and shell handlers, small scenes and a scratch folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "desktop/Desktop.h"
#include "host/HostInterfaces.h"
#include "memhost/MemoryHost.h"

// Ferrule.dlu, loaded with dlopen for the lifetime of the object and seen
// only through its four exports.
class LoadedPlugin {
public:
    LoadedPlugin();
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    // The library's base address: its instance handle.
    HINSTANCE Instance() const;

    const char* (*LibDescription)() = nullptr;
    int (*LibNumberClasses)() = nullptr;
    HostClassDesc* (*LibClassDesc)(int) = nullptr;
    std::uint32_t (*LibVersion)() = nullptr;

    HostClassDesc& Descriptor() const { return *LibClassDesc(0); }
    HostUtility& Utility() const { return *static_cast<HostUtility*>(Descriptor().NewInstance(0)); }

private:
    void* handle_ = nullptr;
};

// Whether a library of that path is loaded in the process.
bool PluginResident();

// A core interface over the in-memory host that records every page call.
class RecordingInterface final : public Interface {
public:
    RecordingInterface() { memory.pages = {desktop::CreatePage, desktop::DestroyPage}; }
    struct AddCall {
        HINSTANCE instance = nullptr;
        int dialogId = 0;
        DLGPROC proc = nullptr;
        std::string title;
        bool hasTitle = false;
        LPARAM param = -1;
        DWORD flags = 0xFFFFFFFFu;
        HWND page = nullptr;
        std::string captionDuringAdd;  // control 1002 before AddPanelPage answered
    };

    HWND AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                      DWORD flags) override;
    void RemovePanelPage(HWND page) override;
    int PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    const char* DirectoryPath(int which) override;
    HostNode* SceneRoot() override;
    HostTime CurrentTime() override;

    MemoryInterface memory;
    std::vector<AddCall> added;
    std::vector<HWND> removed;
    std::vector<int> directoryQueries;

    HWND Page() const { return added.empty() ? nullptr : added.back().page; }
    DLGPROC Proc() const { return added.empty() ? nullptr : added.back().proc; }
};

class RecordingPanel final : public HostUtilityPanel {
public:
    void CloseUtility() override { ++closes; }
    int closes = 0;
};

struct ShellCall {
    std::string verb;
    std::string file;
    int show = 0;
};

// Answers save requests with a path (or cancels) and records save and shell
// requests; puts the previous handlers and core interface back at the end.
class DesktopScope {
public:
    explicit DesktopScope(Interface* core);
    ~DesktopScope();
    DesktopScope(const DesktopScope&) = delete;
    DesktopScope& operator=(const DesktopScope&) = delete;

    void AnswerWith(std::string path);
    void Cancel();

    std::vector<desktop::SaveRequest> saveRequests;
    std::vector<ShellCall> shellCalls;

private:
    bool cancel_ = true;
    std::string answer_;
    Interface* previousCore_;
    desktop::SaveHandler previousSave_;
    desktop::ShellHandler previousShell_;
};

// One quadrilateral patch over four corners.
MemoryPatchMesh QuadMesh(float size);
// A root with a patch object, an object that converts to a new patch
// object, a look-at camera with its target, and an inert object.
std::unique_ptr<MemoryNode> SampleScene();

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
