// Drives the common save dialog that a call on this thread opens, the way a
// user would: a thread timer, whose messages the dialog's own modal loop
// dispatches, finds the dialog by its title, notes what it shows, then
// types a file name and confirms, or cancels.
#pragma once

#include <string>
#include <vector>

#include "host/WinTypes.h"

namespace wintest {

// What the dialog showed when it was found.
struct SaveDialogView {
    bool found = false;
    std::vector<std::string> filters;  // the file-type list, in order
    int selectedFilter = -1;
    std::string folder;  // the folder it started in
    bool helpButtonVisible = false;
    int otherDialogs = 0;  // e.g. an overwrite prompt, dismissed
};

class SaveDialogDriver {
public:
    // Answer the dialog titled title with fileName; an empty fileName
    // cancels it.
    SaveDialogDriver(std::string title, std::string fileName);
    ~SaveDialogDriver();
    SaveDialogDriver(const SaveDialogDriver&) = delete;
    SaveDialogDriver& operator=(const SaveDialogDriver&) = delete;

    const SaveDialogView& View() const { return view_; }
    // True once the dialog was answered.
    bool Answered() const { return answered_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Step();
    void Answer(HWND dialog);
    void GiveUp();

    std::string title_;
    std::string fileName_;
    SaveDialogView view_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool answered_ = false;
};

}  // namespace wintest
