// The desktop of POSIX builds: what the window system, the common dialogs
// and the shell do for a plug-in on Windows, modelled.
// A module registers its resources (string table, dialog templates) by its
// instance handle, as Windows finds them in the module's resource section;
// pages are small models of dialog windows whose controls hold texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "desktop/DesktopExport.h"
#include "host/WinTypes.h"

namespace desktop {

struct DialogControl {
    int id = 0;
    std::string windowClass;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t style = 0;
};

struct DialogTemplate {
    std::uint32_t style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string font;
    int pointSize = 0;
    std::vector<DialogControl> controls;
};

// Resources of a module, found by its instance handle.
DESKTOP_API void RegisterModule(HINSTANCE module, std::map<unsigned, std::string> strings,
                                std::map<int, DialogTemplate> dialogs);
DESKTOP_API void UnregisterModule(HINSTANCE module);

// LoadStringA: copies at most size - 1 characters and a terminating null;
// answers the number of characters copied, 0 when there is no such string
// (the buffer is then left as it was).
DESKTOP_API int LoadResourceString(HINSTANCE module, unsigned id, char* buffer, int size);

// Creates a page from a dialog template of module and sends it
// WM_INITDIALOG with param; answers null when there is no such template.
DESKTOP_API HWND CreatePage(HINSTANCE module, int dialogId, DLGPROC proc, LPARAM param);
// Sends WM_DESTROY to the page, then forgets it.
DESKTOP_API void DestroyPage(HWND page);
// Sends a message to the page's dialog procedure; 0 for an unknown page.
DESKTOP_API INT_PTR SendPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// SetDlgItemTextA: FALSE when the page or the control does not exist.
DESKTOP_API BOOL SetItemText(HWND page, int controlId, const char* text);
// The text of a control; empty when the page or the control does not exist.
DESKTOP_API std::string ItemText(HWND page, int controlId);
DESKTOP_API int ItemTextChanges(HWND page, int controlId);
DESKTOP_API std::size_t OpenPages();
// The dialog template of an open page (empty for an unknown page).
DESKTOP_API DialogTemplate PageTemplate(HWND page);

// A request for a file name to save to, as the common save dialog gets it.
struct SaveRequest {
    HWND owner = nullptr;
    std::string title;
    std::vector<std::string> filters;  // description, pattern, description, pattern, ...
    bool hasInitialDir = false;
    std::string initialDir;
    std::uint32_t flags = 0;
    std::size_t maxPath = 0;  // characters the answer may hold, its null included
    bool hasDefaultExtension = false;
};
// Answers the chosen path, or false when the user cancels.
using SaveHandler = std::function<bool(const SaveRequest& request, std::string& path)>;
// Installs the handler that answers save requests; answers the previous one.
// Without a handler every request is cancelled.
DESKTOP_API SaveHandler SetSaveHandler(SaveHandler handler);
// Asks the handler; copies an answer that fits into file (with its null)
// and answers 1; answers 0 on cancel or when the answer does not fit.
DESKTOP_API int RequestSaveFile(const SaveRequest& request, char* file, std::size_t fileSize);

// A request to the shell: a verb and a file.
using ShellHandler = std::function<void(const std::string& verb, const std::string& file, int show)>;
DESKTOP_API ShellHandler SetShellHandler(ShellHandler handler);
// Without a handler, "open" goes to the platform's shell (os/Shell.h); any
// other verb is reported on stderr.
DESKTOP_API void ShellRequest(const std::string& verb, const std::string& file, int show);

// InitCommonControls.
DESKTOP_API void InitCommonControls();
DESKTOP_API int CommonControlsInitialisations();

}  // namespace desktop
