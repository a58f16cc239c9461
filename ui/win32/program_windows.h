#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "behaviour/program_windows.h"
#include "scan/text_form.h"
#include "ui/win32/desktop_services.h"

namespace tavrix {
class ManagementProvider;
}

namespace tavrix::win32 {

class Dialog;
class Form1;
class frmSplash;

// The program's three windows as native windows: dialog(), splash() and form1() create the object
// on first reference. An unloaded window's native window goes at once, its object once the handler
// that unloaded it has returned (collectUnloaded).
class ProgramWindows : public behaviour::ProgramWindows {
public:
    // The provider answers Form1's scan, the services carry out its commands, the text form writes
    // its numbers; endProcess ends the process (or stands in for that).
    ProgramWindows(ManagementProvider& provider, DesktopServices services, TextForm textForm,
                   std::function<void()> endProcess);
    ~ProgramWindows() override;

    Dialog& dialog();
    frmSplash& splash();
    Form1& form1();
    // Destroys the windows unloaded since the last call.
    void collectUnloaded();

protected:
    std::unique_ptr<behaviour::FlowWindow> make(Window window) override;
    void dispose(std::unique_ptr<behaviour::FlowWindow> window) override;

private:
    ManagementProvider& provider_;
    DesktopServices services_;
    TextForm textForm_;
    HWND owner_ = nullptr;  // hidden; owns the windows that have no taskbar button
    std::vector<std::unique_ptr<behaviour::FlowWindow>> unloaded_;
};

}  // namespace tavrix::win32
