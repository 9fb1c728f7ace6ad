#include "wintest/SaveDialogDriver.h"

#include <commdlg.h>
#include <dlgs.h>

#include <utility>

namespace wintest {
namespace {

constexpr UINT kTickMs = 50;
// After this many ticks every dialog of the thread is cancelled, so that a
// dialog that never shows up or never closes fails the test, not hangs it.
constexpr int kGiveUpTicks = 600;

SaveDialogDriver* active = nullptr;

std::string WindowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsDialogWindow(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == "#32770";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && IsDialogWindow(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// Visible dialogs of this thread.
std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

// Closes a message box whatever its buttons.
void Dismiss(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, IDNO, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::vector<std::string> ComboTexts(HWND combo) {
    std::vector<std::string> texts;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[512] = "";
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

std::string FolderOf(HWND dialog) {
    char folder[MAX_PATH] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return folder;
}

// The file-name field: an edit control, or the combo box that newer
// dialogs show in its place.
HWND FileNameField(HWND dialog) {
    if (HWND edit = GetDlgItem(dialog, edt1)) return edit;
    return GetDlgItem(dialog, cmb13);
}

}  // namespace

SaveDialogDriver::SaveDialogDriver(std::string title, std::string fileName)
    : title_(std::move(title)), fileName_(std::move(fileName)) {
    active = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
}

SaveDialogDriver::~SaveDialogDriver() {
    KillTimer(nullptr, timer_);
    active = nullptr;
}

void CALLBACK SaveDialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (active) active->Step();
}

void SaveDialogDriver::Step() {
    if (++ticks_ > kGiveUpTicks) return GiveUp();
    // The save dialog is the one with the file-type list; a prompt that it
    // raises carries the same title.
    HWND saveDialog = nullptr;
    for (HWND dialog : ThreadDialogs()) {
        if (WindowText(dialog) == title_ && GetDlgItem(dialog, cmb1)) {
            saveDialog = dialog;
        } else if (answered_) {
            ++view_.otherDialogs;
            Dismiss(dialog);
        }
    }
    if (!saveDialog) return;
    if (!answered_) return Answer(saveDialog);
    // A dialog that stays after a prompt is given up on.
    if (view_.otherDialogs > 0) PostMessageA(saveDialog, WM_COMMAND, IDCANCEL, 0);
}

void SaveDialogDriver::Answer(HWND dialog) {
    view_.found = true;
    view_.filters = ComboTexts(GetDlgItem(dialog, cmb1));
    view_.selectedFilter = static_cast<int>(SendMessageA(GetDlgItem(dialog, cmb1), CB_GETCURSEL, 0, 0));
    view_.folder = FolderOf(dialog);
    HWND help = GetDlgItem(dialog, pshHelp);
    view_.helpButtonVisible = help && IsWindowVisible(help);
    answered_ = true;
    if (fileName_.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SetWindowTextA(FileNameField(dialog), fileName_.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void SaveDialogDriver::GiveUp() {
    KillTimer(nullptr, timer_);
    for (HWND dialog : ThreadDialogs()) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace wintest
