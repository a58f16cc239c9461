#include "ui/win32/pixel_scale.h"

#include <cmath>

namespace tavrix::win32 {

PixelScale PixelScale::ofScreen() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return {dpi > 0 ? dpi : 96};
}

RECT PixelScale::rect(const forms::TwipsRect& place) const {
    const int left = pixels(place.left);
    const int top = pixels(place.top);
    return {left, top, left + pixels(place.width), top + pixels(place.height)};
}

int PixelScale::fontHeight(double points) const { return -static_cast<int>(std::lround(points * dpi / 72.0)); }

}  // namespace tavrix::win32
