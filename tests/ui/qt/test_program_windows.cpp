// The whole flow with the real windows: disclaimer, splash, scan, main window, and every way out.
#include "ui/qt/program_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

#include "scan/machine_file.h"
#include "scan/management_query.h"
#include "scan/scan_error.h"
#include "tests/ui/qt/fake_desktop.h"
#include "tests/ui/qt/named_control.h"
#include "ui/qt/dialog.h"
#include "ui/qt/form1.h"
#include "ui/qt/frm_splash.h"

namespace {

using namespace tavrix;
using namespace tavrix::qt;

bool onScreen(const char* name) {
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) return true;
    return false;
}

// Records when the program's windows appear and go, and what stood on screen at each moment.
class WindowTimeline : public QObject {
public:
    std::vector<std::string> events;
    QString form1ManufacturerWhenShown;

    WindowTimeline() { qApp->installEventFilter(this); }
    ~WindowTimeline() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow() || widget->objectName().isEmpty()) return false;
        const std::string name = widget->objectName().toStdString();
        if (event->type() == QEvent::Show) {
            events.push_back("show " + name);
            if (name == "Form1")
                form1ManufacturerWhenShown =
                    static_cast<Form1*>(widget)->valueLabel(ValueLabel::systemManufacturer)->text();
        } else if (event->type() == QEvent::Hide) {
            events.push_back("hide " + name);
        }
        return false;
    }
};

// The Acme machine, noting what was on screen when the scan opened its connection.
class WatchedProvider : public ManagementProvider {
public:
    int scans = 0;
    bool splashOnScreen = false;
    bool form1OnScreen = true;
    std::function<void()> duringScan = [] {};

    std::unique_ptr<ManagementConnection> openConnection(const std::string& moniker) override {
        ++scans;
        splashOnScreen = onScreen("frmSplash");
        form1OnScreen = onScreen("Form1");
        duringScan();
        return acme_->openConnection(moniker);
    }

private:
    std::unique_ptr<ManagementProvider> acme_ = makeMachineFileProvider(TAVRIX_SOURCE_DIR "/examples/acme.machine");
};

class ProgramFlow : public ::testing::Test {
protected:
    WatchedProvider provider;
    FakeDesktop desktop;
    int ends = 0;
    std::unique_ptr<ProgramWindows> windows =
        std::make_unique<ProgramWindows>(provider, desktop.services(), TextForm(), QString(), [this] { ++ends; });

    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(ProgramFlow, OkLeadsThroughTheSplashToTheFilledMainWindowAndClosingItEnds) {
    WindowTimeline timeline;
    windows->flow().start();
    QPointer<Dialog> dialog = &windows->dialog();
    ASSERT_TRUE(dialog->isVisible());
    QTest::mouseClick(namedControl<QPushButton>(*dialog, "OKButton"), Qt::LeftButton);
    EXPECT_EQ(windows->flow().state(), FlowState::Scanning);
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows->flow().state() == FlowState::Results; }, 20000));
    settle();

    EXPECT_EQ(timeline.events, (std::vector<std::string>{"show Dialog", "show frmSplash", "hide Dialog",
                                                          "hide frmSplash", "show Form1"}));
    EXPECT_TRUE(dialog.isNull()) << "the disclaimer is destroyed when unloaded";
    EXPECT_FALSE(windows->exists(Window::frmSplash));
    EXPECT_EQ(provider.scans, 1);
    EXPECT_TRUE(provider.splashOnScreen) << "the splash stands while the scan runs";
    EXPECT_FALSE(provider.form1OnScreen) << "the main window is not shown before the scan succeeded";
    EXPECT_EQ(timeline.form1ManufacturerWhenShown, QStringLiteral("Acme"));
    ASSERT_EQ(desktop.browser.addresses.size(), 1u);
    EXPECT_TRUE(desktop.browser.addresses[0].toString().startsWith(QStringLiteral("http://www.quorvane.com")));

    QPointer<Form1> form1 = &windows->form1();
    EXPECT_TRUE(form1->isVisible());
    EXPECT_EQ(ends, 0);
    form1->close();
    settle();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(form1.isNull());
    EXPECT_EQ(windows->flow().state(), FlowState::Ended);
}

TEST_F(ProgramFlow, CancelEndsAtOnceAndNoOtherWindowIsEverShown) {
    WindowTimeline timeline;
    windows->flow().start();
    QTest::mouseClick(namedControl<QPushButton>(windows->dialog(), "CancelButton"), Qt::LeftButton);
    EXPECT_EQ(ends, 1);
    QTest::qWait(50);
    EXPECT_EQ(timeline.events, std::vector<std::string>{"show Dialog"});
    EXPECT_FALSE(windows->exists(Window::frmSplash));
    EXPECT_FALSE(windows->exists(Window::Form1));
    EXPECT_EQ(provider.scans, 0);
}

TEST_F(ProgramFlow, TheDisclaimersCloseBoxUnloadsItAndEndsWithoutAScan) {
    windows->flow().start();
    QPointer<Dialog> dialog = &windows->dialog();
    dialog->close();
    settle();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(windows->exists(Window::frmSplash));
    EXPECT_EQ(provider.scans, 0);
}

TEST_F(ProgramFlow, AKeyInTheSplashBeforeTheFirstTickEndsWithoutAScan) {
    windows->flow().start();
    QTest::mouseClick(namedControl<QPushButton>(windows->dialog(), "OKButton"), Qt::LeftButton);
    QPointer<frmSplash> splash = &windows->splash();
    ASSERT_TRUE(splash->isVisible());
    QTest::keyClick(splash, Qt::Key_Space);
    EXPECT_EQ(ends, 1);
    QTest::qWait(100);
    settle();
    EXPECT_TRUE(splash.isNull());
    EXPECT_FALSE(windows->exists(Window::Form1));
    EXPECT_EQ(provider.scans, 0);
}

TEST_F(ProgramFlow, AKeyTypedDuringTheScanDoesNotReachTheSplash) {
    windows->flow().start();
    QTest::mouseClick(namedControl<QPushButton>(windows->dialog(), "OKButton"), Qt::LeftButton);
    QPointer<frmSplash> splash = &windows->splash();
    provider.duringScan = [&] {
        QCoreApplication::postEvent(splash, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows->flow().state() != FlowState::Scanning; }, 20000));
    QTest::qWait(50);
    EXPECT_EQ(windows->flow().state(), FlowState::Results);
    EXPECT_TRUE(windows->form1().isVisible());
    EXPECT_EQ(ends, 0);
}

// The real error report shows a message box; this answers it and prints what it said, in which
// font and whether with an icon.
void scanWithAFailingProvider() {
    WatchedProvider failing;
    failing.duringScan = [] { throw ScanError("Cannot connect to root\\cimv2: access denied"); };
    ProgramWindows windows(failing, systemDesktopServices(), TextForm(), QString(), [] {});
    windows.flow().start();
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "[%s] %s {%s %dpx, %s}\n", qPrintable(box->windowTitle()), qPrintable(box->text()),
                         qPrintable(box->font().family()), box->font().pixelSize(),
                         box->windowIcon().isNull() ? "no icon" : "icon");
            box->accept();
        }
    });
    answer.start(20);
    QTest::mouseClick(namedControl<QPushButton>(windows.dialog(), "OKButton"), Qt::LeftButton);
    QTest::qWait(20000);
}

TEST(ProgramFlowDeathTest, AFailingScanGivesTheErrorReportAndExitStatus1) {
    EXPECT_EXIT(scanWithAFailingProvider(), ::testing::ExitedWithCode(1),
                "\\[Tavrix - System Memory Information\\] Cannot connect to root.cimv2: access denied "
                "\\{Liberation Sans 11px, icon\\}");
}

}  // namespace
