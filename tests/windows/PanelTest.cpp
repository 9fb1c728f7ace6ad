// The plug-in's rollup page as a real dialog in a real window: the caption
// it shows, the mouse messages it hands to the host, and a screenshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "PanelFixture.h"
#include "support/Image.h"

namespace {

using wintest::ControlText;
using wintest::WinHost;

class Panel : public wintest::OpenPanel {};

std::string WindowClass(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(Panel, OpensAsAChildPageTitledParameters) {
    EXPECT_EQ(host.pageTitles, std::vector<std::string>{"Parameters"});
    EXPECT_EQ(host.TitleBarText(), "Parameters");
    EXPECT_EQ(GetParent(page), host.Panel());
    const auto style = static_cast<DWORD>(GetWindowLongA(page, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_TRUE(IsWindowVisible(page));
}

TEST_F(Panel, CaptionReadsTheVersionOnceOpen) {
    EXPECT_EQ(ControlText(page, 1002), "Gantline V0.10");
    EXPECT_EQ(WindowClass(GetDlgItem(page, 1002)), "Static");
    EXPECT_EQ(ControlText(page, 1001), "Export...");
    EXPECT_EQ(WindowClass(Button()), "Button");
}

TEST_F(Panel, ClosingDestroysThePage) {
    utility->ClosePanel(&host, &utilityPanel);
    EXPECT_EQ(host.pagesRemoved, 1);
    EXPECT_FALSE(IsWindow(page));
    // Opening again makes a new page with the caption set afresh.
    utility->OpenPanel(&host, &utilityPanel);
    ASSERT_EQ(host.Pages().size(), 1u);
    EXPECT_EQ(ControlText(host.Pages().front(), 1002), "Gantline V0.10");
}

// Moves the real mouse to a point of the page's client area and clicks.
void ClickAt(HWND window, POINT point) {
    ClientToScreen(window, &point);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = point.x * 65535 / screenWidth;
        input.mi.dy = point.y * 65535 / screenHeight;
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

// The mouse messages that the host received from page at point.
std::set<UINT> MessagesAt(const WinHost& host, HWND page, POINT point) {
    std::set<UINT> messages;
    for (const auto& m : host.mouseMessages) {
        const int x = static_cast<short>(LOWORD(m.lParam));
        const int y = static_cast<short>(HIWORD(m.lParam));
        if (m.page == page && x == point.x && y == point.y) messages.insert(m.message);
    }
    return messages;
}

bool Received(const WinHost& host, UINT message) {
    for (const auto& m : host.mouseMessages)
        if (m.message == message) return true;
    return false;
}

TEST_F(Panel, RealMouseInputOnThePageReachesTheHost) {
    // A point of the page that no control covers.
    RECT client{};
    GetClientRect(page, &client);
    const POINT spot{3, client.bottom - 3};
    ClickAt(page, spot);
    const std::set<UINT> expected{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_TRUE(WinHost::PumpUntil([&] { return MessagesAt(host, page, spot) == expected; }));
    EXPECT_EQ(MessagesAt(host, page, spot), expected);
}

TEST_F(Panel, OnlyMovesAndLeftButtonMessagesGoToTheHost) {
    const UINT kept[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MOUSEWHEEL};
    for (UINT message : kept) SendMessageA(page, message, 0, MAKELPARAM(3, 3));
    for (UINT message : kept) EXPECT_FALSE(Received(host, message)) << "message 0x" << std::hex << message;

    // Handed on unchanged.
    SendMessageA(page, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(9, 8));
    ASSERT_FALSE(host.mouseMessages.empty());
    const auto& last = host.mouseMessages.back();
    EXPECT_EQ(last.page, page);
    EXPECT_EQ(last.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(last.wParam, static_cast<WPARAM>(MK_SHIFT));
    EXPECT_EQ(last.lParam, MAKELPARAM(9, 8));
}

bool HasContrast(const support::Image& image) {
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        colours.insert(static_cast<std::uint32_t>(image.rgb[i] << 16 | image.rgb[i + 1] << 8 | image.rgb[i + 2]));
    return colours.size() >= 3;
}

TEST_F(Panel, ScreenshotOfTheOpenPage) {
    RedrawWindow(host.Panel(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    WinHost::PumpMessages();
    const support::Image shot = host.Capture();
    RECT client{};
    GetClientRect(host.Panel(), &client);
    ASSERT_EQ(shot.width, client.right);
    ASSERT_EQ(shot.height, client.bottom);
    EXPECT_TRUE(HasContrast(shot)) << "the captured panel is blank";

    const std::filesystem::path file = GANTLINE_SCREENSHOT;
    std::filesystem::create_directories(file.parent_path());
    std::string why;
    ASSERT_TRUE(support::WritePng(file.string(), shot, &why)) << why;
    // The picture reads back as it was taken.
    support::Image back;
    ASSERT_TRUE(support::ReadPng(file.string(), back, &why)) << why;
    EXPECT_EQ(back.width, shot.width);
    EXPECT_EQ(back.rgb, shot.rgb);
}

}  // namespace
