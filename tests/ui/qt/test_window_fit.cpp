// The windows on a 1920x1080 screen at 150 % (QT_SCALE_FACTOR=1.5: 1280x720 device-independent
// pixels): Form1 would not fit, so it is laid out smaller, inside the screen, with every fixed
// caption still fitting its control; the disclaimer and the splash fit and keep their layout.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "forms/dialog_form.h"
#include "forms/form1_form.h"
#include "forms/splash_form.h"
#include "scan/machine_file.h"
#include "tests/ui/qt/caption_room.h"
#include "tests/ui/qt/fake_desktop.h"
#include "tests/ui/qt/named_control.h"
#include "ui/qt/dialog.h"
#include "ui/qt/form1.h"
#include "ui/qt/form_builder.h"
#include "ui/qt/frm_splash.h"
#include "ui/qt/layout_fonts.h"
#include "ui/qt/twips.h"

namespace {

TEST(WindowFit, Form1TooTallForTheScreenIsLaidOutSmallerInsideIt) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(available.size(), QSize(1280, 720));
    auto provider = tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
    FakeDesktop desktop;
    tavrix::qt::Form1 form(*provider, desktop.services(), tavrix::TextForm());
    form.load();
    const tavrix::forms::WindowDescription& layout = tavrix::forms::form1Form();
    // The dpi the window lays itself out at, from the screen's work area.
    const int dpi = tavrix::qt::layoutDpi(layout, tavrix::qt::windowFrame(layout));
    EXPECT_LT(dpi, 96);
    EXPECT_GT(dpi, 80);
    EXPECT_EQ(form.size(), tavrix::qt::toPixels(layout.clientArea, dpi).size());
    EXPECT_TRUE(available.contains(form.geometry().marginsAdded(tavrix::qt::windowFrame(layout))));
    int checked = 0;
    for (const auto& control : layout.controls) {
        SCOPED_TRACE(control.name);
        QWidget* widget = form.control(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), tavrix::qt::toPixels(control.place, dpi));
        if (!hasFixedCaption(control)) continue;
        EXPECT_EQ(QFontInfo(widget->font()).pixelSize(), tavrix::qt::pixelsForPoints(control.font.points, dpi));
        EXPECT_LE(QFontMetrics(widget->font()).horizontalAdvance(QString::fromLatin1(control.caption)), textRoom(widget));
        ++checked;
    }
    EXPECT_GT(checked, 25);
    EXPECT_EQ(namedControl<QLabel>(form, "Image1")->pixmap().size(), QSize(152, 68) * dpi / 96);
}

TEST(WindowFit, WindowsThatFitKeepTheirLayout) {
    tavrix::qt::Dialog dialog;
    dialog.load();
    EXPECT_EQ(dialog.geometry(), tavrix::qt::toPixels(tavrix::forms::dialogForm().clientArea));
    tavrix::qt::frmSplash splash;
    splash.load();
    EXPECT_EQ(splash.size(), tavrix::qt::toPixels(tavrix::forms::splashForm().clientArea).size() + QSize(4, 4));
}

}  // namespace
