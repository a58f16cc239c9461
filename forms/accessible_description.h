#pragma once

#include <string>

#include "forms/window_description.h"

namespace tavrix::forms {

// What a control is to a screen reader, the same on every platform.
enum class AccessibleRole { Window, Alert, Grouping, Label, Text, List, Link, Button, Picture, Browser };

// How a screen reader reads one window or control: its role, its name, whether the control's text
// is its value (a value label reads "Manufacturer" with the value "Acme", the text box its text)
// and whether its default action clicks it.
struct AccessibleDescription {
    AccessibleRole role;
    std::string name;  // empty: none
    bool textIsValue = false;
    bool clickable = false;
};

// The control as a screen reader reads it. A value label is named by the caption the table of the
// values gives the value it shows, a control with hints by the control they name or by its own
// name, any other by its caption.
AccessibleDescription accessibleDescription(const WindowDescription& window, const ControlDescription& control);
// The window itself: an alert named by the announced control's caption, or a window named by its title.
AccessibleDescription accessibleDescription(const WindowDescription& window);

// How a list row reads: the module's slot, size and speed as the three lists show them, the
// present ones joined by ", " ("DIMM0, 4096 MB, 1333 MHz").
std::string moduleReading(const std::string& slot, const std::string& size, const std::string& speed);

}  // namespace tavrix::forms
