#pragma once

#include <QRect>

namespace tavrix {

// Window layouts are given in twips; 15 twips are one device-independent pixel (96 dpi), which Qt
// scales on high-dpi screens.
inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / twipsPerPixel; }

// A control's place in its container, in twips as its layout table gives it.
struct TwipsRect {
    int left, top, width, height;

    QRect toPixels() const {
        return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
    }
};

}  // namespace tavrix
