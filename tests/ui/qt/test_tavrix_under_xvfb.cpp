// The real program on a display of its own, driven from outside as a user would: the disclaimer,
// OK, the main window, the copy button, the close box.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include <chrono>
#include <cstring>

#include "form1_form.h"
#include "twips.h"
#include "xvfb/xvfb_session.h"

namespace {

using namespace std::chrono_literals;

const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);
constexpr QSize form1Size(785, 706);
// The disclaimer's OK button, from the client area's corner: Frame1 at 0,0, OK at 1920,4320, 1215 by 375 twips.
constexpr QPoint dialogOkCentre(128 + 40, 288 + 12);

// The centre of a main window control, from the client area's corner, by the window's layout.
QPoint form1ControlCentre(const char* name) {
    QPoint corner;
    QSize size;
    const char* wanted = name;
    bool first = true;
    while (wanted && *wanted) {
        const char* container = nullptr;
        for (const auto& control : tavrix::forms::form1Form().controls) {
            if (std::strcmp(control.name, wanted) != 0) continue;
            const QRect place = tavrix::ui::toPixels(control.place);
            corner += place.topLeft();
            if (first) size = place.size();
            container = control.container;
        }
        if (!container) return {};
        first = false;
        wanted = container;
    }
    return corner + QPoint(size.width() / 2, size.height() / 2);
}

QByteArray reportOfThisComputer(const QStringList& source = {}) {
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), source);
    report.waitForFinished(60000);
    EXPECT_EQ(report.exitCode(), 0) << report.readAllStandardError().toStdString();
    return report.readAllStandardOutput();
}

class TavrixUnderXvfb : public ::testing::Test {
protected:
    XvfbSession x;
    QProcess tavrix;

    void start(const QStringList& arguments = {}, QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        tavrix.setProcessEnvironment(x.environment());
        tavrix.setProcessChannelMode(channels);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), arguments);
        ASSERT_TRUE(tavrix.waitForStarted(10000));
    }

    int exitStatus(std::chrono::milliseconds timeout) {
        if (!tavrix.waitForFinished(static_cast<int>(timeout.count()))) return -1;
        return tavrix.exitStatus() == QProcess::NormalExit ? tavrix.exitCode() : -2;
    }

    void TearDown() override {
        if (tavrix.state() != QProcess::NotRunning) {
            tavrix.kill();
            tavrix.waitForFinished();
        }
    }
};

TEST_F(TavrixUnderXvfb, OkBringsTheMainWindowItsCopyButtonFillsTheClipboardAndClosingEndsWithStatus0) {
    const QByteArray expected = reportOfThisComputer();
    ASSERT_FALSE(expected.isEmpty());
    start();
    const auto dialog = x.waitForMapped(title, std::nullopt, 30s);
    ASSERT_TRUE(dialog) << "no disclaimer appeared";
    EXPECT_EQ(dialog->geometry.size(), dialogSize);

    x.click(dialog->geometry.topLeft() + dialogOkCentre);
    const auto form1 = x.waitForMapped(title, form1Size, 60s);
    ASSERT_TRUE(form1) << "no main window of 785 by 706 appeared";

    x.click(form1->geometry.topLeft() + form1ControlCentre("clipboardCmd"));
    QByteArray clipboard;
    for (auto deadline = XvfbSession::Clock::now() + 20s; XvfbSession::Clock::now() < deadline;) {
        clipboard = x.clipboard();
        if (clipboard == expected) break;
    }
    EXPECT_EQ(clipboard.toStdString(), expected.toStdString());
    EXPECT_TRUE(clipboard.contains("\r\n"));

    x.requestClose(form1->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

TEST_F(TavrixUnderXvfb, CancelAndTheDisclaimersCloseBoxBothEndWithStatus0) {
    start();
    auto dialog = x.waitForMapped(title, dialogSize, 30s);
    ASSERT_TRUE(dialog);
    x.click(dialog->geometry.topLeft() + dialogOkCentre + QPoint(88, 0));  // Cancel stands 88 pixels right of OK
    EXPECT_EQ(exitStatus(30s), 0);

    start();
    dialog = x.waitForMapped(title, dialogSize, 30s);
    ASSERT_TRUE(dialog);
    x.requestClose(dialog->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

TEST_F(TavrixUnderXvfb, ReplaysAMachineFileOrADumpInTheWindow) {
    const QStringList sources[] = {{QStringLiteral("--machine"), QStringLiteral(TAVRIX_SOURCE_DIR "/examples/acme.machine")},
                                   {QStringLiteral("--dump"), QStringLiteral(TAVRIX_TEST_DATA "/smbios/synthetic-3.x.bin")}};
    for (const QStringList& source : sources) {
        const QByteArray expected = reportOfThisComputer(source);
        ASSERT_FALSE(expected.isEmpty());
        start(source);
        const auto dialog = x.waitForMapped(title, dialogSize, 30s);
        ASSERT_TRUE(dialog) << "no disclaimer appeared";
        x.click(dialog->geometry.topLeft() + dialogOkCentre);
        const auto form1 = x.waitForMapped(title, form1Size, 60s);
        ASSERT_TRUE(form1) << "no main window of 785 by 706 appeared";
        x.click(form1->geometry.topLeft() + form1ControlCentre("clipboardCmd"));
        QByteArray clipboard;
        for (auto deadline = XvfbSession::Clock::now() + 20s; XvfbSession::Clock::now() < deadline;) {
            clipboard = x.clipboard();
            if (clipboard == expected) break;
        }
        EXPECT_EQ(clipboard.toStdString(), expected.toStdString()) << source.join(' ').toStdString();
        x.requestClose(form1->id);
        EXPECT_EQ(exitStatus(30s), 0);
    }
}

TEST_F(TavrixUnderXvfb, ABadFileGivesTavrixReportsMessageInABoxAndOnStandardErrorAndStatus1) {
    const QStringList arguments = {QStringLiteral("--machine"), QStringLiteral(TAVRIX_TEST_DATA "/malformed/text-line.machine")};
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), arguments);
    ASSERT_TRUE(report.waitForFinished(60000));
    EXPECT_EQ(report.exitCode(), 1);
    const QByteArray reportError = report.readAllStandardError();
    ASSERT_TRUE(reportError.startsWith("tavrix-report: "));

    start(arguments, QProcess::SeparateChannels);
    const auto box = x.waitForMapped(title, std::nullopt, 30s);
    ASSERT_TRUE(box) << "no message box appeared";
    EXPECT_NE(box->geometry.size(), dialogSize);
    x.requestClose(box->id);
    EXPECT_EQ(exitStatus(30s), 1);
    const QByteArray expectedLine = "tavrix: " + reportError.mid(15);  // Qt may add lines of its own
    const QByteArray error = tavrix.readAllStandardError();
    EXPECT_TRUE(error.startsWith(expectedLine) || error.contains("\n" + expectedLine)) << error.toStdString();
}

TEST(TavrixWithoutADisplay, SaysSoInOneLineAndExitsWith1) {
    QProcess tavrix;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(QString::fromLatin1(name));
    tavrix.setProcessEnvironment(environment);
    tavrix.start(QStringLiteral(TAVRIX_BINARY), {});
    ASSERT_TRUE(tavrix.waitForFinished(30000));
    EXPECT_EQ(tavrix.exitCode(), 1);
    EXPECT_EQ(tavrix.readAllStandardError().toStdString(), "tavrix: cannot open a display: DISPLAY is not set\n");

    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":65000"));
    tavrix.setProcessEnvironment(environment);
    tavrix.start(QStringLiteral(TAVRIX_BINARY), {});
    ASSERT_TRUE(tavrix.waitForFinished(30000));
    EXPECT_EQ(tavrix.exitCode(), 1);
    EXPECT_EQ(tavrix.readAllStandardError().toStdString(), "tavrix: cannot open a display: no X display at \":65000\"\n");
}

}  // namespace
