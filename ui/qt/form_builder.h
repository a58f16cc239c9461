#pragma once

#include <QHash>
#include <QMargins>
#include <QString>
#include <functional>

#include <Qt>

#include "forms/window_description.h"

class QWidget;

namespace tavrix::qt {

// Makes a control the builder does not make itself (the browser), inside its container.
using ControlFactory = std::function<QWidget*(const forms::ControlDescription&, QWidget* container)>;

// The window flags that give a top-level widget the description's border, title bar, buttons and
// taskbar rule; where the window draws its own title bar (drawsOwnTitleBar), Qt draws none.
Qt::WindowFlags windowFlags(const forms::WindowDescription& window);

// The title bar and the buttons on it that the description gives, as window flags.
Qt::WindowFlags titleBarButtons(const forms::WindowDescription& window);

// The frame around a window with a title bar: the one the window draws itself where it draws its
// own (drawsOwnTitleBar), else the window manager's as far as it can be told before the window
// is shown (the style's title bar and frame, as the window would draw them); none for a window
// without a title bar.
QMargins windowFrame(const forms::WindowDescription& window);

// The dpi to lay the window out at: 96, the layout's own, when its client area with the frame fits
// the primary screen's available geometry, else the largest that fits (fonts and pictures too).
int layoutDpi(const forms::WindowDescription& window, QMargins frame);

// Gives the window its description for screen readers, the title, icon, default font and fixed
// client size at the dpi,
// and its position unless it is centred; a window laid out smaller to fit its screen is placed
// inside the screen's available geometry.
// Where the window draws its own title bar, its fixed size holds the frame too.
void applyWindow(QWidget& widget, const forms::WindowDescription& window, int dpi = 96);

// The widget to build the window's controls in, after applyWindow: the window itself, or where it
// draws its own title bar, a client area inside the border and title bar it is given here.
QWidget* clientArea(QWidget& widget, const forms::WindowDescription& window);

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
                                       const ControlFactory& makeOther = {}, int dpi = 96);

}  // namespace tavrix::qt
