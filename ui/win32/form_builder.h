#pragma once

#include <windows.h>

#include <functional>
#include <string_view>
#include <vector>

#include "forms/window_description.h"
#include "ui/win32/pixel_scale.h"

namespace tavrix::win32 {

// A control's id is this plus its index in the window's description; 1 and 2 (IDOK, IDCANCEL)
// stay free, so the keyboard's Enter and Esc commands never name a control.
inline constexpr int firstControlId = 100;

// The id of the control of that name in the window; throws std::out_of_range when it has none.
int controlId(const forms::WindowDescription& window, std::string_view name);

// Makes a control the builder has no native kind for (the browser) as a child of the window.
using ControlFactory = std::function<HWND(const forms::ControlDescription&, HWND window, const RECT& place, int id)>;

// The native controls of one window, built from its description, and the fonts they use, which
// are freed with it. Every control is a direct child of the window, placed in its client area.
class BuiltForm {
public:
    BuiltForm() = default;
    BuiltForm(const BuiltForm&) = delete;
    BuiltForm& operator=(const BuiltForm&) = delete;
    BuiltForm(BuiltForm&& other) noexcept;
    BuiltForm& operator=(BuiltForm&& other) noexcept;
    ~BuiltForm();

    // Creates the window's controls: frames at the bottom, then the other controls, those that take
    // the focus in Tab order on top (the order IsDialogMessage's Tab follows).
    static BuiltForm build(const forms::WindowDescription& window, HWND handle, PixelScale scale, HCURSOR hand,
                           const ControlFactory& makeOther = {});

    // Moves and resizes the controls and sets their fonts for another scale (the window's new dpi).
    void rescale(PixelScale scale);

    // The control of that name; throws std::out_of_range when the window has none.
    HWND control(std::string_view name) const;
    // The control's description; null for a window the builder did not make.
    const forms::ControlDescription* description(HWND control) const;
    // The controls that take the focus, in Tab order.
    const std::vector<HWND>& tabOrder() const { return tabOrder_; }

    // Answers WM_CTLCOLORSTATIC for a control with a text colour of its own; false for others.
    bool colourStatic(HWND control, HDC dc, LRESULT& brush) const;
    // Answers WM_SETCURSOR for a control with the hand pointer; false for others.
    bool setCursor(HWND control) const;

private:
    void release();
    void setFonts(PixelScale scale, bool redraw);

    const forms::WindowDescription* window_ = nullptr;
    std::vector<HWND> controls_;  // in the description's order
    std::vector<HWND> tabOrder_;
    std::vector<HFONT> fonts_;
    HCURSOR hand_ = nullptr;
};

// The window styles for the description's border, title bar, buttons and taskbar rule.
struct WindowStyle {
    DWORD style;
    DWORD exStyle;
};
WindowStyle windowStyle(const forms::WindowDescription& window);

// The window's outer rectangle on the screen for its client area laid out at the scale, with its
// frame at frameDpi (0: the system's); a centred window is centred on the work area.
RECT windowRect(const forms::WindowDescription& window, PixelScale scale, int frameDpi = 0);

}  // namespace tavrix::win32
