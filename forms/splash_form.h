#pragma once

#include "forms/window_description.h"

namespace tavrix::forms {

// The scanning splash frmSplash: Label1 and Label2 on a centred window without a title bar.
const WindowDescription& splashForm();

// Timer1 ticks this often, in milliseconds, from the splash's load until its unload.
inline constexpr int splashTimerInterval = 10;

}  // namespace tavrix::forms
