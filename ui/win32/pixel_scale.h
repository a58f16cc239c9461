#pragma once

#include <windows.h>

#include "forms/window_description.h"

namespace tavrix::win32 {

// Twips to pixels at the screen's real dpi: 1440 / dpi twips a pixel (15 at 96 dpi).
struct PixelScale {
    int dpi = 96;

    // The dpi of the primary screen, as the process (system-dpi-aware) sees it.
    static PixelScale ofScreen();

    int pixels(int twips) const { return forms::pixelsOfTwips(twips, dpi); }
    RECT rect(const forms::TwipsRect& place) const;
    // A font's height in pixels for its size in points, negative as CreateFont wants a character height.
    int fontHeight(double points) const;
};

}  // namespace tavrix::win32
