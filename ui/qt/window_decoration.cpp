#include "ui/qt/window_decoration.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QStyleOptionTitleBar>
#include <QWindow>

namespace tavrix::qt {

bool drawsOwnTitleBar() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

WindowDecoration::WindowDecoration(QWidget& window, QMargins frame, Qt::WindowFlags buttons)
    : QWidget(&window), frame_(frame), buttons_(buttons) {
    setObjectName(QStringLiteral("decoration"));
    setGeometry(window.rect());
    lower();
    window.installEventFilter(this);
}

QMargins WindowDecoration::margins(const QStyle* style) {
    const int border = style ? style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) : 4;
    const int title = style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 24;
    return {border, title + border, border, border};
}

QRect WindowDecoration::titleBarRect() const {
    return QRect(frame_.left(), frame_.left(), width() - frame_.left() - frame_.right(), frame_.top() - frame_.left());
}

QStyleOptionTitleBar WindowDecoration::titleBarOption() const {
    const QWidget* shown = window();
    QStyleOptionTitleBar option;
    option.initFrom(this);
    option.rect = titleBarRect();
    option.text = shown->windowTitle();
    option.icon = shown->windowIcon();
    option.titleBarFlags = (shown->windowFlags() & Qt::WindowType_Mask) | buttons_;
    const bool active = shown->isActiveWindow();
    option.titleBarState = active ? Qt::WindowActive : Qt::WindowNoState;
    if (active) option.state |= QStyle::State_Active;
    option.subControls = QStyle::SC_All;
    option.activeSubControls = pressed_;
    if (pressed_ != QStyle::SC_None) option.state |= QStyle::State_Sunken;
    return option;
}

QStyle::SubControl WindowDecoration::partAt(QPoint point) const {
    const QStyleOptionTitleBar option = titleBarOption();
    if (!option.rect.contains(point)) return QStyle::SC_None;
    const QStyle::SubControl part = style()->hitTestComplexControl(QStyle::CC_TitleBar, &option, point, this);
    switch (part) {
        case QStyle::SC_TitleBarCloseButton:
            return option.titleBarFlags & Qt::WindowSystemMenuHint ? part : QStyle::SC_TitleBarLabel;
        case QStyle::SC_TitleBarMinButton:
            return option.titleBarFlags & Qt::WindowMinimizeButtonHint ? part : QStyle::SC_TitleBarLabel;
        case QStyle::SC_TitleBarSysMenu: return QStyle::SC_TitleBarSysMenu;
        default: return QStyle::SC_TitleBarLabel;
    }
}

void WindowDecoration::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame border;
    border.initFrom(this);
    border.rect = rect();
    border.lineWidth = frame_.left();
    style()->drawPrimitive(QStyle::PE_FrameWindow, &border, &painter, this);
    const QStyleOptionTitleBar option = titleBarOption();
    style()->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, this);
}

void WindowDecoration::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QStyle::SubControl part = partAt(event->position().toPoint());
    if (part == QStyle::SC_TitleBarCloseButton || part == QStyle::SC_TitleBarMinButton) {
        pressed_ = part;
        update();
    } else if (part != QStyle::SC_None && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
    }
}

void WindowDecoration::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void WindowDecoration::mouseReleaseEvent(QMouseEvent* event) {
    const QStyle::SubControl pressed = pressed_;
    pressed_ = QStyle::SC_None;
    update();
    if (event->button() != Qt::LeftButton || partAt(event->position().toPoint()) != pressed) return;
    if (pressed == QStyle::SC_TitleBarCloseButton) window()->close();
    if (pressed == QStyle::SC_TitleBarMinButton) window()->showMinimized();
}

// Follows the window's title, icon and activation. Its size stays: a window made larger for a
// moment (see keepFixedSizeThrough) shows its client area and frame as they were.
bool WindowDecoration::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent()) {
        switch (event->type()) {
            case QEvent::WindowTitleChange:
            case QEvent::WindowIconChange:
            case QEvent::ActivationChange: update(); break;
            default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavrix::qt
