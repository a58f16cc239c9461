#pragma once

#include "forms/window_description.h"

class QWidget;

namespace tavrix::qt {

// Gives a top-level window's native window the window manager hints its description asks for and
// Qt does not set: an empty name for a window without a caption (Qt names it after the program),
// the taskbar state for a window kept out of the taskbar, and Motif hints that offer no resizing,
// as every window has a fixed border. Creates the native window; call it before showing. Does
// nothing on platforms other than X11.
void applyWindowManagerHints(QWidget& window, const forms::WindowDescription& description);

}  // namespace tavrix::qt
