#include "hostapp/ExportSession.h"

#include <utility>

#include "gantline/Version.h"
#include "host/HostApi.h"
#include "host/UtilityParams.h"

namespace {

// The host's export directory index.
constexpr int kExportDirectory = 3;
constexpr unsigned kButtonClicked = 0;
// What the utility's page shows once it is open.
constexpr const char* kCaption = "Gantline V" GANTLINE_DISPLAY_VERSION;
constexpr const char* kExportButton = "Export...";

class UtilityPanel final : public HostUtilityPanel {
public:
    void CloseUtility() override {}
};

// Installs this run's save and shell handlers and core interface, and puts
// the previous ones back when the run ends.
class RunScope {
public:
    RunScope(Interface& ip, ExportRun& run, const std::string& path)
        : previousInterface_(SetCOREInterface(&ip)),
          previousSave_(desktop::SetSaveHandler([&run, path](const desktop::SaveRequest& request, std::string& answer) {
              run.saveAsked = true;
              run.saveRequest = request;
              answer = path;
              return true;
          })),
          previousShell_(desktop::SetShellHandler([&run](const std::string& verb, const std::string& file, int show) {
              run.shellCalls.push_back({verb, file, show});
          })) {}
    ~RunScope() {
        desktop::SetShellHandler(std::move(previousShell_));
        desktop::SetSaveHandler(std::move(previousSave_));
        SetCOREInterface(previousInterface_);
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    Interface* previousInterface_;
    desktop::SaveHandler previousSave_;
    desktop::ShellHandler previousShell_;
};

const desktop::DialogControl* FindControl(const desktop::DialogTemplate& page, const std::string& windowClass) {
    for (const desktop::DialogControl& control : page.controls)
        if (control.windowClass == windowClass) return &control;
    return nullptr;
}

// Reads the page as the user sees it and, when it shows what it should,
// presses its "Export..." button.
void PressExport(HWND page, ExportRun& run) {
    const desktop::DialogTemplate layout = desktop::PageTemplate(page);
    const desktop::DialogControl* caption = FindControl(layout, "STATIC");
    const desktop::DialogControl* button = FindControl(layout, "BUTTON");
    if (caption) run.caption = desktop::ItemText(page, caption->id);
    if (button) run.buttonText = desktop::ItemText(page, button->id);
    if (!button || run.buttonText != kExportButton) {
        run.problem = "the utility's page shows no \"" + std::string(kExportButton) + "\" button";
        return;
    }
    if (run.caption != kCaption) {
        run.problem = "the utility's page reads \"" + run.caption + "\" instead of \"" + kCaption + "\"";
        return;
    }
    run.pressed = true;
    desktop::SendPageMessage(page, WM_COMMAND, MAKEWPARAM(button->id, kButtonClicked), static_cast<LPARAM>(button->id));
}

}  // namespace

PanelHost::PanelHost(std::unique_ptr<MemoryNode> scene, const std::string& exportDirectory) {
    memory_.pages = {desktop::CreatePage, desktop::DestroyPage};
    memory_.SetRoot(std::move(scene));
    memory_.SetDirectory(kExportDirectory, exportDirectory);
}

HWND PanelHost::AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                             DWORD flags) {
    page_ = memory_.AddPanelPage(instance, dialogId, proc, title, param, flags);
    return page_;
}

void PanelHost::RemovePanelPage(HWND page) {
    memory_.RemovePanelPage(page);
    if (page == page_) page_ = nullptr;
}

int PanelHost::PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return memory_.PanelMouseMessage(page, message, wParam, lParam);
}

const char* PanelHost::DirectoryPath(int which) { return memory_.DirectoryPath(which); }
HostNode* PanelHost::SceneRoot() { return memory_.SceneRoot(); }
HostTime PanelHost::CurrentTime() { return memory_.CurrentTime(); }

bool ExportRun::Opened(const std::string& path) const {
    for (const ShellCall& call : shellCalls)
        if (call.verb == "open" && call.file == path) return true;
    return false;
}

ExportRun RunExport(HostClassDesc& descriptor, std::unique_ptr<MemoryNode> scene, const std::string& path,
                    const std::string& exportDirectory, std::int32_t threads) {
    ExportRun run;
    PanelHost host(std::move(scene), exportDirectory);
    UtilityPanel panel;
    RunScope scope(host, run, path);
    auto* utility = static_cast<HostUtility*>(descriptor.NewInstance(0));
    if (!utility) {
        run.problem = "the descriptor answers no utility object";
        return run;
    }
    if (threads > 0) utility->SetStartupParam(CStr(utilityparams::ThreadsParam(threads).c_str()));
    utility->OpenPanel(&host, &panel);
    run.pageTitle = host.PageTitle();
    const HWND page = host.Page();
    if (page)
        PressExport(page, run);
    else
        run.problem = "the utility added no page to the panel";
    utility->ClosePanel(&host, &panel);
    run.pageRemoved = page && !host.Page() && desktop::PageTemplate(page).controls.empty();
    return run;
}
