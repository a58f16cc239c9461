#pragma once

#include <windows.h>

#include <string>

#include "forms/accessible_description.h"

namespace tavrix::win32 {

// Makes the window or control answer a screen reader (MSAA, WM_GETOBJECT) from its description:
// the system's standard object for its kind, with the role, name, value (a value label's and the
// text box's text), description and default action ("Press": a button's click, a link's click
// notification to its window) that the description gives. A list's rows read as setRowReading
// says. What it keeps goes with the window.
void describeForScreenReaders(HWND window, const forms::AccessibleDescription& description);

// The list's row reads as the reading (the whole module), where the list has that row.
void setRowReading(HWND list, int row, const std::string& reading);

// Tells a screen reader the control's value changed (its text, for a value label).
void valueChanged(HWND control);

// Tells a screen reader, not the screen, what just happened at the control, as its description.
void confirmToScreenReader(HWND control, const std::string& confirmation);

// Tells a screen reader the window just shown: an alert is announced.
void announceShownWindow(HWND window, const forms::AccessibleDescription& description);

}  // namespace tavrix::win32
