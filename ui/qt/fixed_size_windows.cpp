#include "ui/qt/fixed_size_windows.h"

#include <QtCore/private/qobject_p.h>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <vector>

namespace tavrix::qt {

bool appliesWindowConfiguration(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::MetaCall || !receiver->inherits("QtWaylandClient::QWaylandWindow")) return false;
    const int apply = receiver->metaObject()->indexOfMethod("applyConfigure()");
    return apply < 0 || static_cast<QMetaCallEvent*>(event)->id() == apply;
}

bool deliverKeepingFixedSizes(const std::function<bool()>& deliver) {
    std::vector<QPointer<QWidget>> lifted;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QWindow* window = widget->windowHandle();
        if (!window || !widget->isVisible() || widget->minimumSize() != widget->maximumSize()) continue;
        window->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        lifted.emplace_back(widget);
    }
    const bool result = deliver();
    for (const QPointer<QWidget>& widget : lifted) {
        if (!widget || !widget->windowHandle()) continue;
        QWindow* window = widget->windowHandle();
        if (window->size() == widget->maximumSize()) {
            window->setMaximumSize(widget->maximumSize());
        } else {
            window->setWindowStates(Qt::WindowNoState);
        }
    }
    return result;
}

}  // namespace tavrix::qt
