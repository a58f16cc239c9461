#pragma once

#include <windows.h>

#include "forms/window_description.h"
#include "ui/win32/pixel_scale.h"

namespace tavrix::win32 {

// The scale to lay the window out at: the screen's own when the window with its frame fits the
// work area at it, else the largest that fits (fonts and controls alike), but never below 48 dpi;
// the frame stays at the screen's dpi.
PixelScale fittingScale(const forms::WindowDescription& window, PixelScale screen, const RECT& workArea);

// The window's outer rectangle moved, not resized, to lie inside the work area; one that lies
// inside already stays where it is, one larger than the work area keeps its top-left corner there.
RECT placedInside(RECT outer, const RECT& workArea);

}  // namespace tavrix::win32
