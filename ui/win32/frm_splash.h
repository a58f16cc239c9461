#pragma once

#include <functional>

#include "behaviour/frm_splash.h"
#include "behaviour/program_windows.h"
#include "ui/win32/top_level_window.h"

namespace tavrix::win32 {

// The scanning splash: two labels, no title bar, Timer1 ticking every 10 ms from its load; what a
// tick and a key do is behaviour::frmSplash's.
class frmSplash : public TopLevelWindow, public behaviour::FlowWindow {
public:
    // owner keeps the window out of the taskbar.
    explicit frmSplash(HWND owner);
    ~frmSplash() override;

    // Creates the window and its labels and starts Timer1, once.
    void load();
    bool isLoaded() const override { return exists(); }
    void show() override;
    void unload() override;
    bool painted() const { return behaviour_.painted(); }

    NativeWindow Label1() { return loaded("Label1"); }
    NativeWindow Label2() { return loaded("Label2"); }

    // A tick of Timer1 once painted (not while a tick runs).
    std::function<void()> timerTicked;
    // A key press that reached the window as a typed character.
    std::function<void()> keyPressed;

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    NativeWindow loaded(const char* name);

    static constexpr UINT_PTR Timer1 = 1;

    HWND owner_;
    behaviour::frmSplash behaviour_{[this] {
                                        if (timerTicked) timerTicked();
                                    },
                                    [this] {
                                        if (keyPressed) keyPressed();
                                    }};
};

}  // namespace tavrix::win32
