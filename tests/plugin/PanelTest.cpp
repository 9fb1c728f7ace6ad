// The utility's rollup page: opening and closing it, its template, its
// caption and its dialog procedure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PluginHarness.h"
#include "plugin/Resources.h"

namespace {

class PluginPanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.Loaded());
        ip.memory.SetDirectory(3, scratch.Path().string());
        pagesBefore = desktop::OpenPages();
    }
    void TearDown() override {
        if (open) Close();
    }
    void Open() {
        plugin.Utility().OpenPanel(&ip, &panel);
        open = true;
    }
    void Close() {
        plugin.Utility().ClosePanel(&ip, &panel);
        open = false;
    }
    INT_PTR Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ip.Proc()(ip.Page(), message, wParam, lParam);
    }

    LoadedPlugin plugin;
    ScratchFolder scratch;
    RecordingInterface ip;
    RecordingPanel panel;
    DesktopScope desk{&ip};
    std::size_t pagesBefore = 0;
    bool open = false;
};

TEST_F(PluginPanel, OpenAddsPage101TitledParametersWithTheModulesHandle) {
    Open();
    ASSERT_EQ(ip.added.size(), 1u);
    const RecordingInterface::AddCall& call = ip.added[0];
    EXPECT_EQ(call.instance, plugin.Instance());
    EXPECT_EQ(call.dialogId, 101);
    EXPECT_NE(call.proc, nullptr);
    EXPECT_TRUE(call.hasTitle);
    EXPECT_EQ(call.title, "Parameters");
    EXPECT_EQ(call.param, 0);
    EXPECT_EQ(call.flags, 0u);
    ASSERT_NE(call.page, nullptr);
    EXPECT_EQ(desktop::OpenPages(), pagesBefore + 1);
}

TEST_F(PluginPanel, CaptionIsWrittenDuringInitDialogAndButtonKeepsItsText) {
    Open();
    EXPECT_EQ(ip.added[0].captionDuringAdd, "Gantline V0.10")
        << "the caption is set from WM_INITDIALOG, before AddPanelPage answers";
    EXPECT_EQ(desktop::ItemText(ip.Page(), IDC_CAPTION), "Gantline V0.10");
    EXPECT_EQ(desktop::ItemTextChanges(ip.Page(), IDC_CAPTION), 1);
    EXPECT_EQ(desktop::ItemText(ip.Page(), IDC_EXPORT), "Export...");
    EXPECT_EQ(desktop::ItemTextChanges(ip.Page(), IDC_EXPORT), 0);
}

TEST_F(PluginPanel, InitDialogWritesTheCaptionOfTheMessagesWindowNotTheRecordedPage) {
    Open();
    HWND other = desktop::CreatePage(plugin.Instance(), IDD_PANEL, nullptr, 0);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(desktop::ItemText(other, IDC_CAPTION), CAPTION_TEXT);
    EXPECT_EQ(ip.Proc()(other, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(desktop::ItemText(other, IDC_CAPTION), "Gantline V0.10");
    EXPECT_EQ(desktop::ItemTextChanges(ip.Page(), IDC_CAPTION), 1) << "the open page is not written again";
    desktop::DestroyPage(other);
}

TEST_F(PluginPanel, CloseRemovesThePageThroughTheInterfaceItIsGiven) {
    Open();
    HWND page = ip.Page();
    RecordingInterface other;
    plugin.Utility().ClosePanel(&other, &panel);
    open = false;
    ASSERT_EQ(other.removed.size(), 1u);
    EXPECT_EQ(other.removed[0], page);
    EXPECT_TRUE(ip.removed.empty());
    EXPECT_EQ(desktop::OpenPages(), pagesBefore);
    EXPECT_EQ(panel.closes, 0) << "the utility panel is never called";
}

TEST_F(PluginPanel, ReopeningAddsAFreshPage) {
    Open();
    Close();
    Open();
    ASSERT_EQ(ip.added.size(), 2u);
    EXPECT_EQ(ip.removed.size(), 1u);
    EXPECT_EQ(desktop::ItemText(ip.Page(), IDC_CAPTION), "Gantline V0.10");
    EXPECT_EQ(desktop::OpenPages(), pagesBefore + 1);
}

// The page model holds exactly the template that Resources.h describes.
TEST_F(PluginPanel, TemplateIsTheOneResourcesHDescribes) {
    HWND page = desktop::CreatePage(plugin.Instance(), IDD_PANEL, nullptr, 0);
    ASSERT_NE(page, nullptr);
    const desktop::DialogTemplate layout = desktop::PageTemplate(page);
    desktop::DestroyPage(page);
    EXPECT_EQ(layout.style, 0x40000000u | 0x10000000u | 0x40u);
    EXPECT_EQ(layout.style, static_cast<std::uint32_t>(PANEL_STYLE));
    EXPECT_EQ(layout.x, PANEL_X);
    EXPECT_EQ(layout.y, PANEL_Y);
    EXPECT_EQ(layout.width, 108);
    EXPECT_EQ(layout.height, 47);
    EXPECT_EQ(layout.font, "MS Sans Serif");
    EXPECT_EQ(layout.pointSize, 8);
    ASSERT_EQ(layout.controls.size(), 2u);

    const desktop::DialogControl& caption = layout.controls[0];
    EXPECT_EQ(caption.id, 1002);
    EXPECT_EQ(caption.windowClass, "STATIC");
    EXPECT_EQ(caption.text, "Gantline VX.XX");
    EXPECT_EQ(caption.x, 7);
    EXPECT_EQ(caption.y, 7);
    EXPECT_EQ(caption.width, 94);
    EXPECT_EQ(caption.height, 10);
    EXPECT_EQ(caption.style, 0x40000000u | 0x10000000u | 0x00020000u | 0x1000u | 0x1u);

    const desktop::DialogControl& button = layout.controls[1];
    EXPECT_EQ(button.id, 1001);
    EXPECT_EQ(button.windowClass, "BUTTON");
    EXPECT_EQ(button.text, "Export...");
    EXPECT_EQ(button.x, 28);
    EXPECT_EQ(button.y, 21);
    EXPECT_EQ(button.width, 50);
    EXPECT_EQ(button.height, 14);
    EXPECT_EQ(button.style, 0x40000000u | 0x10000000u | 0x00010000u);
}

TEST_F(PluginPanel, ModuleHasNoOtherDialog) {
    EXPECT_EQ(desktop::CreatePage(plugin.Instance(), IDD_PANEL + 1, nullptr, 0), nullptr);
    EXPECT_EQ(desktop::CreatePage(plugin.Instance(), 0, nullptr, 0), nullptr);
}

// The dialog procedure's table, one row per message.
struct MessageCase {
    UINT message;
    WPARAM wParam;
    INT_PTR answer;
    bool forwarded;
};

TEST_F(PluginPanel, DialogProcedureAnswersItsTable) {
    Open();
    const MessageCase cases[] = {
        {WM_INITDIALOG, 0, TRUE, false},
        {WM_COMMAND, 1, TRUE, false},     // IDOK
        {WM_COMMAND, 2, TRUE, false},     // IDCANCEL
        {WM_COMMAND, 1002, TRUE, false},  // the caption
        {WM_COMMAND, 0x10000u | 1000u, TRUE, false},
        {WM_MOUSEMOVE, 0x1, TRUE, true},
        {WM_LBUTTONDOWN, 0x1, TRUE, true},
        {WM_LBUTTONUP, 0, TRUE, true},
        {WM_LBUTTONDBLCLK, 0x1, FALSE, false},
        {WM_RBUTTONDOWN, 0x2, FALSE, false},
        {0x0205, 0, FALSE, false},     // right button up
        {0x0206, 0, FALSE, false},     // right double click
        {0x0207, 0x10, FALSE, false},  // middle button down
        {0x0208, 0, FALSE, false},     // middle button up
        {0x0209, 0, FALSE, false},     // middle double click
        {0x020A, 0, FALSE, false},     // wheel
        {0x01FF, 0, FALSE, false},
        {0x0000, 0, FALSE, false},
        {0x0001, 0, FALSE, false},  // create
        {0x0010, 0, FALSE, false},  // close
        {0x0053, 0, FALSE, false},  // help
        {0x0112, 0, FALSE, false},  // system command
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.message << " wParam 0x" << c.wParam);
        ip.memory.mouseMessages.clear();
        const LPARAM lParam = 0x00420017;
        EXPECT_EQ(Send(c.message, c.wParam, lParam), c.answer);
        ASSERT_EQ(ip.memory.mouseMessages.size(), c.forwarded ? 1u : 0u);
        if (c.forwarded) {
            const MemoryInterface::MouseMessage& m = ip.memory.mouseMessages[0];
            EXPECT_EQ(m.page, ip.Page());
            EXPECT_EQ(m.message, c.message);
            EXPECT_EQ(m.wParam, c.wParam);
            EXPECT_EQ(m.lParam, lParam);
        }
    }
    EXPECT_TRUE(desk.saveRequests.empty()) << "no row but the button exports";
}

TEST_F(PluginPanel, OnlyTheButtonExportsWhateverItsNotificationCode) {
    Open();
    for (unsigned code : {0u, 1u, 5u, 0xFFFFu}) {
        const std::size_t before = desk.saveRequests.size();
        EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(IDC_EXPORT, code), 0), TRUE);
        EXPECT_EQ(desk.saveRequests.size(), before + 1) << "notification code " << code;
    }
}

TEST_F(PluginPanel, DestroyIsAnsweredTrueAndChangesNothing) {
    Open();
    EXPECT_EQ(Send(WM_DESTROY), TRUE);
    EXPECT_EQ(desktop::ItemText(ip.Page(), IDC_CAPTION), "Gantline V0.10");
    EXPECT_EQ(Send(WM_COMMAND, IDC_EXPORT), TRUE);
    EXPECT_EQ(desk.saveRequests.size(), 1u) << "the utility is still open";
}

TEST_F(PluginPanel, MouseMessagesWhileClosedGoNowhere) {
    Open();
    const DLGPROC proc = ip.Proc();
    HWND page = ip.Page();
    Close();
    ip.memory.mouseMessages.clear();
    EXPECT_EQ(proc(page, WM_MOUSEMOVE, 0, 0), TRUE);
    EXPECT_EQ(proc(page, WM_LBUTTONDOWN, 0, 0), TRUE);
    EXPECT_TRUE(ip.memory.mouseMessages.empty());
}

}  // namespace
