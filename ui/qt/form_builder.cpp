#include "ui/qt/form_builder.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QListWidget>
#include <QPalette>
#include <QWidget>

#include <stdexcept>

#include "forms/window_fit.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/group_box.h"
#include "ui/qt/layout_fonts.h"
#include "ui/qt/push_button.h"
#include "ui/qt/text_box.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_decoration.h"
#include "ui/qt/window_pictures.h"

namespace tavrix::qt {

namespace {

using forms::ControlDescription;
using forms::ControlKind;

// Each widget is described for screen readers before anything about it changes, since Qt keeps
// the accessible object it makes for the first change.
QWidget* makeControl(const forms::WindowDescription& window, const ControlDescription& control, QWidget* container,
                     const ControlFactory& makeOther) {
    const QString caption = QString::fromLatin1(control.caption);
    const forms::AccessibleDescription accessible = forms::accessibleDescription(window, control);
    auto described = [&accessible](auto* widget) {
        describeForScreenReaders(*widget, accessible);
        return widget;
    };
    switch (control.kind) {
        case ControlKind::Frame: return described(new GroupBox(caption, container));
        case ControlKind::CaptionLabel:
        case ControlKind::ValueLabel:
        case ControlKind::LinkLabel:
        case ControlKind::Picture: {
            auto* label = described(new QLabel(container));
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(false);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAutoFillBackground(control.kind != ControlKind::Picture);
            label->setText(caption);
            return label;
        }
        case ControlKind::TextBox: {
            auto* text = described(new TextBox(container));
            text->setReadOnly(true);
            text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            text->setTabChangesFocus(true);
            text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            return text;
        }
        case ControlKind::ListBox: {
            auto* list = described(new QListWidget(container));
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setSortingEnabled(false);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setTextElideMode(Qt::ElideNone);
            list->setPalette(readableHighlight(list->palette()));
            return list;
        }
        case ControlKind::Button: return described(new PushButton(caption, container));
        case ControlKind::Browser: break;
    }
    QWidget* other = makeOther ? makeOther(control, container) : nullptr;
    if (!other) throw std::logic_error(std::string("no widget for control ") + control.name);
    return described(other);
}

// A fixed caption wider than its label (at a reduced scale the font's whole-pixel size shrinks
// less than the label) is set with its letters condensed just enough to fit.
void condenseToFit(QWidget* widget, const ControlDescription& control) {
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label || (control.kind != ControlKind::CaptionLabel && control.kind != ControlKind::LinkLabel)) return;
    const int room = label->contentsRect().width();
    QFont font = label->font();
    int stretch = 100;
    while (stretch > 50 && QFontMetrics(font).horizontalAdvance(label->text()) > room) font.setStretch(--stretch);
    if (stretch < 100) label->setFont(font);
}

}  // namespace

Qt::WindowFlags windowFlags(const forms::WindowDescription& window) {
    if (!window.titleBar) return Qt::SplashScreen | Qt::FramelessWindowHint;
    const Qt::WindowFlags kind = window.inTaskbar ? Qt::Window : Qt::Dialog;
    // Qt would draw a title bar for a window with buttons, frameless or not.
    if (drawsOwnTitleBar()) return kind | Qt::FramelessWindowHint;
    Qt::WindowFlags flags = kind | Qt::CustomizeWindowHint | titleBarButtons(window);
    if (window.border == forms::Border::FixedSingle) flags |= Qt::MSWindowsFixedSizeDialogHint;
    return flags;
}

Qt::WindowFlags titleBarButtons(const forms::WindowDescription& window) {
    if (!window.titleBar) return {};
    Qt::WindowFlags flags = Qt::WindowTitleHint;
    if (window.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (window.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    if (window.maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

QMargins windowFrame(const forms::WindowDescription& window) {
    if (!window.titleBar) return {};
    return WindowDecoration::margins(QApplication::style());
}

int layoutDpi(const forms::WindowDescription& window, QMargins frame) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    const QRect available = screen->availableGeometry();
    return forms::fittingDpi(window.clientArea, 96, {frame.left() + frame.right(), frame.top() + frame.bottom()},
                             {available.width(), available.height()});
}

void applyWindow(QWidget& widget, const forms::WindowDescription& window, int dpi) {
    describeForScreenReaders(widget, forms::accessibleDescription(window));
    widget.setObjectName(QString::fromLatin1(window.name));
    widget.setWindowTitle(QString::fromLatin1(window.title));
    widget.setWindowIcon(programIcon());
    widget.setFont(defaultLayoutFont(false, dpi));
    QRect client = toPixels(window.clientArea, dpi);
    if (!window.centred && dpi != 96) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect outer = client.marginsAdded(windowFrame(window));
            const QRect area = screen->availableGeometry();
            const forms::PixelRect placed =
                forms::placedInside({outer.left(), outer.top(), outer.right() + 1, outer.bottom() + 1},
                                    {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
            client.translate(placed.left - outer.left(), placed.top - outer.top());
        }
    }
    if (!window.centred) widget.setGeometry(client);
    const bool ownFrame = window.titleBar && drawsOwnTitleBar();
    widget.setFixedSize(ownFrame ? client.size().grownBy(windowFrame(window)) : client.size());
}

QWidget* clientArea(QWidget& widget, const forms::WindowDescription& window) {
    if (!window.titleBar || !drawsOwnTitleBar()) return &widget;
    const QMargins frame = windowFrame(window);
    new WindowDecoration(widget, frame, titleBarButtons(window) & ~Qt::WindowMaximizeButtonHint);
    auto* client = new QWidget(&widget);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setGeometry(widget.rect().marginsRemoved(frame));
    return client;
}

void activateShownWindow(QWidget& window, QWidget* firstControl) {
    if (firstControl) firstControl->setFocus(Qt::ActiveWindowFocusReason);
    window.raise();
    window.activateWindow();
}

void applyTabOrder(const forms::WindowDescription& window, const QHash<QString, QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (const ControlDescription* control : window.tabOrder()) {
        QWidget* next = widgets.value(QString::fromLatin1(control->name));
        if (previous && next) QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

QHash<QString, QWidget*> buildControls(const forms::WindowDescription& window, QWidget* clientArea,
                                       const ControlFactory& makeOther, int dpi) {
    QHash<QString, QWidget*> widgets;
    for (const ControlDescription& control : window.controls) {
        QWidget* container = *control.container ? widgets.value(QString::fromLatin1(control.container)) : clientArea;
        if (!container) throw std::logic_error(std::string("container not built before ") + control.name);
        QWidget* widget = makeControl(window, control, container, makeOther);
        widget->setObjectName(QString::fromLatin1(control.name));
        widget->setGeometry(toPixels(control.place, dpi));
        widget->setFont(layoutFont(control.font, dpi));
        if (control.textColour) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText,
                             QColor(control.textColour->red, control.textColour->green, control.textColour->blue));
            widget->setPalette(palette);
        }
        if (control.pointer == forms::Pointer::Hand) widget->setCursor(handCursor());
        condenseToFit(widget, control);
        widgets.insert(widget->objectName(), widget);
    }
    const std::vector<const ControlDescription*> stack = window.topToBottom();
    for (auto control = stack.rbegin(); control != stack.rend(); ++control)
        widgets.value(QString::fromLatin1((*control)->name))->raise();
    applyTabOrder(window, widgets);
    return widgets;
}

}  // namespace tavrix::qt
