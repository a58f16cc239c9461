#pragma once

#include <windows.h>

#include "forms/window_description.h"
#include "ui/win32/form_builder.h"
#include "ui/win32/pixel_scale.h"
#include "ui/win32/window.h"

namespace tavrix::win32 {

// One of the program's windows: a native top-level window built from its description, with the
// program icon, its controls' colours and pointers, and the keyboard of a dialog (Tab, Enter and
// Space on buttons) when it has controls that take the focus. The window procedure is the only
// place that sees raw messages; a failure escaping a handler goes to the standard error report.
class TopLevelWindow {
public:
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;
    virtual ~TopLevelWindow();

    HWND handle() const { return handle_; }
    bool exists() const { return handle_ != nullptr; }
    // Destroys the window and its controls now; the object stays until its owner lets it go.
    virtual void unload() { destroyWindow(); }
    // The control of that name (the window must exist).
    NativeWindow control(std::string_view name) const { return form_.control(name); }
    PixelScale scale() const { return scale_; }
    // Lays the window out again for a monitor of that dpi (WM_DPICHANGED): at the largest scale
    // up to it that fits the monitor's work area, at the suggested place moved inside that area.
    void rescaleTo(int dpi, const RECT& suggested);

    // Whether the message loop should run IsDialogMessage for this window.
    static bool handlesDialogKeys(HWND window);

protected:
    explicit TopLevelWindow(const forms::WindowDescription& description) : description_(description) {}

    // Creates the window hidden, with its controls, at the screen's scale or smaller if it would
    // not fit the work area there, and inside the work area; owner null: none.
    void createWindow(HWND owner, const ControlFactory& makeOther = {});
    void destroyWindow();
    // Shows the window, makes it the active one and gives the focus to its first control (or to
    // the window itself when it has none).
    void showActive();

    virtual void onCommand(HWND control, int id, int code);
    // After the controls were laid out at a new scale: pictures and the like follow.
    virtual void onRescaled();
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    const forms::WindowDescription& description_;
    PixelScale scale_ = PixelScale::ofScreen();
    BuiltForm form_;

private:
    static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    HWND lastFocus_ = nullptr;
};

}  // namespace tavrix::win32
