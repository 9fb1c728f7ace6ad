#include "desktop/Desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "os/Shell.h"

namespace desktop {
namespace {

struct Module {
    std::map<unsigned, std::string> strings;
    std::map<int, DialogTemplate> dialogs;
};

struct Page {
    DLGPROC proc = nullptr;
    DialogTemplate layout;
    std::map<int, int> textChanges;
};

struct State {
    std::map<HINSTANCE, Module> modules;
    std::map<HWND, std::unique_ptr<Page>> pages;
    SaveHandler save;
    ShellHandler shell;
    int commonControls = 0;
};

State& Desk() {
    static State state;
    return state;
}

Page* FindPage(HWND page) {
    auto found = Desk().pages.find(page);
    return found == Desk().pages.end() ? nullptr : found->second.get();
}

DialogControl* FindControl(Page& page, int controlId) {
    for (DialogControl& control : page.layout.controls)
        if (control.id == controlId) return &control;
    return nullptr;
}

}  // namespace

void RegisterModule(HINSTANCE module, std::map<unsigned, std::string> strings, std::map<int, DialogTemplate> dialogs) {
    Desk().modules[module] = Module{std::move(strings), std::move(dialogs)};
}

void UnregisterModule(HINSTANCE module) { Desk().modules.erase(module); }

int LoadResourceString(HINSTANCE module, unsigned id, char* buffer, int size) {
    auto found = Desk().modules.find(module);
    if (found == Desk().modules.end() || !buffer || size <= 0) return 0;
    auto text = found->second.strings.find(id);
    if (text == found->second.strings.end()) return 0;
    const std::size_t n = std::min(text->second.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text->second.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

HWND CreatePage(HINSTANCE module, int dialogId, DLGPROC proc, LPARAM param) {
    auto found = Desk().modules.find(module);
    if (found == Desk().modules.end()) return nullptr;
    auto layout = found->second.dialogs.find(dialogId);
    if (layout == found->second.dialogs.end()) return nullptr;
    auto page = std::make_unique<Page>();
    page->proc = proc;
    page->layout = layout->second;
    HWND handle = reinterpret_cast<HWND>(page.get());
    Desk().pages[handle] = std::move(page);
    if (proc) proc(handle, WM_INITDIALOG, 0, param);
    return handle;
}

void DestroyPage(HWND handle) {
    Page* page = FindPage(handle);
    if (!page) return;
    if (page->proc) page->proc(handle, WM_DESTROY, 0, 0);
    Desk().pages.erase(handle);
}

INT_PTR SendPageMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Page* page = FindPage(handle);
    if (!page || !page->proc) return 0;
    return page->proc(handle, message, wParam, lParam);
}

BOOL SetItemText(HWND handle, int controlId, const char* text) {
    Page* page = FindPage(handle);
    if (!page) return FALSE;
    DialogControl* control = FindControl(*page, controlId);
    if (!control) return FALSE;
    control->text = text ? text : "";
    ++page->textChanges[controlId];
    return TRUE;
}

std::string ItemText(HWND handle, int controlId) {
    Page* page = FindPage(handle);
    if (!page) return std::string();
    DialogControl* control = FindControl(*page, controlId);
    return control ? control->text : std::string();
}

int ItemTextChanges(HWND handle, int controlId) {
    Page* page = FindPage(handle);
    if (!page) return 0;
    auto found = page->textChanges.find(controlId);
    return found == page->textChanges.end() ? 0 : found->second;
}

std::size_t OpenPages() { return Desk().pages.size(); }

DialogTemplate PageTemplate(HWND handle) {
    Page* page = FindPage(handle);
    return page ? page->layout : DialogTemplate{};
}

SaveHandler SetSaveHandler(SaveHandler handler) { return std::exchange(Desk().save, std::move(handler)); }

int RequestSaveFile(const SaveRequest& request, char* file, std::size_t fileSize) {
    if (!Desk().save || !file || fileSize == 0) return 0;
    std::string path;
    if (!Desk().save(request, path)) return 0;
    // The common dialog refuses a name that does not fit the caller's buffer.
    if (path.empty() || path.size() + 1 > fileSize || path.size() + 1 > request.maxPath) return 0;
    std::memcpy(file, path.c_str(), path.size() + 1);
    return 1;
}

ShellHandler SetShellHandler(ShellHandler handler) { return std::exchange(Desk().shell, std::move(handler)); }

void ShellRequest(const std::string& verb, const std::string& file, int show) {
    if (Desk().shell) {
        Desk().shell(verb, file, show);
        return;
    }
    if (verb == "open") {
        os::OpenInShell(file.c_str());
        return;
    }
    std::fprintf(stderr, "no desktop to %s %s with\n", verb.c_str(), file.c_str());
}

void InitCommonControls() { ++Desk().commonControls; }
int CommonControlsInitialisations() { return Desk().commonControls; }

}  // namespace desktop
