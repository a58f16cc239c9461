#pragma once

#include <QPalette>
#include <QString>

#include "forms/accessible_description.h"

class QLabel;
class QWidget;

namespace tavrix::qt {

// Gives the widget what a screen reader reads of it: its name, and the role, value and default
// action that Qt's own accessibility of its kind would not give (a value label reads its caption
// with its text as the value, a link clicks itself). An alert is named when it is announced.
void describeForScreenReaders(QWidget& widget, const forms::AccessibleDescription& description);

// Tells a screen reader the window just shown: an alert speaks its name.
void announceShownWindow(QWidget& window, const forms::AccessibleDescription& description);

// Sets a value label's text and tells a screen reader the value changed.
void setValueText(QLabel& label, const QString& text);

// Tells a screen reader, not the screen, what just happened at the widget (as a new description).
void confirmToScreenReader(QWidget& widget, const QString& confirmation);

// The ratio of the lighter to the darker colour's relative luminance, 1 to 21 (WCAG 2).
double contrastRatio(const QColor& one, const QColor& other);

// The palette with each group's highlight darkened just enough that its highlighted text reads at
// 4.5:1 or more; a highlight that already does stays as it is.
QPalette readableHighlight(QPalette palette);

// Lets Qt WebEngine expose the page to screen readers, unless the user set its switch
// (QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY) either way. Call before the application exists.
void enablePageAccessibility();

}  // namespace tavrix::qt
