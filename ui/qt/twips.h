#pragma once

#include <QRect>

#include "forms/window_description.h"

namespace tavrix::qt {

// Layouts are given in twips; Qt places widgets in device-independent pixels (96 dpi), which it
// scales on high-dpi screens. A window too large for the screen is laid out at a lower dpi.
constexpr int twipsToPixels(int twips, int dpi = 96) { return forms::pixelsOfTwips(twips, dpi); }

constexpr QRect toPixels(const forms::TwipsRect& place, int dpi = 96) {
    return {twipsToPixels(place.left, dpi), twipsToPixels(place.top, dpi), twipsToPixels(place.width, dpi),
            twipsToPixels(place.height, dpi)};
}

}  // namespace tavrix::qt
