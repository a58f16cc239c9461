#include "ui/qt/group_box.h"

#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace tavrix::qt {

GroupBox::GroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void GroupBox::paintEvent(QPaintEvent* event) {
    if (!title().isEmpty()) {
        QGroupBox::paintEvent(event);
        return;
    }
    // The frame part of a group box as the style draws it, moved down to where a caption's middle
    // would put it.
    QStylePainter painter(this);
    QStyleOptionGroupBox box;
    initStyleOption(&box);
    QStyleOptionFrame frame;
    frame.QStyleOption::operator=(box);
    frame.features = box.features;
    frame.lineWidth = box.lineWidth;
    frame.midLineWidth = box.midLineWidth;
    frame.rect.setTop(frame.rect.top() + box.fontMetrics.height() / 2);
    painter.drawPrimitive(QStyle::PE_FrameGroupBox, frame);
}

}  // namespace tavrix::qt
