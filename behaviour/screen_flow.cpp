#include "behaviour/screen_flow.h"

namespace tavrix {

void ScreenFlow::start() {
    windows_.create(Window::Dialog);
    windows_.show(Window::Dialog);
    state_ = FlowState::Disclaimer;
}

void ScreenFlow::okPressed() {
    if (state_ != FlowState::Disclaimer) return;
    windows_.create(Window::frmSplash);
    windows_.show(Window::frmSplash);
    state_ = FlowState::Scanning;
    windows_.unload(Window::Dialog);
}

void ScreenFlow::cancelPressed() {
    if (state_ != FlowState::Disclaimer) return;
    state_ = FlowState::Ended;
    windows_.endProcess();
}

void ScreenFlow::dialogClosed() {
    if (state_ != FlowState::Disclaimer) return;
    unloadAndEndIfLast(Window::Dialog);
}

void ScreenFlow::splashTick() {
    if (state_ != FlowState::Scanning) return;
    windows_.create(Window::Form1);
    const std::string result = windows_.getTavrix();
    if (result != "Success") return;
    windows_.unload(Window::frmSplash);
    windows_.show(Window::Form1);
    state_ = FlowState::Results;
}

void ScreenFlow::splashKeyPressed() {
    if (state_ != FlowState::Scanning) return;
    // A main window left hidden by a scan that did not succeed would keep an invisible process
    // alive, so it goes with the splash.
    windows_.unload(Window::Form1);
    unloadAndEndIfLast(Window::frmSplash);
}

void ScreenFlow::mainWindowClosed() {
    if (state_ != FlowState::Results) return;
    unloadAndEndIfLast(Window::Form1);
}

void ScreenFlow::unloadAndEndIfLast(Window window) {
    windows_.unload(window);
    for (const auto other : {Window::Dialog, Window::frmSplash, Window::Form1}) {
        if (windows_.isLoaded(other)) return;
    }
    state_ = FlowState::Ended;
    windows_.endProcess();
}

}  // namespace tavrix
