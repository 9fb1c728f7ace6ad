// The plug-in's utility opened in the Windows test host: a real panel
// window, the plug-in's page in it, and the host's core interface that the
// plug-in's scene walk reaches through GetCOREInterface.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "PluginModule.h"
#include "memhost/MemoryHost.h"
#include "wintest/WinHost.h"

namespace wintest {

// Handed to OpenPanel; the plug-in never calls it.
class UnusedUtilityPanel final : public HostUtilityPanel {
public:
    void CloseUtility() override {}
};

inline std::string ControlText(HWND page, int id) {
    char text[256] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

class OpenPanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(plugin.Handle(), nullptr) << "cannot load " << PluginModule::Path();
        // The pointer waits away from the panel, so that the page gets only
        // the mouse input that a test makes.
        SetCursorPos(0, 0);
        previous_ = SetCOREInterface(&host);
        utility = plugin.Utility();
        ASSERT_NE(utility, nullptr);
        utility->OpenPanel(&host, &utilityPanel);
        ASSERT_EQ(host.Pages().size(), 1u);
        page = host.Pages().front();
        WinHost::PumpMessages();
    }
    void TearDown() override {
        if (utility && !host.Pages().empty()) utility->ClosePanel(&host, &utilityPanel);
        SetCOREInterface(previous_);
    }

    HWND Button() const { return GetDlgItem(page, 1001); }

    PluginModule plugin;
    WinHost host;
    UnusedUtilityPanel utilityPanel;
    HostUtility* utility = nullptr;
    HWND page = nullptr;

private:
    Interface* previous_ = nullptr;
};

}  // namespace wintest
