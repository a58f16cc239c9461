#pragma once

#include "forms/window_description.h"

namespace tavrix::forms {

// Sizes and rectangles on the screen, in the pixels of the front end that asks.
struct PixelSize {
    int width = 0;
    int height = 0;
};

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The lowest dpi a window is laid out at, however small the screen.
inline constexpr int lowestLayoutDpi = 48;

// The dpi to lay the client area out at: dpi itself when the area with its frame (which keeps its
// size) fits the available size there, else the largest below it that fits, never below
// lowestLayoutDpi.
int fittingDpi(const TwipsRect& clientArea, int dpi, PixelSize frame, PixelSize available);

// The rectangle moved, not resized, to lie inside the area; one that lies inside already stays
// where it is, one larger than the area keeps its top-left corner there.
PixelRect placedInside(PixelRect outer, const PixelRect& area);

}  // namespace tavrix::forms
