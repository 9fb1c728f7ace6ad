// The plug-in's platform seam on Windows: the real window-system, common
// dialog and shell calls, and the loader's notifications through DllMain.
#include <cstddef>
#include <cstring>

#include "host/WinTypes.h"
#include "os/Shell.h"
#include "plugin/Platform.h"

#include <commctrl.h>
#include <commdlg.h>

namespace platform {
namespace {

// The save dialog's twenty-field form ends with lpTemplateName.
constexpr std::size_t kTwentyFieldSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);

static_assert(sizeof(SaveFileRecord) == kTwentyFieldSize,
              "SaveFileRecord must have the size of the dialog's twenty-field request");
static_assert(offsetof(SaveFileRecord, lpstrFile) == offsetof(OPENFILENAMEA, lpstrFile), "field order");
static_assert(offsetof(SaveFileRecord, Flags) == offsetof(OPENFILENAMEA, Flags), "field order");
static_assert(offsetof(SaveFileRecord, lpTemplateName) == offsetof(OPENFILENAMEA, lpTemplateName), "field order");
static_assert(sizeof(void*) == sizeof(LPOFNHOOKPROC), "a hook fits an object pointer");

// Field by field into the platform's own record; fields past the given
// lStructSize stay zero, as the dialog does not read them.
OPENFILENAMEA ToPlatform(const SaveFileRecord& record) {
    OPENFILENAMEA request;
    std::memset(&request, 0, sizeof request);
    request.lStructSize = record.lStructSize;
    request.hwndOwner = record.hwndOwner;
    request.hInstance = record.hInstance;
    request.lpstrFilter = record.lpstrFilter;
    request.lpstrCustomFilter = record.lpstrCustomFilter;
    request.nMaxCustFilter = record.nMaxCustFilter;
    request.nFilterIndex = record.nFilterIndex;
    request.lpstrFile = record.lpstrFile;
    request.nMaxFile = record.nMaxFile;
    request.lpstrFileTitle = record.lpstrFileTitle;
    request.nMaxFileTitle = record.nMaxFileTitle;
    request.lpstrInitialDir = record.lpstrInitialDir;
    request.lpstrTitle = record.lpstrTitle;
    request.Flags = record.Flags;
    request.nFileOffset = record.nFileOffset;
    request.nFileExtension = record.nFileExtension;
    request.lpstrDefExt = record.lpstrDefExt;
    request.lCustData = record.lCustData;
    std::memcpy(&request.lpfnHook, &record.lpfnHook, sizeof record.lpfnHook);
    request.lpTemplateName = record.lpTemplateName;
    return request;
}

// What the dialog answers besides the chosen name, which it wrote into the
// caller's own buffer.
void FromPlatform(const OPENFILENAMEA& request, SaveFileRecord& record) {
    record.nFilterIndex = request.nFilterIndex;
    record.Flags = request.Flags;
    record.nFileOffset = request.nFileOffset;
    record.nFileExtension = request.nFileExtension;
}

}  // namespace

DWORD SaveFileRecordSize() { return static_cast<DWORD>(kTwentyFieldSize); }

int LoadResourceString(HINSTANCE module, UINT id, char* buffer, int size) {
    return LoadStringA(module, id, buffer, size);
}

BOOL SetControlText(HWND page, int controlId, const char* text) { return SetDlgItemTextA(page, controlId, text); }

BOOL AskSaveFileName(SaveFileRecord& record) {
    OPENFILENAMEA request = ToPlatform(record);
    const BOOL confirmed = GetSaveFileNameA(&request);
    FromPlatform(request, record);
    return confirmed;
}

void ShellOpen(const char* file) { os::OpenInShell(file); }

void InitPlatformControls() { InitCommonControls(); }

}  // namespace platform

// The loader calls this for process and thread attach and detach, after the
// runtime has constructed the static objects (and before it destroys them at
// unload). Every notification runs LibraryInit.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return LibraryInit(instance, reason, reserved) ? TRUE : FALSE;
}
