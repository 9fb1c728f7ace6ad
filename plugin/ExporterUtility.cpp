#include "plugin/ExporterUtility.h"

#include <cstdio>

#include "host/HostApi.h"
#include "host/UtilityParams.h"
#include "patchio/PatchIO.h"
#include "plugin/Plugin.h"
#include "plugin/Resources.h"

namespace {

constexpr DWORD kOfnShowHelp = 0x10u;
constexpr DWORD kOfnExplorer = 0x80000u;
// The host's directory index for exports; the save dialog starts there.
constexpr int kExportDirectory = 3;
constexpr int kCaptionSize = 80;
// The product version that the caption shows, with two decimals.
constexpr double kCaptionVersion = GANTLINE_CAPTION_VERSION;
constexpr DWORD kFileNameSize = 260;

bool IsPanelMouseMessage(UINT message) {
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP;
}

void AppendTextFilters(FilterList& filters) {
    filters.Append("Text Files (*.txt)");
    filters.Append("*.txt");
    filters.Append("All files (*.*)");
    filters.Append("*.*");
}

}  // namespace

void ExporterUtility::OpenPanel(Interface* ip, HostUtilityPanel* panel) {
    // Recorded first: the page sends messages while it is being created.
    panel_ = panel;
    ip_ = ip;
    page_ = ip->AddPanelPage(ModuleInstance(), IDD_PANEL, PanelDialogProc, LoadResourceText(IDS_PARAMS), 0, 0);
}

void ExporterUtility::ClosePanel(Interface* ip, HostUtilityPanel*) {
    panel_ = nullptr;
    ip_ = nullptr;
    ip->RemovePanelPage(page_);
    page_ = nullptr;
}

// The object is static and never freed.
void ExporterUtility::Dispose() {}

// The library's writer is the plug-in's own, so the setting holds for every
// export until the host sets another.
void ExporterUtility::SetStartupParam(CStr param) {
    const std::int32_t threads = utilityparams::ThreadsOf(param.data());
    if (threads > 0) PatchIO::SetDefaultThreads(threads);
}

void ExporterUtility::ShowCaption(HWND page) {
    char caption[kCaptionSize];
    std::snprintf(caption, sizeof caption, "Gantline V%.2f", kCaptionVersion);
    platform::SetControlText(page, IDC_CAPTION, caption);
}

void ExporterUtility::PanelDestroyed(HWND) {}

void ExporterUtility::ExportCommand() {
    PatchIO exportSet;
    FilterList filters;
    char file[kFileNameSize] = "";
    AppendTextFilters(filters);

    platform::SaveFileRecord request;
    request.lStructSize = platform::SaveFileRecordSize();
    request.hwndOwner = page_;
    request.hInstance = ModuleInstance();
    request.lpstrFilter = filters.Buffer();
    request.lpstrFile = file;
    request.nMaxFile = kFileNameSize;
    request.lpstrInitialDir = ip_ ? ip_->DirectoryPath(kExportDirectory) : nullptr;
    request.lpstrTitle = "Save A File";
    request.Flags = kOfnExplorer | kOfnShowHelp;
    if (!platform::AskSaveFileName(request)) return;

    exportSet.CollectScene();
    if (exportSet.Write(file)) platform::ShellOpen(file);
}

INT_PTR CALLBACK PanelDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    ExporterUtility& utility = TheExporterUtility();
    switch (message) {
        case WM_INITDIALOG:
            utility.ShowCaption(page);
            return TRUE;
        case WM_DESTROY:
            utility.PanelDestroyed(page);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_EXPORT) utility.ExportCommand();
            return TRUE;
        default:
            break;
    }
    if (!IsPanelMouseMessage(message)) return FALSE;
    // While the page is being removed no core interface is recorded; the
    // message then has no host to go to.
    if (Interface* ip = utility.CoreInterface()) ip->PanelMouseMessage(page, message, wParam, lParam);
    return TRUE;
}
