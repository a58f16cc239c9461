#pragma once

#include <functional>

#include "top_level_window.h"

namespace tavrix::win32 {

// The scanning splash: two labels, no title bar, Timer1 ticking every 10 ms from its load. A tick
// is handed on only once the window has been painted, so its texts are on screen during the scan.
class frmSplash : public TopLevelWindow {
public:
    // owner keeps the window out of the taskbar.
    explicit frmSplash(HWND owner);
    ~frmSplash() override;

    // Creates the window and its labels and starts Timer1, once.
    void load();
    bool isLoaded() const { return exists(); }
    void show();
    void unload() override;
    bool painted() const { return painted_; }

    NativeWindow Label1() { return loaded("Label1"); }
    NativeWindow Label2() { return loaded("Label2"); }

    // A tick of Timer1 (not while a tick runs).
    std::function<void()> timerTicked;
    // A key press that reached the window as a typed character.
    std::function<void()> keyPressed;

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    NativeWindow loaded(const char* name);

    static constexpr UINT_PTR Timer1 = 1;

    HWND owner_;
    bool painted_ = false;
    bool ticking_ = false;
};

}  // namespace tavrix::win32
