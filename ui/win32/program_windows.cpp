#include "program_windows.h"

#include <stdexcept>

#include "dialog.h"
#include "form1.h"
#include "frm_splash.h"

namespace tavrix::win32 {

ProgramWindows::ProgramWindows(ManagementProvider& provider, DesktopServices services, TextForm textForm,
                               std::function<void()> endProcess)
    : provider_(provider),
      services_(services),
      textForm_(std::move(textForm)),
      endProcess_(std::move(endProcess)),
      flow_(*this) {
    owner_ =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!owner_) throw std::runtime_error("cannot create the windows' owner");
}

ProgramWindows::~ProgramWindows() {
    form1_.reset();
    splash_.reset();
    dialog_.reset();
    unloaded_.clear();
    DestroyWindow(owner_);
}

Dialog& ProgramWindows::dialog() {
    if (!dialog_) {
        dialog_ = std::make_unique<Dialog>(owner_);
        dialog_->okPressed = [this] { flow_.okPressed(); };
        dialog_->cancelPressed = [this] { flow_.cancelPressed(); };
        dialog_->closed = [this] { flow_.dialogClosed(); };
    }
    return *dialog_;
}

frmSplash& ProgramWindows::splash() {
    if (!splash_) {
        splash_ = std::make_unique<frmSplash>(owner_);
        splash_->timerTicked = [this] { flow_.splashTick(); };
        splash_->keyPressed = [this] { flow_.splashKeyPressed(); };
    }
    return *splash_;
}

Form1& ProgramWindows::form1() {
    if (!form1_) {
        form1_ = std::make_unique<Form1>(provider_, services_, textForm_);
        form1_->closed = [this] { flow_.mainWindowClosed(); };
    }
    return *form1_;
}

bool ProgramWindows::exists(Window window) const {
    switch (window) {
        case Window::Dialog: return dialog_ != nullptr;
        case Window::frmSplash: return splash_ != nullptr;
        case Window::Form1: return form1_ != nullptr;
    }
    return false;
}

void ProgramWindows::collectUnloaded() { unloaded_.clear(); }

void ProgramWindows::create(Window window) {
    switch (window) {
        case Window::Dialog: dialog(); break;
        case Window::frmSplash: splash(); break;
        case Window::Form1: form1(); break;
    }
}

void ProgramWindows::show(Window window) {
    switch (window) {
        case Window::Dialog: dialog().show(); break;
        case Window::frmSplash: splash().show(); break;
        case Window::Form1: form1().show(); break;
    }
}

// The window may be unloaded from one of its own handlers: its native window goes now (destroyed,
// not hidden first, which under Wine without a window manager waits two seconds for the unmap),
// the object once that handler has returned. A new reference creates a new object.
void ProgramWindows::unload(Window window) {
    std::unique_ptr<TopLevelWindow> going;
    switch (window) {
        case Window::Dialog: going = std::move(dialog_); break;
        case Window::frmSplash: going = std::move(splash_); break;
        case Window::Form1: going = std::move(form1_); break;
    }
    if (!going) return;
    going->unload();
    unloaded_.push_back(std::move(going));
}

bool ProgramWindows::isLoaded(Window window) const {
    switch (window) {
        case Window::Dialog: return dialog_ && dialog_->isLoaded();
        case Window::frmSplash: return splash_ && splash_->isLoaded();
        case Window::Form1: return form1_ && form1_->isLoaded();
    }
    return false;
}

std::string ProgramWindows::getTavrix() { return form1().getTavrix(); }

void ProgramWindows::endProcess() { endProcess_(); }

}  // namespace tavrix::win32
