#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/form1.h"
#include "behaviour/form1_view.h"
#include "behaviour/program_windows.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/top_level_window.h"

namespace tavrix {
class ManagementProvider;
}

namespace tavrix::win32 {

class BrowserHost;

// The main window in native controls: the scanned hardware in five panels, the module lists, the
// chat invitation and the copy button, and the retailer's page in WB. What it does is
// behaviour::Form1's; this view shows it and maps the controls' notifications to its handlers.
// Creating it is cheap: the window, its controls and Form_Load come with the first use of a
// control or show().
class Form1 : public TopLevelWindow, public behaviour::Form1View, public behaviour::MainWindow {
public:
    Form1(ManagementProvider& provider, DesktopServices services, TextForm textForm);
    ~Form1() override;

    void load();
    bool isLoaded() const override { return exists(); }
    void show() override;
    // The browser goes before its window.
    void unload() override;

    // What the window does; using it loads the window, as any use of a control does.
    behaviour::Form1& behaviour() override {
        load();
        return behaviour_;
    }
    ScanValues& values() { return behaviour_.values(); }
    const std::string& lookupAddress() const { return behaviour_.lookupAddress(); }
    // The address WB was navigated to; empty before.
    const std::string& navigatedAddress() const { return navigated_; }

    // Controls by their layout name (loads the window first).
    NativeWindow control(std::string_view name);
    NativeWindow valueLabel(ValueLabel label) { return control(controlName(label)); }
    ListBox list(ModuleList which) { return ListBox(control(controlName(which))); }

    // The view.
    void appendRow(ModuleList which, const std::string& row) override;
    void clearList(ModuleList which) override;
    void setRowReading(int row, const std::string& reading) override;
    void confirmCopy(const std::string& confirmation) override;
    void selectRow(ModuleList which, int row) override;
    std::vector<std::string> rows(ModuleList which) const override;
    int selectedRow(ModuleList which) const override;
    void navigate(const std::string& address) override;
    void setCaption(ValueLabel label, const std::string& caption) override;
    bool startBrowser(const std::string& address) override;
    bool openInUsersBrowser(const std::string& address) override;
    void setClipboardText(const std::string& text) override;
    void showMessage(const std::string& text) override;

    // The user closed the window with its close box.
    std::function<void()> closed;

protected:
    void onCommand(HWND control, int id, int code) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onRescaled() override;

private:
    DesktopServices services_;
    behaviour::Form1 behaviour_;
    std::unique_ptr<BrowserHost> WB_;
    HICON chatPicture_ = nullptr;
    std::string navigated_;
};

// The command line that starts the browser at the address: the browser's path in quotes (so
// Windows never tries C:\Program.exe), one blank, the address.
std::wstring browserCommandLine(const std::string& address);

}  // namespace tavrix::win32
