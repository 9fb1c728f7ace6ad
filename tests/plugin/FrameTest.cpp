// The plug-in frame linked into the test program: the loader notifications
// that only Windows sends (thread attach and detach), the state before any
// module handle is known, and the POSIX seam.
#include <gtest/gtest.h>
#include <dlfcn.h>

#include <cstddef>
#include <string>

#include "desktop/Desktop.h"
#include "host/HostApi.h"
#include "plugin/ExporterUtility.h"
#include "plugin/Platform.h"
#include "plugin/Plugin.h"
#include "plugin/Resources.h"

namespace {

constexpr std::uint32_t kVersionStamp = 0x09C40500u;

// Records save requests and cancels them, for the length of a test.
class SaveRecorder {
public:
    explicit SaveRecorder(std::string answer = std::string())
        : previous_(desktop::SetSaveHandler([this, answer](const desktop::SaveRequest& request, std::string& path) {
              requests.push_back(request);
              path = answer;
              return !answer.empty();
          })) {}
    ~SaveRecorder() { desktop::SetSaveHandler(std::move(previous_)); }
    SaveRecorder(const SaveRecorder&) = delete;
    SaveRecorder& operator=(const SaveRecorder&) = delete;
    std::vector<desktop::SaveRequest> requests;

private:
    desktop::SaveHandler previous_;
};

// Puts the module handle back after a test changed it.
class ModuleHandleScope {
public:
    ModuleHandleScope() : saved_(ModuleInstance()) {}
    ~ModuleHandleScope() { LibraryInit(saved_, DLL_PROCESS_ATTACH, nullptr); }
    ModuleHandleScope(const ModuleHandleScope&) = delete;
    ModuleHandleScope& operator=(const ModuleHandleScope&) = delete;

private:
    HINSTANCE saved_;
};

HINSTANCE ProgramBase() {
    Dl_info info{};
    static const int anchor = 0;
    dladdr(&anchor, &info);
    return static_cast<HINSTANCE>(info.dli_fbase);
}

TEST(PluginFrame, LoadRecordedTheProgramsOwnHandle) {
    ASSERT_NE(ModuleInstance(), nullptr);
    EXPECT_EQ(ModuleInstance(), ProgramBase());
    EXPECT_EQ(CustomControlsInitialisations(), 1);
    EXPECT_EQ(desktop::CommonControlsInitialisations(), 1);
}

TEST(PluginFrame, LaterNotificationsOnlyRecordTheHandle) {
    ModuleHandleScope restore;
    const HINSTANCE module = ModuleInstance();
    for (DWORD reason :
         {DWORD{DLL_THREAD_ATTACH}, DWORD{DLL_THREAD_DETACH}, DWORD{DLL_PROCESS_ATTACH}, DWORD{DLL_PROCESS_DETACH}}) {
        EXPECT_EQ(LibraryInit(module, reason, nullptr), 1) << reason;
        EXPECT_EQ(ModuleInstance(), module);
        EXPECT_EQ(CustomControlsInitialisations(), 1) << reason;
        EXPECT_EQ(desktop::CommonControlsInitialisations(), 1) << reason;
    }
    int reserved = 0;
    EXPECT_EQ(LibraryInit(module, 99, &reserved), 1) << "no notification is refused";
}

TEST(PluginFrame, WithoutAModuleHandleTextsAreNullAndTheBufferIsKept) {
    ModuleHandleScope restore;
    const char* earlier = LibDescription();
    ASSERT_STREQ(earlier, "Gantline");
    LibraryInit(nullptr, DLL_THREAD_ATTACH, nullptr);
    EXPECT_EQ(LibDescription(), nullptr);
    EXPECT_EQ(LibClassDesc(0)->ClassLabel(), nullptr);
    EXPECT_EQ(LibClassDesc(0)->CategoryLabel(), nullptr);
    EXPECT_EQ(LoadResourceText(IDS_PARAMS), nullptr);
    EXPECT_STREQ(earlier, "Gantline") << "a failed load leaves the buffer alone";
    EXPECT_EQ(LibNumberClasses(), 1);
    EXPECT_EQ(LibVersion(), kVersionStamp);
    EXPECT_NE(LibClassDesc(0), nullptr);
    EXPECT_EQ(LibClassDesc(0)->SuperClassCode(), 0x1020u);
    EXPECT_EQ(CustomControlsInitialisations(), 1);
}

TEST(PluginFrame, UnknownStringIdsAnswerNullAndLeaveTheBuffer) {
    const char* earlier = LoadResourceText(IDS_CLASS_NAME);
    ASSERT_STREQ(earlier, "Ferrule");
    for (UINT id : {0u, 5u, 101u, 1001u, 0xFFFFu}) EXPECT_EQ(LoadResourceText(id), nullptr) << id;
    EXPECT_STREQ(earlier, "Ferrule");
    EXPECT_EQ(LoadResourceText(IDS_PARAMS), earlier);
    EXPECT_STREQ(earlier, "Parameters");
}

TEST(PluginFrame, ExportWhileClosedAsksWithoutAStartFolder) {
    SaveRecorder recorder;
    TheExporterUtility().ExportCommand();
    ASSERT_EQ(recorder.requests.size(), 1u);
    EXPECT_FALSE(recorder.requests[0].hasInitialDir);
    EXPECT_EQ(recorder.requests[0].owner, nullptr);
}

TEST(PluginSeam, SaveRecordIsTheTwentyFieldFormOfTheTarget) {
    const std::size_t expected = sizeof(void*) == 8 ? 136u : 76u;
    EXPECT_EQ(platform::SaveFileRecordSize(), expected);
    EXPECT_EQ(offsetof(platform::SaveFileRecord, lpTemplateName) + sizeof(const char*), expected);
}

platform::SaveFileRecord Record(char* file, DWORD size) {
    static const char filters[] = "Text\0*.txt\0All\0*.*\0Third\0*.3\0";
    platform::SaveFileRecord record;
    record.lStructSize = platform::SaveFileRecordSize();
    record.lpstrFilter = filters;
    record.lpstrFile = file;
    record.nMaxFile = size;
    record.lpstrTitle = "Title";
    record.Flags = 0x80010u;
    return record;
}

TEST(PluginSeam, RefusesARecordOfAnyOtherSizeAsTheDialogDoes) {
    SaveRecorder recorder("/tmp/out.txt");
    char file[260] = "";
    platform::SaveFileRecord record = Record(file, sizeof file);
    for (DWORD size : {0u, 76u, 88u, 135u, 137u, 152u}) {
        if (size == platform::SaveFileRecordSize()) continue;
        record.lStructSize = size;
        EXPECT_EQ(platform::AskSaveFileName(record), FALSE) << size;
    }
    EXPECT_TRUE(recorder.requests.empty());
    EXPECT_STREQ(file, "");
    record.lStructSize = platform::SaveFileRecordSize();
    EXPECT_NE(platform::AskSaveFileName(record), FALSE);
    EXPECT_STREQ(file, "/tmp/out.txt");
}

TEST(PluginSeam, DescribesTheRecordToTheDesktop) {
    SaveRecorder recorder("/tmp/x");
    char file[32] = "";
    platform::SaveFileRecord record = Record(file, sizeof file);
    record.lpstrDefExt = "txt";
    record.lpstrInitialDir = "/start";
    platform::AskSaveFileName(record);
    ASSERT_EQ(recorder.requests.size(), 1u);
    const desktop::SaveRequest& request = recorder.requests[0];
    EXPECT_EQ(request.filters, (std::vector<std::string>{"Text", "*.txt", "All", "*.*", "Third", "*.3"}));
    EXPECT_EQ(request.title, "Title");
    EXPECT_EQ(request.flags, 0x80010u);
    EXPECT_EQ(request.maxPath, 32u);
    EXPECT_TRUE(request.hasDefaultExtension);
    EXPECT_TRUE(request.hasInitialDir);
    EXPECT_EQ(request.initialDir, "/start");
}

TEST(PluginSeam, AnswerThatDoesNotFitIsRefused) {
    SaveRecorder recorder(std::string(40, 'a'));
    char file[40] = "";
    platform::SaveFileRecord record = Record(file, sizeof file);
    EXPECT_EQ(platform::AskSaveFileName(record), FALSE);
    EXPECT_STREQ(file, "");
}

TEST(PluginSeam, ShellOpenReachesTheDesktop) {
    std::string seen;
    int shown = 0;
    desktop::ShellHandler previous =
        desktop::SetShellHandler([&](const std::string& verb, const std::string& file, int show) {
            seen = verb + " " + file;
            shown = show;
        });
    platform::ShellOpen("/tmp/a file.txt");
    desktop::SetShellHandler(std::move(previous));
    EXPECT_EQ(seen, "open /tmp/a file.txt");
    EXPECT_EQ(shown, SW_SHOW);
}

TEST(PluginSeam, ControlTextNeedsAnOpenPage) {
    HWND page = desktop::CreatePage(ModuleInstance(), IDD_PANEL, nullptr, 0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(platform::SetControlText(page, IDC_CAPTION, "x"), TRUE);
    EXPECT_EQ(platform::SetControlText(page, 4242, "x"), FALSE);
    desktop::DestroyPage(page);
    EXPECT_EQ(platform::SetControlText(page, IDC_CAPTION, "x"), FALSE);
}

}  // namespace
