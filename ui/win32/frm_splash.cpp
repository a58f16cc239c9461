#include "ui/win32/frm_splash.h"

#include <stdexcept>

#include "forms/splash_form.h"

namespace tavrix::win32 {

frmSplash::frmSplash(HWND owner) : TopLevelWindow(forms::splashForm()), owner_(owner) {}

frmSplash::~frmSplash() { unload(); }

void frmSplash::unload() {
    if (exists()) KillTimer(handle(), Timer1);
    destroyWindow();
}

void frmSplash::load() {
    if (isLoaded()) return;
    createWindow(owner_);
    if (!SetTimer(handle(), Timer1, forms::splashTimerInterval, nullptr))
        throw std::runtime_error("cannot start Timer1");
}

void frmSplash::show() {
    load();
    showActive();
}

NativeWindow frmSplash::loaded(const char* name) {
    load();
    return control(name);
}

LRESULT frmSplash::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const LRESULT result = TopLevelWindow::onMessage(message, wParam, lParam);
            behaviour_.Form_Paint();
            return result;
        }
        case WM_TIMER:
            if (wParam == Timer1) behaviour_.Timer1_Timer();
            return 0;
        case WM_CHAR:
            behaviour_.Form_KeyPress();
            return 0;
        case WM_CLOSE:
            // No close box; a close request from elsewhere is not one of the ways out of the scan.
            return 0;
    }
    return TopLevelWindow::onMessage(message, wParam, lParam);
}

}  // namespace tavrix::win32
