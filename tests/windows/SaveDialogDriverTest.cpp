// The save dialog driver against requests made here, so that what the
// export tests read from it is known to tell the cases apart: a Help button
// only when asked for, and an overwrite prompt seen when the dialog raises
// one.
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "host/WinTypes.h"
#include "wintest/SaveDialogDriver.h"

#include <commdlg.h>

namespace {

using testfiles::TempDir;
using wintest::SaveDialogDriver;

constexpr char kTitle[] = "Driver Check";

struct Request {
    DWORD flags;
    bool fileExists;
    bool helpVisible;
    int otherDialogs;
    BOOL answer;
};

class Driver : public ::testing::TestWithParam<Request> {};

TEST_P(Driver, SeesWhatTheDialogShows) {
    const Request& request = GetParam();
    TempDir folder;
    if (request.fileExists) testfiles::WriteBytes(folder.File("name.txt"), "x");
    const std::string start = folder.Path().string();
    char file[MAX_PATH] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = "Text (*.txt)\0*.txt\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = start.c_str();
    dialog.lpstrTitle = kTitle;
    dialog.Flags = OFN_EXPLORER | request.flags;

    SaveDialogDriver driver(kTitle, "name.txt");
    const BOOL answer = GetSaveFileNameA(&dialog);
    ASSERT_TRUE(driver.View().found);
    EXPECT_EQ(driver.View().helpButtonVisible, request.helpVisible);
    EXPECT_EQ(driver.View().otherDialogs > 0, request.otherDialogs > 0);
    EXPECT_EQ(answer != 0, request.answer != 0);
}

INSTANTIATE_TEST_SUITE_P(Requests, Driver,
                         ::testing::Values(Request{0, false, false, 0, TRUE},
                                           Request{OFN_SHOWHELP, false, true, 0, TRUE},
                                           Request{0, true, false, 0, TRUE},
                                           Request{OFN_OVERWRITEPROMPT, true, false, 1, FALSE}));

}  // namespace
