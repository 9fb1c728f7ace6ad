// The plug-in's platform seam: the few window-system, common-dialog and
// shell calls that the plug-in makes, and the loader notifications that run
// LibraryInit. Windows builds implement it with the real calls
// (PlatformWin32.cpp; the shell through the operating-system seam); POSIX
// builds with the desktop model (PlatformPosix.cpp). Nothing else in the
// plug-in differs by platform.
#pragma once

#include <cstdint>

#include "host/WinTypes.h"

// The calling convention of window procedures (Windows defines it).
#ifndef CALLBACK
#  define CALLBACK
#endif

// Marks the four exported functions. Windows builds export them by name and
// ordinal through the module-definition file; POSIX builds compile with
// hidden visibility and a linker version script that keeps only these.
#if defined(_WIN32)
#  define PLUGIN_EXPORT
#else
#  define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

namespace platform {

// The file-name request of the common save dialog in its twenty-field form,
// lStructSize to lpTemplateName, field for field. Its size is the size the
// dialog expects of that form on the target: 76 bytes in 32-bit builds,
// 136 (OPENFILENAME_SIZE_VERSION_400) in 64-bit builds.
struct SaveFileRecord {
    DWORD lStructSize = 0;
    HWND hwndOwner = nullptr;
    HINSTANCE hInstance = nullptr;
    const char* lpstrFilter = nullptr;
    char* lpstrCustomFilter = nullptr;
    DWORD nMaxCustFilter = 0;
    DWORD nFilterIndex = 0;
    char* lpstrFile = nullptr;
    DWORD nMaxFile = 0;
    char* lpstrFileTitle = nullptr;
    DWORD nMaxFileTitle = 0;
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    DWORD Flags = 0;
    std::uint16_t nFileOffset = 0;
    std::uint16_t nFileExtension = 0;
    const char* lpstrDefExt = nullptr;
    LPARAM lCustData = 0;
    void* lpfnHook = nullptr;
    const char* lpTemplateName = nullptr;
};

// The lStructSize that the save dialog accepts for the twenty-field form.
DWORD SaveFileRecordSize();

// LoadStringA: copies at most size - 1 characters of string id and a null
// into buffer; answers the characters copied, 0 when there is no such string.
int LoadResourceString(HINSTANCE module, UINT id, char* buffer, int size);

// SetDlgItemTextA on control controlId of page.
BOOL SetControlText(HWND page, int controlId, const char* text);

// GetSaveFileNameA: non-zero when the user confirmed a name, which is then
// in record.lpstrFile; 0 on cancel or when the dialog fails.
BOOL AskSaveFileName(SaveFileRecord& record);

// ShellExecuteA with no owner window, the verb "open", file, no parameters,
// no directory and SW_SHOW; the outcome is not reported.
void ShellOpen(const char* file);

// InitCommonControls.
void InitPlatformControls();

}  // namespace platform

// The library-initialisation routine, defined by the plug-in frame. The seam
// runs it for every loader notification: on Windows from DllMain, on POSIX
// from the shared object's load (DLL_PROCESS_ATTACH) and unload
// (DLL_PROCESS_DETACH), with the library's own instance handle.
int LibraryInit(HINSTANCE instance, DWORD reason, LPVOID reserved);
