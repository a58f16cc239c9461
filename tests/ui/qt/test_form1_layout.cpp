// The main window against its layout table: every frame and control in place, with its caption,
// font and colour; captions that fit; the window's fixed frame, focus and Tab order; cursors.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

#include "forms/form1_form.h"
#include "scan/machine_file.h"
#include "tests/ui/qt/caption_room.h"
#include "tests/ui/qt/fake_desktop.h"
#include "tests/ui/qt/named_control.h"
#include "ui/qt/form1.h"
#include "ui/qt/twips.h"

using tavrix::qt::Form1;
using tavrix::ModuleList;
using tavrix::ValueLabel;
using tavrix::forms::ControlKind;
using ControlLayout = tavrix::forms::ControlDescription;

namespace {

class Form1Layout : public ::testing::Test {
protected:
    std::unique_ptr<tavrix::ManagementProvider> provider =
        tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
    FakeDesktop desktop;
    Form1 form{*provider, desktop.services(), tavrix::TextForm()};

    QWidget* widget(const ControlLayout& layout) { return form.control(QString::fromLatin1(layout.name)); }
};

QString shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    return {};
}

}  // namespace

TEST_F(Form1Layout, EveryControlSitsInItsContainerAtItsPlace) {
    for (const ControlLayout& layout : tavrix::forms::form1Form().controls) {
        SCOPED_TRACE(layout.name);
        QWidget* control = widget(layout);
        ASSERT_NE(control, nullptr);
        const QString container = *layout.container ? QString::fromLatin1(layout.container)
                                                    : QStringLiteral("Form1");
        EXPECT_EQ(control->parentWidget()->objectName(), container);
        EXPECT_EQ(control->geometry(), tavrix::qt::toPixels(layout.place));
    }
    // Frame1 starts above the client area; the lookup page fills Frame9 below its caption row.
    EXPECT_EQ(form.control("Frame1")->geometry(), QRect(0, -8, 785, 713));
    EXPECT_EQ(namedControl<QWebEngineView>(form, "WB")->geometry(), QRect(0, 16, 769, 289));
    EXPECT_EQ(namedControl<QLabel>(form, "Image1")->pixmap().size(), QSize(152, 68));
    // The browser keeps nothing on disk.
    EXPECT_TRUE(namedControl<QWebEngineView>(form, "WB")->page()->profile()->isOffTheRecord());
}

TEST_F(Form1Layout, CaptionsFontsAndColoursFollowTheLayoutAndFixedCaptionsFit) {
    for (const ControlLayout& layout : tavrix::forms::form1Form().controls) {
        SCOPED_TRACE(layout.name);
        QWidget* control = widget(layout);
        const bool bold = layout.kind == ControlKind::CaptionLabel ||
                          (layout.kind == ControlKind::Frame && QLatin1String(layout.name) != "Frame1");
        const bool isBlue = layout.kind == ControlKind::ValueLabel || layout.kind == ControlKind::LinkLabel;
        if (hasFixedCaption(layout)) {
            const QFontMetrics metrics(control->font());
            EXPECT_EQ(shownText(control), QString::fromLatin1(layout.caption));
            EXPECT_LE(metrics.horizontalAdvance(QString::fromLatin1(layout.caption)), textRoom(control));
            if (qobject_cast<QLabel*>(control)) {
                EXPECT_LE(metrics.height(), control->height());
            }
        }
        if (layout.kind == ControlKind::Browser || layout.kind == ControlKind::Picture) continue;
        const QFontInfo font(control->font());
        EXPECT_EQ(font.family(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(font.pixelSize(), 11);
        EXPECT_EQ(font.bold(), bold);
        EXPECT_FALSE(font.italic());
        EXPECT_FALSE(font.underline());
        EXPECT_EQ(control->palette().color(QPalette::WindowText) == QColor(0, 0, 255), isBlue);
    }
}

TEST_F(Form1Layout, LabelsShowOneLineAndNeverGrow) {
    QLabel* label = form.valueLabel(ValueLabel::systemManufacturer);
    const QRect before = label->geometry();
    form.setCaption(ValueLabel::systemManufacturer, std::string(300, 'W') + " <b>not markup</b>");
    EXPECT_EQ(label->geometry(), before);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->autoFillBackground());
}

TEST_F(Form1Layout, IdentifyingNumberLiesOverTheEndOfItsCaption) {
    QWidget* frame = form.control("Frame2");
    const QRect overlap =
        form.control("Label5")->geometry() & form.valueLabel(ValueLabel::identifyingNumber)->geometry();
    ASSERT_FALSE(overlap.isEmpty());
    EXPECT_EQ(frame->childAt(overlap.center()), form.valueLabel(ValueLabel::identifyingNumber));
}

TEST_F(Form1Layout, ListsAreSingleSelectionAndUnsorted) {
    for (ModuleList which : {ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst}) {
        QListWidget* list = form.list(which);
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_FALSE(list->isSortingEnabled());
        form.appendRow(which, "B");
        form.appendRow(which, "A");
        EXPECT_EQ(list->item(0)->text(), "B");
    }
}

TEST_F(Form1Layout, WindowIsFixedWithTitleIconAndNoMaximise) {
    EXPECT_EQ(form.windowTitle(), "Tavrix - System Memory Information");
    EXPECT_EQ(form.minimumSize(), QSize(785, 706));
    EXPECT_EQ(form.maximumSize(), form.minimumSize());
    EXPECT_EQ(form.pos(), QPoint(123, 22));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::Window));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(form.windowIcon().pixmap(32, 32).isNull());
}

TEST_F(Form1Layout, HandCursorOverThePictureAndTheLinkOnly) {
    for (const char* name : {"Image1", "Label39"}) {
        EXPECT_EQ(form.control(name)->cursor().shape(), Qt::BitmapCursor) << name;
        EXPECT_EQ(form.control(name)->cursor().hotSpot(), QPoint(12, 1)) << name;
    }
    for (const char* name : {"Frame8", "Label21", "Label1", "clipboardCmd", "slotsLst"})
        EXPECT_FALSE(form.control(name)->testAttribute(Qt::WA_SetCursor)) << name;
    EXPECT_FALSE(form.testAttribute(Qt::WA_SetCursor));
}

TEST_F(Form1Layout, FocusStartsOnSlotsAndTabFollowsTheLayoutOrder) {
    form.show();
    EXPECT_EQ(form.focusWidget(), form.list(ModuleList::slotsLst));

    // The widgets Tab visits, starting from slotsLst, with WB's inner widgets counted as WB.
    QStringList visited;
    QWidget* w = form.list(ModuleList::slotsLst);
    do {
        QWidget* owner = w;
        for (QWidget* up = w; up; up = up->parentWidget())
            if (up == namedControl<QWebEngineView>(form, "WB")) owner = up;
        const bool tabStop = (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisibleTo(&form) &&
                             w->isEnabled() && !w->focusProxy();
        if (tabStop && (visited.isEmpty() || visited.last() != owner->objectName()))
            visited << owner->objectName();
        w = w->nextInFocusChain();
    } while (w != form.list(ModuleList::slotsLst));
    EXPECT_EQ(visited, (QStringList{"slotsLst", "clipboardCmd", "WB", "memoryLst", "speedLst"}));
    form.close();
}
