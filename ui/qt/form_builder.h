#pragma once

#include <QHash>
#include <QString>
#include <functional>

#include <Qt>

#include "window_description.h"

class QWidget;

namespace tavrix::ui {

// Makes a control the builder does not make itself (the browser), inside its container.
using ControlFactory = std::function<QWidget*(const forms::ControlDescription&, QWidget* container)>;

// The window flags that give a top-level widget the description's border, title bar, buttons and
// taskbar rule.
Qt::WindowFlags windowFlags(const forms::WindowDescription& window);

// Gives the window the description's title, icon, default font and fixed client size, and its
// position unless it is centred.
void applyWindow(QWidget& widget, const forms::WindowDescription& window);

// Gives a window just shown the focus: its first control gets the focus, and the window is raised
// and activated (without a window manager, Qt gives it the X input focus once it is mapped).
void activateShownWindow(QWidget& window, QWidget* firstControl);

// Chains the description's focusable controls in Tab order. A control that takes a focus proxy
// after this (the browser, once its page's view exists) needs it again.
void applyTabOrder(const forms::WindowDescription& window, const QHash<QString, QWidget*>& widgets);

// Turns the description's controls into widgets in clientArea, each named, placed, with its font,
// text colour and pointer, and chains the focusable ones in Tab order. Frames become group boxes
// (GroupBox), labels one-line plain-text labels of fixed size, the text box a read-only multi-line
// TextBox with a vertical scroll bar, lists single-selection unsorted list boxes without a
// horizontal scroll bar (a long row is cut at the edge), buttons push buttons that are never a
// default button and are chosen by Enter and Space, pictures empty labels; everything else comes
// from makeOther. Returns every widget by name.
QHash<QString, QWidget*> buildControls(const forms::WindowDescription& window, QWidget* clientArea,
                                       const ControlFactory& makeOther = {});

}  // namespace tavrix::ui
