#include "ui/qt/frm_splash.h"
#include "tests/ui/qt/named_control.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <map>
#include <set>

namespace {

using tavrix::qt::frmSplash;

// "role | name | value" of every object under the interface, roles named as the accessible tree's
// table names them; objects of other roles are passed through.
void readAccessible(QAccessibleInterface* object, std::multiset<QString>& rows) {
    static const std::map<QAccessible::Role, QString> roles{
        {QAccessible::Window, "window"}, {QAccessible::AlertMessage, "alert"}, {QAccessible::StaticText, "label"}};
    if (!object) return;
    if (const auto role = roles.find(object->role()); role != roles.end()) {
        auto field = [](const QString& text) { return text.isEmpty() ? QStringLiteral("-") : text; };
        rows.insert(role->second + " | " + field(object->text(QAccessible::Name)) + " | " +
                    field(object->text(QAccessible::Value)));
    }
    for (int i = 0; i < object->childCount(); ++i) readAccessible(object->child(i), rows);
}

TEST(FrmSplash, ShowingLoadsItAndStartsTimer1AtTenMilliseconds) {
    frmSplash splash;
    EXPECT_FALSE(splash.isLoaded());
    splash.show();
    ASSERT_TRUE(splash.isLoaded());
    EXPECT_TRUE(namedControl<QTimer>(splash, "Timer1")->isActive());
    EXPECT_EQ(namedControl<QTimer>(splash, "Timer1")->interval(), 10);
    EXPECT_EQ(namedControl<QLabel>(splash, "Label1")->text(), QStringLiteral("Tavrix"));
    EXPECT_EQ(namedControl<QLabel>(splash, "Label2")->text(), QStringLiteral("Scanning Please Wait......"));
}

// The splash is gone before a screen reader could walk it; here it is walked as the table says.
TEST(FrmSplash, ReadsAsTheAccessibleTreeTableSays) {
    QFile table(TAVRIX_SOURCE_DIR "/tests/ui/accessibility/accessible_tree.txt");
    ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
    std::multiset<QString> expected, found;
    for (const QString& line : QString::fromUtf8(table.readAll()).split('\n'))
        if (line.startsWith(QLatin1String("frmSplash | "))) expected.insert(line.section(" | ", 1, 3));
    frmSplash splash;
    splash.show();
    readAccessible(QAccessible::queryAccessibleInterface(&splash), found);
    EXPECT_EQ(found, expected);
}

TEST(FrmSplash, TicksAreReportedOnlyOnceBothTextsHaveBeenPainted) {
    frmSplash splash;
    QSignalSpy ticks(&splash, &frmSplash::timerTicked);
    splash.load();
    QTest::qWait(50);
    EXPECT_EQ(ticks.count(), 0) << "a hidden splash has painted nothing";
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    EXPECT_TRUE(ticks.wait(2000));
    const int soFar = ticks.count();
    QTest::qWait(100);
    EXPECT_GT(ticks.count(), soFar) << "the timer keeps ticking until the splash is unloaded";
}

TEST(FrmSplash, TypedKeysAreReportedOtherKeysAndCloseRequestsAreNot) {
    frmSplash splash;
    QSignalSpy keys(&splash, &frmSplash::keyPressed);
    splash.show();
    for (const auto key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_F5, Qt::Key_Left}) QTest::keyClick(&splash, key);
    EXPECT_EQ(keys.count(), 0);
    EXPECT_FALSE(splash.close());
    EXPECT_TRUE(splash.isVisible());
    const Qt::Key typed[] = {Qt::Key_A, Qt::Key_5, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Space};
    for (const Qt::Key key : typed) QTest::keyClick(&splash, key);
    EXPECT_EQ(keys.count(), 6);
}

TEST(FrmSplash, FramelessFixedCentredAndOutOfTheTaskbar) {
    frmSplash splash;
    splash.show();
    EXPECT_EQ(splash.windowType(), Qt::SplashScreen);
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash.windowTitle().isEmpty());
    EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((splash.frameGeometry().center() - screen.center()).manhattanLength(), 1);
    const QRect client = splash.contentsRect();
    EXPECT_EQ(client.size(), QSize(242, 78));
    EXPECT_EQ(namedControl<QLabel>(splash, "Label1")->mapTo(&splash, QPoint(0, 0)) - client.topLeft(), QPoint(64, 8));
    EXPECT_EQ(namedControl<QLabel>(splash, "Label2")->mapTo(&splash, QPoint(0, 0)) - client.topLeft(), QPoint(16, 48));
}

TEST(FrmSplash, TextsUseTheirFacesSizesAndColourAndFitTheirLabels) {
    frmSplash splash;
    splash.show();
    QLabel *label1 = namedControl<QLabel>(splash, "Label1"), *label2 = namedControl<QLabel>(splash, "Label2");
    EXPECT_EQ(QFontInfo(label1->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(label1->font().pixelSize(), 24);  // 18 pt at 96 dpi
    EXPECT_EQ(label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(QFontInfo(label2->font()).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(label2->font().pixelSize(), 21);  // 15.75 pt at 96 dpi
    EXPECT_EQ(label2->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText));
    for (const QLabel* label : {label1, label2}) {
        SCOPED_TRACE(label->text().toStdString());
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
        EXPECT_LE(metrics.boundingRect(label->text()).right(), label->contentsRect().width());
        EXPECT_LE(metrics.height(), label->contentsRect().height());
        EXPECT_LE(label->geometry().right(), splash.contentsRect().width());
    }
}

}  // namespace
