// A Windows host for the plug-in's panel: the host's core interface with a
// real top-level window standing in for the host's command panel. Rollup
// pages are real dialogs made from the plug-in's templates; the scene is an
// in-memory one.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/WinTypes.h"
#include "memhost/MemoryHost.h"
#include "support/Image.h"

namespace wintest {

class WinHost final : public Interface {
public:
    WinHost();
    ~WinHost();
    WinHost(const WinHost&) = delete;
    WinHost& operator=(const WinHost&) = delete;

    // Interface: pages are dialogs created from the module's template with
    // the given procedure, stacked under a title bar in the panel window.
    HWND AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                      DWORD flags) override;
    void RemovePanelPage(HWND page) override;
    int PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    const char* DirectoryPath(int which) override;
    HostNode* SceneRoot() override;
    HostTime CurrentTime() override;

    // The panel window, its title bar, and the pages added so far.
    HWND Panel() const { return panel_; }
    std::string TitleBarText() const;
    const std::vector<HWND>& Pages() const { return pages_; }

    void SetDirectory(int which, std::string path);
    MemoryNode& Root() { return root_; }

    // Every mouse message that a page handed on.
    std::vector<MemoryInterface::MouseMessage> mouseMessages;
    std::vector<std::string> pageTitles;
    int pagesRemoved = 0;

    // Dispatches the waiting messages of this thread.
    static void PumpMessages();
    // Pumps messages until done answers true or about timeoutMs passed;
    // answers done's last answer.
    template <typename Done>
    static bool PumpUntil(Done done, int timeoutMs = 10000);

    // The panel window's client area as shown on the screen.
    support::Image Capture() const;

private:
    HWND panel_ = nullptr;
    HWND titleBar_ = nullptr;
    std::vector<HWND> pages_;
    std::map<int, std::string> directories_;
    MemoryNode root_;
};

void SleepMs(int milliseconds);
long long TickMs();

template <typename Done>
bool WinHost::PumpUntil(Done done, int timeoutMs) {
    const long long end = TickMs() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (TickMs() > end) return false;
        SleepMs(10);
    }
}

}  // namespace wintest
