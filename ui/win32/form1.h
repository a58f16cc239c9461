#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "desktop_services.h"
#include "hardware_scan.h"
#include "scan_sink.h"
#include "top_level_window.h"

namespace tavrix {
class ManagementProvider;
}

namespace tavrix::win32 {

class BrowserHost;

// The main window: the scanned hardware in five panels, the module lists, the chat invitation and
// the copy button, and the retailer's page in WB. Creating it is cheap: the window, its controls
// and Form_Load come with the first use of a control, a ScanSink call or show().
class Form1 : public TopLevelWindow, public ScanSink {
public:
    Form1(ManagementProvider& provider, DesktopServices services, TextForm textForm);
    ~Form1() override;

    void load();
    bool isLoaded() const { return exists(); }
    void show();
    // The browser goes before its window.
    void unload() override;

    // Runs the hardware scan with this window as its sink; returns "Success" or throws ScanError.
    std::string getTavrix();
    ScanValues& values() { return scan_.values(); }
    const std::string& lookupAddress() const { return scan_.lookupAddress(); }
    // The address WB was navigated to; empty before.
    const std::string& navigatedAddress() const { return navigated_; }

    // Controls by their layout name (loads the window first).
    NativeWindow control(std::string_view name);
    NativeWindow valueLabel(ValueLabel label) { return control(controlName(label)); }
    ListBox list(ModuleList which) { return ListBox(control(controlName(which))); }

    void clearList(ModuleList which) override;
    void appendRow(ModuleList which, const std::string& row) override;
    void setCaption(ValueLabel label, const std::string& caption) override;
    void navigate(const std::string& address) override;

    // The user closed the window with its close box.
    std::function<void()> closed;

protected:
    void onCommand(HWND control, int id, int code) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Load();
    void clipboardCmd_Click();
    void Image1_Click() { launchChat(); }
    void Label39_Click() { launchChat(); }
    void memoryLst_Click();
    void slotsLst_Click();
    void speedLst_Click();
    void launchChat();

    DesktopServices services_;
    HardwareScan scan_;
    std::unique_ptr<BrowserHost> WB_;
    HICON chatPicture_ = nullptr;
    std::string navigated_;
};

// The chat command line: the browser's path in quotes (so Windows never tries C:\Program.exe),
// one blank, the chat address.
std::wstring chatCommandLine();

}  // namespace tavrix::win32
