// The fit rule both front ends share: the dpi a window's client area is laid out at for the room
// the screen leaves, and where it is placed.
#include <gtest/gtest.h>

#include "forms/form1_form.h"
#include "forms/splash_form.h"
#include "forms/window_fit.h"

namespace tavrix::forms {
namespace {

TEST(WindowFit, LaysTheClientAreaOutAtTheLargestDpiThatFits) {
    // Form1's client area is 11775 x 10590 twips: 785 x 706 pixels at 96 dpi.
    struct Case {
        const char* what;
        TwipsRect client;
        int dpi;
        PixelSize frame, available;
        int fitted;
    };
    const TwipsRect form1 = form1Form().clientArea;
    for (const Case& c : {
             Case{"fits: unchanged", form1, 96, {6, 29}, {1280, 994}, 96},
             Case{"exactly fits", form1, 96, {0, 0}, {785, 706}, 96},
             Case{"one pixel short in height", form1, 96, {0, 0}, {785, 705}, 95},
             Case{"150 % on 1080 lines", form1, 144, {8, 31}, {1920, 1040}, 137},
             Case{"Qt at 1.5 on 1080 lines", form1, 96, {0, 25}, {1280, 720}, 94},
             Case{"narrow screen", form1, 120, {6, 29}, {700, 1000}, 84},
             Case{"tiny screen: the lowest dpi", form1, 96, {6, 29}, {200, 150}, lowestLayoutDpi},
             Case{"frame larger than the screen", splashForm().clientArea, 96, {400, 0}, {300, 300}, lowestLayoutDpi},
         }) {
        SCOPED_TRACE(c.what);
        const int fitted = fittingDpi(c.client, c.dpi, c.frame, c.available);
        EXPECT_EQ(fitted, c.fitted);
        if (fitted > lowestLayoutDpi) {
            EXPECT_LE(pixelsOfTwips(c.client.width, fitted) + c.frame.width, c.available.width);
            EXPECT_LE(pixelsOfTwips(c.client.height, fitted) + c.frame.height, c.available.height);
        }
    }
}

TEST(WindowFit, PlacesTheWindowInsideTheArea) {
    struct Case {
        PixelRect outer, area;
        int left, top;
    };
    for (const Case& c : {
             Case{{120, 0, 920, 750}, {0, 0, 1280, 1024}, 120, 0},       // inside: stays
             Case{{600, 400, 1400, 1150}, {0, 0, 1280, 1024}, 480, 274},  // off the bottom right
             Case{{-20, -20, 780, 700}, {0, 30, 1280, 1024}, 0, 30},      // off the top left, under a panel
             Case{{-20, -20, 1300, 1100}, {0, 0, 1280, 1024}, 0, 0},      // larger: top-left corner in
             Case{{1900, 10, 2500, 500}, {1920, 0, 3840, 1080}, 1920, 10}, // a second monitor
         }) {
        const PixelRect placed = placedInside(c.outer, c.area);
        EXPECT_EQ(placed.left, c.left);
        EXPECT_EQ(placed.top, c.top);
        EXPECT_EQ(placed.width(), c.outer.width());
        EXPECT_EQ(placed.height(), c.outer.height());
    }
}

}  // namespace
}  // namespace tavrix::forms
