// The plug-in's platform seam on POSIX: the desktop model stands in for the
// window system, the common dialog and the shell, and the shared object's
// load and unload stand in for the loader notifications.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "desktop/Desktop.h"
#include "plugin/Platform.h"
#include "plugin/Resources.h"

static_assert(sizeof(void*) != 8 || sizeof(platform::SaveFileRecord) == 136,
              "64-bit targets use the 136-byte form of the save request");
static_assert(sizeof(void*) != 4 || sizeof(platform::SaveFileRecord) == 76,
              "32-bit targets use the 76-byte form of the save request");

namespace {

// Any object of this library: its address tells the loader which module
// this is.
const char moduleAnchor = 0;

HINSTANCE OwnModule() {
    Dl_info info{};
    if (dladdr(&moduleAnchor, &info) == 0) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

std::map<unsigned, std::string> StringTable() {
    return {
        {IDS_LIBDESCRIPTION, IDS_LIBDESCRIPTION_TEXT},
        {IDS_CATEGORY, IDS_CATEGORY_TEXT},
        {IDS_CLASS_NAME, IDS_CLASS_NAME_TEXT},
        {IDS_PARAMS, IDS_PARAMS_TEXT},
    };
}

desktop::DialogControl Control(int id, const char* windowClass, const char* text, int x, int y, int width, int height,
                               long style) {
    return {id, windowClass, text, x, y, width, height, static_cast<std::uint32_t>(style)};
}

desktop::DialogTemplate PanelTemplate() {
    desktop::DialogTemplate panel;
    panel.style = static_cast<std::uint32_t>(PANEL_STYLE);
    panel.x = PANEL_X;
    panel.y = PANEL_Y;
    panel.width = PANEL_WIDTH;
    panel.height = PANEL_HEIGHT;
    panel.font = PANEL_FONT_NAME;
    panel.pointSize = PANEL_FONT_SIZE;
    panel.controls = {
        Control(IDC_CAPTION, CAPTION_CLASS, CAPTION_TEXT, CAPTION_X, CAPTION_Y, CAPTION_WIDTH, CAPTION_HEIGHT,
                CAPTION_STYLE),
        Control(IDC_EXPORT, EXPORT_CLASS, EXPORT_TEXT, EXPORT_X, EXPORT_Y, EXPORT_WIDTH, EXPORT_HEIGHT, EXPORT_STYLE),
    };
    return panel;
}

// The texts of a filter list: each ended by a null, the list by one more.
std::vector<std::string> FilterTexts(const char* list) {
    std::vector<std::string> texts;
    if (!list) return texts;
    while (*list) {
        texts.emplace_back(list);
        list += std::strlen(list) + 1;
    }
    return texts;
}

desktop::SaveRequest Describe(const platform::SaveFileRecord& record) {
    desktop::SaveRequest request;
    request.owner = record.hwndOwner;
    request.title = record.lpstrTitle ? record.lpstrTitle : "";
    request.filters = FilterTexts(record.lpstrFilter);
    request.hasInitialDir = record.lpstrInitialDir != nullptr;
    request.initialDir = record.lpstrInitialDir ? record.lpstrInitialDir : "";
    request.flags = record.Flags;
    request.maxPath = record.nMaxFile;
    request.hasDefaultExtension = record.lpstrDefExt != nullptr;
    return request;
}

void ModuleUnloading() {
    HINSTANCE module = OwnModule();
    LibraryInit(module, DLL_PROCESS_DETACH, nullptr);
    desktop::UnregisterModule(module);
}

// The unload notification goes on the module's own exit list, which the
// runtime runs when the library is unloaded and, for a library still loaded
// at process exit, before the host layer (loaded earlier) tears down its
// desktop.
__attribute__((constructor)) void ModuleLoaded() {
    HINSTANCE module = OwnModule();
    desktop::RegisterModule(module, StringTable(), {{IDD_PANEL, PanelTemplate()}});
    LibraryInit(module, DLL_PROCESS_ATTACH, nullptr);
    std::atexit(ModuleUnloading);
}

}  // namespace

namespace platform {

DWORD SaveFileRecordSize() { return static_cast<DWORD>(sizeof(SaveFileRecord)); }

int LoadResourceString(HINSTANCE module, UINT id, char* buffer, int size) {
    return desktop::LoadResourceString(module, id, buffer, size);
}

BOOL SetControlText(HWND page, int controlId, const char* text) { return desktop::SetItemText(page, controlId, text); }

BOOL AskSaveFileName(SaveFileRecord& record) {
    // The common dialog refuses a record of any other size.
    if (record.lStructSize != SaveFileRecordSize() || !record.lpstrFile) return FALSE;
    return desktop::RequestSaveFile(Describe(record), record.lpstrFile, record.nMaxFile);
}

void ShellOpen(const char* file) { desktop::ShellRequest("open", file ? file : "", SW_SHOW); }

void InitPlatformControls() { desktop::InitCommonControls(); }

}  // namespace platform
