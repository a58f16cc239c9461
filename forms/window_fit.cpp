#include "forms/window_fit.h"

namespace tavrix::forms {

int fittingDpi(const TwipsRect& clientArea, int dpi, PixelSize frame, PixelSize available) {
    for (int candidate = dpi; candidate > lowestLayoutDpi; --candidate) {
        if (pixelsOfTwips(clientArea.width, candidate) + frame.width <= available.width &&
            pixelsOfTwips(clientArea.height, candidate) + frame.height <= available.height)
            return candidate;
    }
    return lowestLayoutDpi;
}

PixelRect placedInside(PixelRect outer, const PixelRect& area) {
    int dx = 0, dy = 0;
    if (outer.right > area.right) dx = area.right - outer.right;
    if (outer.left + dx < area.left) dx = area.left - outer.left;
    if (outer.bottom > area.bottom) dy = area.bottom - outer.bottom;
    if (outer.top + dy < area.top) dy = area.top - outer.top;
    return {outer.left + dx, outer.top + dy, outer.right + dx, outer.bottom + dy};
}

}  // namespace tavrix::forms
