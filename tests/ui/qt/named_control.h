#pragma once

#include <QLatin1String>

// A window's control (or timer) by the name its layout gives it, as the window's own code and the
// Win32 tests find them; the window is loaded first, as the program's first use of a control does.
template <class Control, class Window>
Control* namedControl(Window& window, const char* name) {
    window.load();
    return window.template findChild<Control*>(QLatin1String(name));
}
