#include "ui/win32/screen_fit.h"

#include "forms/window_fit.h"
#include "ui/win32/form_builder.h"

namespace tavrix::win32 {

PixelScale fittingScale(const forms::WindowDescription& window, PixelScale screen, const RECT& workArea) {
    const RECT outer = windowRect(window, screen, screen.dpi);
    const RECT client = screen.rect(window.clientArea);
    const forms::PixelSize frame{(outer.right - outer.left) - (client.right - client.left),
                                 (outer.bottom - outer.top) - (client.bottom - client.top)};
    return PixelScale{forms::fittingDpi(window.clientArea, screen.dpi, frame,
                                        {workArea.right - workArea.left, workArea.bottom - workArea.top})};
}

RECT placedInside(RECT outer, const RECT& workArea) {
    const forms::PixelRect placed = forms::placedInside({outer.left, outer.top, outer.right, outer.bottom},
                                                        {workArea.left, workArea.top, workArea.right, workArea.bottom});
    return {placed.left, placed.top, placed.right, placed.bottom};
}

}  // namespace tavrix::win32
