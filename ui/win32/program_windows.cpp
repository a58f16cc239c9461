#include "ui/win32/program_windows.h"

#include <stdexcept>

#include "ui/win32/dialog.h"
#include "ui/win32/form1.h"
#include "ui/win32/frm_splash.h"

namespace tavrix::win32 {

ProgramWindows::ProgramWindows(ManagementProvider& provider, DesktopServices services, TextForm textForm,
                               std::function<void()> endProcess)
    : behaviour::ProgramWindows(std::move(endProcess)),
      provider_(provider),
      services_(services),
      textForm_(std::move(textForm)) {
    owner_ =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!owner_) throw std::runtime_error("cannot create the windows' owner");
}

ProgramWindows::~ProgramWindows() {
    destroyWindows();
    unloaded_.clear();
    DestroyWindow(owner_);
}

Dialog& ProgramWindows::dialog() { return static_cast<Dialog&>(window(Window::Dialog)); }

frmSplash& ProgramWindows::splash() { return static_cast<frmSplash&>(window(Window::frmSplash)); }

Form1& ProgramWindows::form1() { return static_cast<Form1&>(window(Window::Form1)); }

void ProgramWindows::collectUnloaded() { unloaded_.clear(); }

std::unique_ptr<behaviour::FlowWindow> ProgramWindows::make(Window window) {
    if (window == Window::Dialog) {
        auto dialog = std::make_unique<Dialog>(owner_);
        dialog->okPressed = [this] { flow().okPressed(); };
        dialog->cancelPressed = [this] { flow().cancelPressed(); };
        dialog->closed = [this] { flow().dialogClosed(); };
        return dialog;
    }
    if (window == Window::frmSplash) {
        auto splash = std::make_unique<frmSplash>(owner_);
        splash->timerTicked = [this] { flow().splashTick(); };
        splash->keyPressed = [this] { flow().splashKeyPressed(); };
        return splash;
    }
    auto form1 = std::make_unique<Form1>(provider_, services_, textForm_);
    form1->closed = [this] { flow().mainWindowClosed(); };
    return form1;
}

// The native window is destroyed, not hidden first, which under Wine without a window manager
// waits two seconds for the unmap.
void ProgramWindows::dispose(std::unique_ptr<behaviour::FlowWindow> window) {
    dynamic_cast<TopLevelWindow&>(*window).unload();
    unloaded_.push_back(std::move(window));
}

}  // namespace tavrix::win32
