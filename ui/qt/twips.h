#pragma once

#include <QRect>

#include "window_description.h"

namespace tavrix::ui {

// Layouts are given in twips; 15 twips are one device-independent pixel (96 dpi), which Qt scales
// on high-dpi screens.
inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / twipsPerPixel; }

constexpr QRect toPixels(const forms::TwipsRect& place) {
    return {twipsToPixels(place.left), twipsToPixels(place.top), twipsToPixels(place.width),
            twipsToPixels(place.height)};
}

}  // namespace tavrix::ui
