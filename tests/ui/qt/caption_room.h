#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "forms/window_description.h"

// Whether the control shows a caption of its layout's own (not a value the scan writes).
inline bool hasFixedCaption(const tavrix::forms::ControlDescription& layout) {
    using tavrix::forms::ControlKind;
    return layout.kind == ControlKind::CaptionLabel || layout.kind == ControlKind::LinkLabel ||
           layout.kind == ControlKind::Button || (layout.kind == ControlKind::Frame && *layout.caption);
}

// The width a label, button or frame leaves for its one line of text.
inline int textRoom(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        // The rectangle the style draws a button's text into, inside its bevel.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    }
    return widget->width() - 16;  // a frame's caption starts a few pixels in from its left border
}
