#include "screen_fit.h"

#include "form_builder.h"

namespace tavrix::win32 {

PixelScale fittingScale(const forms::WindowDescription& window, PixelScale screen, const RECT& workArea) {
    const int lowest = 48;
    for (int dpi = screen.dpi; dpi > lowest; --dpi) {
        const RECT outer = windowRect(window, PixelScale{dpi}, screen.dpi);
        if (outer.right - outer.left <= workArea.right - workArea.left &&
            outer.bottom - outer.top <= workArea.bottom - workArea.top)
            return PixelScale{dpi};
    }
    return PixelScale{lowest};
}

RECT placedInside(RECT outer, const RECT& workArea) {
    int dx = 0, dy = 0;
    if (outer.right > workArea.right) dx = workArea.right - outer.right;
    if (outer.left + dx < workArea.left) dx = workArea.left - outer.left;
    if (outer.bottom > workArea.bottom) dy = workArea.bottom - outer.bottom;
    if (outer.top + dy < workArea.top) dy = workArea.top - outer.top;
    OffsetRect(&outer, dx, dy);
    return outer;
}

}  // namespace tavrix::win32
