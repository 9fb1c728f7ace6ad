#include "wintest/WinHost.h"

#include <algorithm>

namespace wintest {
namespace {

constexpr char kPanelClass[] = "GantlineTestPanel";
constexpr int kPanelLeft = 40;
constexpr int kPanelTop = 40;
constexpr int kTitleBarHeight = 20;
constexpr int kMinimumWidth = 120;

LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPanelClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PanelWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kPanelClass;
    RegisterClassA(&windowClass);  // a second registration fails harmlessly
}

RECT WindowRectIn(HWND window, HWND parent) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

void SleepMs(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

long long TickMs() { return static_cast<long long>(GetTickCount64()); }

WinHost::WinHost() {
    RegisterPanelClass();
    // Topmost, so that real mouse input aimed at the panel reaches it even
    // while other programs show windows on the same display.
    panel_ = CreateWindowExA(WS_EX_TOPMOST, kPanelClass, "Command Panel",
                             WS_POPUP | WS_BORDER | WS_VISIBLE | WS_CLIPCHILDREN, kPanelLeft, kPanelTop, kMinimumWidth,
                             kTitleBarHeight + 2, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    titleBar_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN, 0, 0,
                                kMinimumWidth, kTitleBarHeight, panel_, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
}

WinHost::~WinHost() {
    if (panel_) DestroyWindow(panel_);
    PumpMessages();
}

HWND WinHost::AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param, DWORD) {
    pageTitles.emplace_back(title ? title : "");
    SetWindowTextA(titleBar_, title ? title : "");
    HWND page = CreateDialogParamA(instance, MAKEINTRESOURCEA(dialogId), panel_, proc, param);
    if (!page) return nullptr;
    pages_.push_back(page);

    // Stack the page under the title bar and fit the panel around it.
    RECT pageRect = WindowRectIn(page, panel_);
    const int width = std::max<int>(kMinimumWidth, pageRect.right - pageRect.left);
    const int height = pageRect.bottom - pageRect.top;
    SetWindowPos(titleBar_, nullptr, 0, 0, width, kTitleBarHeight, SWP_NOZORDER);
    SetWindowPos(page, nullptr, 0, kTitleBarHeight, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    RECT frame{0, 0, width, kTitleBarHeight + height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(panel_, GWL_STYLE)), FALSE, 0);
    SetWindowPos(panel_, HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_SHOWWINDOW);
    return page;
}

void WinHost::RemovePanelPage(HWND page) {
    ++pagesRemoved;
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    DestroyWindow(page);
}

int WinHost::PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    mouseMessages.push_back({page, message, wParam, lParam});
    return 0;
}

const char* WinHost::DirectoryPath(int which) {
    auto found = directories_.find(which);
    return found == directories_.end() ? nullptr : found->second.c_str();
}

HostNode* WinHost::SceneRoot() { return &root_; }

HostTime WinHost::CurrentTime() { return 0; }

std::string WinHost::TitleBarText() const {
    char text[256] = "";
    GetWindowTextA(titleBar_, text, sizeof text);
    return text;
}

void WinHost::SetDirectory(int which, std::string path) { directories_[which] = std::move(path); }

void WinHost::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

support::Image WinHost::Capture() const {
    RECT client{};
    GetClientRect(panel_, &client);
    if (client.right <= 0 || client.bottom <= 0) return support::Image();
    support::Image image(client.right, client.bottom);

    HDC screen = GetDC(panel_);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    GdiFlush();

    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t i = 0; i < pixels; ++i) {
        image.rgb[i * 3] = bgra[i * 4 + 2];
        image.rgb[i * 3 + 1] = bgra[i * 4 + 1];
        image.rgb[i * 3 + 2] = bgra[i * 4];
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(panel_, screen);
    return image;
}

}  // namespace wintest
