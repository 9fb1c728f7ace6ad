// The exporter utility: the rollup page it adds while the host has it open,
// the page's dialog procedure, and the export command behind its button.
#pragma once

#include "host/HostInterfaces.h"
#include "plugin/Platform.h"

class ExporterUtility final : public HostUtility {
public:
    // Constant-initialised, so the object is ready before any load-time
    // code of the library runs.
    constexpr ExporterUtility() = default;
    ExporterUtility(const ExporterUtility&) = delete;
    ExporterUtility& operator=(const ExporterUtility&) = delete;
    ~ExporterUtility() {}

    void OpenPanel(Interface* ip, HostUtilityPanel* panel) override;
    void ClosePanel(Interface* ip, HostUtilityPanel* panel) override;
    void Dispose() override;
    // Takes "threads=N" from the command-line host: the most threads the
    // export writes with. Other parameters are left alone.
    void SetStartupParam(CStr param) override;

    // Called by the page's dialog procedure.
    void ShowCaption(HWND page);
    void PanelDestroyed(HWND page);
    void ExportCommand();

    // The recorded core interface; null while the utility is closed.
    Interface* CoreInterface() const { return ip_; }

private:
    HostUtilityPanel* panel_ = nullptr;
    Interface* ip_ = nullptr;
    HWND page_ = nullptr;
};

// The dialog procedure of the rollup page; always works on the one static
// utility.
INT_PTR CALLBACK PanelDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
