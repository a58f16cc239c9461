#include "forms/splash_form.h"

#include <array>

namespace tavrix::forms {

namespace {

using K = ControlKind;

// Label2 is 3210 twips wide, 75 more than its first design: in Liberation Serif, the metric twin
// of "Times New Roman" shipped with the Linux build, its text is 212 to 213 pixels wide and would
// be clipped at 3135. It has no border and the window's background, so only the text shows it.
// Columns: name, kind, container, caption, place, font, text colour.
// clang-format off
constexpr std::array controls{
    ControlDescription{"Label1", K::CaptionLabel, "", "Tavrix", {960, 120, 1335, 495},
                       {"MS Sans Serif", 18, 400}, pureBlue},
    ControlDescription{"Label2", K::CaptionLabel, "", "Scanning Please Wait......", {240, 720, 3210, 375},
                       {"Times New Roman", 15.75, 400}},
};
// clang-format on

constexpr WindowDescription splash{
    .name = "frmSplash",
    .title = "",
    .clientArea = {0, 0, 3630, 1170},
    .centred = true,
    .border = Border::FixedDialog,
    .titleBar = false,
    .systemMenu = false,
    .minimizeButton = false,
    .maximizeButton = false,
    .inTaskbar = false,
    .controls = controls,
    .announced = "Label2",
};

}  // namespace

const WindowDescription& splashForm() { return splash; }

}  // namespace tavrix::forms
