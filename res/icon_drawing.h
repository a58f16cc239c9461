#pragma once

// The program icon's drawing: a white lower-case i on a dark-blue disc with a black rim, on a
// 32 by 32 grid. res/draw_pictures.cpp sets the 32 by 32 image's pixels from it, and the icon
// theme's larger images and its SVG draw the same shapes scaled (packaging/icon_png.cpp).
namespace tavrix::icon {

constexpr int grid = 32;

// A rectangle of grid cells, edges included.
struct Cells {
    int left, top, right, bottom;
};

// The disc is centred on the grid; a pixel whose centre lies farther than discRadius from the
// centre is transparent, one farther than discRadius - rimWidth is rim.
constexpr double discRadius = grid / 2.0 - 0.3;
constexpr double rimWidth = 2.0;

// The letter: its dot (the four corner cells left out, a round dot when drawn larger), top serif,
// stem and foot.
constexpr Cells dot = {14, 6, 17, 9};
constexpr Cells letter[] = {{12, 12, 17, 13}, {14, 12, 17, 24}, {12, 23, 19, 25}};

struct Colour {
    unsigned char red, green, blue;
};
constexpr Colour rim = {0, 0, 0};
constexpr Colour disc = {0, 0, 128};
constexpr Colour ink = {255, 255, 255};

}  // namespace tavrix::icon
