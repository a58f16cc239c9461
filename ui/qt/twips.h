#pragma once

#include <QRect>

#include "window_description.h"

namespace tavrix::ui {

// Layouts are given in twips; Qt places widgets in device-independent pixels (96 dpi), which it
// scales on high-dpi screens.
constexpr int twipsToPixels(int twips) { return forms::pixelsOfTwips(twips); }

constexpr QRect toPixels(const forms::TwipsRect& place) {
    return {twipsToPixels(place.left), twipsToPixels(place.top), twipsToPixels(place.width),
            twipsToPixels(place.height)};
}

}  // namespace tavrix::ui
