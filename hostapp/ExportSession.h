// One export as the host application runs it: open the utility, press its
// "Export..." button, answer the save request, close the utility.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "desktop/Desktop.h"
#include "host/HostInterfaces.h"
#include "memhost/MemoryHost.h"

// The core interface this host hands the plug-in: the in-memory scene and
// directories, with the rollup page it added remembered.
class PanelHost final : public Interface {
public:
    PanelHost(std::unique_ptr<MemoryNode> scene, const std::string& exportDirectory);

    HWND AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                      DWORD flags) override;
    void RemovePanelPage(HWND page) override;
    int PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    const char* DirectoryPath(int which) override;
    HostNode* SceneRoot() override;
    HostTime CurrentTime() override;

    HWND Page() const { return page_; }
    const std::string& PageTitle() const { return memory_.lastPageTitle; }

private:
    MemoryInterface memory_;
    HWND page_ = nullptr;
};

struct ShellCall {
    std::string verb;
    std::string file;
    int show = 0;
};

struct ExportRun {
    std::string pageTitle;
    std::string caption;     // the page's static text once it opened
    std::string buttonText;  // the page's button once it opened
    bool pressed = false;    // an "Export..." button was found and pressed
    bool saveAsked = false;
    desktop::SaveRequest saveRequest;
    std::vector<ShellCall> shellCalls;
    bool pageRemoved = false;
    std::string problem;  // why the button was not pressed

    // The plug-in asked the shell to open path: it wrote the file.
    bool Opened(const std::string& path) const;
};

// Runs one export of scene through the utility that descriptor creates,
// answering the save request with path. The shell requests are recorded,
// not carried out. threads, when not 0, is handed to the utility as its
// startup parameter: the most threads it writes with.
ExportRun RunExport(HostClassDesc& descriptor, std::unique_ptr<MemoryNode> scene, const std::string& path,
                    const std::string& exportDirectory, std::int32_t threads = 0);
