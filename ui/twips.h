#pragma once

#include <QRect>

namespace tavrix::ui {

// Layouts are given in twips; 15 twips are one device-independent pixel (96 dpi), which Qt scales
// on high-dpi screens.
inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / twipsPerPixel; }

// A control's place in its container, in twips.
struct TwipsRect {
    int left, top, width, height;

    constexpr QRect toPixels() const {
        return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
    }
};

}  // namespace tavrix::ui
