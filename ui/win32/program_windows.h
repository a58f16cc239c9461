#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "desktop_services.h"
#include "screen_flow.h"
#include "text_form.h"

namespace tavrix {
class ManagementProvider;
}

namespace tavrix::win32 {

class Dialog;
class Form1;
class TopLevelWindow;
class frmSplash;

// The program's three windows, each at most once: dialog(), splash() and form1() create the
// object on first reference; unload() destroys its window at once and the object once the
// handler that unloaded it has returned (collectUnloaded). The screen flow drives them, their events drive it.
class ProgramWindows : public FlowWindows {
public:
    // The provider answers Form1's scan, the services carry out its commands, the text form writes
    // its numbers; endProcess ends the process (or stands in for that).
    ProgramWindows(ManagementProvider& provider, DesktopServices services, TextForm textForm,
                   std::function<void()> endProcess);
    ~ProgramWindows() override;

    ScreenFlow& flow() { return flow_; }

    Dialog& dialog();
    frmSplash& splash();
    Form1& form1();
    // Whether the window's object exists; asking does not create it.
    bool exists(Window window) const;
    // Destroys the windows unloaded since the last call.
    void collectUnloaded();

    void create(Window window) override;
    void show(Window window) override;
    void unload(Window window) override;
    bool isLoaded(Window window) const override;
    std::string getTavrix() override;
    void endProcess() override;

private:
    ManagementProvider& provider_;
    DesktopServices services_;
    TextForm textForm_;
    std::function<void()> endProcess_;
    ScreenFlow flow_;
    HWND owner_ = nullptr;  // hidden; owns the windows that have no taskbar button
    std::unique_ptr<Dialog> dialog_;
    std::unique_ptr<frmSplash> splash_;
    std::unique_ptr<Form1> form1_;
    std::vector<std::unique_ptr<TopLevelWindow>> unloaded_;
};

}  // namespace tavrix::win32
