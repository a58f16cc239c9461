#pragma once

#include <span>

#include "twips.h"

namespace tavrix::ui {

enum class ControlKind { Frame, CaptionLabel, ValueLabel, ListBox, Picture, LinkLabel, Button, Browser };

// One frame or control of the main window: its name, kind, container (empty: the client area),
// caption and place in its container.
struct ControlLayout {
    const char* name;
    ControlKind kind;
    const char* container;
    const char* caption;
    TwipsRect place;
};

// The main window's client area.
inline constexpr TwipsRect form1ClientArea{1845, 330, 11775, 10590};

// Every frame and control of the main window, containers before what they hold.
std::span<const ControlLayout> form1Layout();

// The caption every value label has until the load step blanks it.
inline constexpr char valueLabelPlaceholder[] = "Label21";

}  // namespace tavrix::ui
