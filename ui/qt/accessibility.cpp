#include "ui/qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>

namespace tavrix::qt {

namespace {

using forms::AccessibleRole;

constexpr char roleProperty[] = "tavrixAccessibleRole";
constexpr char valueProperty[] = "tavrixTextIsValue";

// A widget whose text a screen reader reads but cannot change.
class ReadOnlyTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    using QAccessibleWidget::text;
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

protected:
    virtual QString shown() const = 0;
};

// A value label: named by its value's caption, its text the value.
class ValueLabelAccessible : public ReadOnlyTextAccessible {
public:
    explicit ValueLabelAccessible(QLabel* label) : ReadOnlyTextAccessible(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }
    // Named by its caption, not labelled by the frame around it.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation) const override {
        return {};
    }

private:
    QString shown() const override { return static_cast<const QLabel*>(widget())->text(); }
};

// A window that announces itself: its text is its name, inserted when it is shown, so that the
// screen reader hears it even when the window is gone before it could ask.
class AlertAccessible : public ReadOnlyTextAccessible {
public:
    explicit AlertAccessible(QWidget* window) : ReadOnlyTextAccessible(window, QAccessible::AlertMessage) {}

private:
    QString shown() const override { return widget()->accessibleName(); }
};

// A picture or label that starts something when clicked: a link whose press action is a click.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Link) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    // Posted, so that the caller has its answer before the click's consequences (a message box) run.
    void doAction(const QString& action) override {
        if (action != pressAction()) return;
        QWidget* target = widget();
        const QPointF centre = QRectF(target->rect()).center();
        const QPointF global = target->mapToGlobal(centre);
        QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                                            Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                                                            Qt::NoButton, Qt::NoModifier));
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* describedWidget(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    const QVariant role = widget->property(roleProperty);
    if (!role.isValid()) return nullptr;
    switch (static_cast<AccessibleRole>(role.toInt())) {
        case AccessibleRole::Window: return new QAccessibleWidget(widget, QAccessible::Window);
        case AccessibleRole::Alert: return new AlertAccessible(widget);
        case AccessibleRole::Link: return new LinkAccessible(widget);
        case AccessibleRole::Label:
            if (auto* label = qobject_cast<QLabel*>(widget); label && widget->property(valueProperty).toBool())
                return new ValueLabelAccessible(label);
            return nullptr;
        default: return nullptr;
    }
}

double luminance(const QColor& colour) {
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

}  // namespace

void describeForScreenReaders(QWidget& widget, const forms::AccessibleDescription& description) {
    static const bool installed = [] {
        QAccessible::installFactory(describedWidget);
        return true;
    }();
    (void)installed;
    widget.setProperty(roleProperty, static_cast<int>(description.role));
    widget.setProperty(valueProperty, description.textIsValue);
    if (description.role != AccessibleRole::Alert) widget.setAccessibleName(QString::fromStdString(description.name));
}

void announceShownWindow(QWidget& window, const forms::AccessibleDescription& description) {
    if (description.role != AccessibleRole::Alert) return;
    const QString announcement = QString::fromStdString(description.name);
    window.setAccessibleName(announcement);
    if (!QAccessible::isActive()) return;
    QAccessibleTextInsertEvent inserted(&window, 0, announcement);
    QAccessible::updateAccessibility(&inserted);
}

void setValueText(QLabel& label, const QString& text) {
    const QString before = label.text();
    label.setText(text);
    if (before == text || !QAccessible::isActive()) return;
    QAccessibleTextUpdateEvent changed(&label, 0, before, text);
    QAccessible::updateAccessibility(&changed);
}

void confirmToScreenReader(QWidget& widget, const QString& confirmation) {
    widget.setAccessibleDescription(QString());
    widget.setAccessibleDescription(confirmation);
}

double contrastRatio(const QColor& one, const QColor& other) {
    const double a = luminance(one) + 0.05, b = luminance(other) + 0.05;
    return a > b ? a / b : b / a;
}

QPalette readableHighlight(QPalette palette) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QColor highlight = palette.color(group, QPalette::Highlight);
        const QColor text = palette.color(group, QPalette::HighlightedText);
        const bool lightText = luminance(text) > luminance(highlight);
        for (int step = 0; step < 100 && contrastRatio(highlight, text) < 4.5; ++step)
            highlight = lightText ? highlight.darker(102) : highlight.lighter(102);
        palette.setColor(group, QPalette::Highlight, highlight);
    }
    return palette;
}

void enablePageAccessibility() {
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

}  // namespace tavrix::qt
