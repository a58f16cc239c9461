#include "ui/win32/dialog.h"

#include "forms/dialog_form.h"

namespace tavrix::win32 {

Dialog::Dialog(HWND owner) : TopLevelWindow(forms::dialogForm()), owner_(owner) {}

void Dialog::load() {
    if (isLoaded()) return;
    createWindow(owner_);
    Form_Load();
}

void Dialog::show() {
    load();
    showActive();
}

NativeWindow Dialog::loaded(const char* name) {
    load();
    return control(name);
}

void Dialog::Form_Load() {
    buffer_ = forms::disclaimerText();
    Text1().setText(buffer_);
}

void Dialog::onCommand(HWND control, int, int code) {
    if (code != BN_CLICKED) return;
    if (control == OKButton() && okPressed)
        okPressed();
    else if (control == CancelButton() && cancelPressed)
        cancelPressed();
}

LRESULT Dialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (closed) closed();
        return 0;
    }
    return TopLevelWindow::onMessage(message, wParam, lParam);
}

}  // namespace tavrix::win32
