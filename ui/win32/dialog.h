#pragma once

#include <functional>
#include <string>

#include "behaviour/program_windows.h"
#include "ui/win32/top_level_window.h"

namespace tavrix::win32 {

// The disclaimer window: the disclaimer text in Text1, Cancel and OK. No default or cancel button.
class Dialog : public TopLevelWindow, public behaviour::FlowWindow {
public:
    // owner keeps the window out of the taskbar.
    explicit Dialog(HWND owner);

    // Creates the controls and runs Form_Load, once.
    void load();
    bool isLoaded() const override { return exists(); }
    void show() override;

    NativeWindow Text1() { return loaded("Text1"); }
    NativeWindow CancelButton() { return loaded("CancelButton"); }
    NativeWindow OKButton() { return loaded("OKButton"); }

    std::function<void()> okPressed;
    std::function<void()> cancelPressed;
    // The user closed the window with its close box.
    std::function<void()> closed;

protected:
    void onCommand(HWND control, int id, int code) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    NativeWindow loaded(const char* name);
    void Form_Load();

    HWND owner_;
    std::string buffer_;
};

}  // namespace tavrix::win32
