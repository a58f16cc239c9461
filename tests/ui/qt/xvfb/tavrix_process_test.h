#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "forms/form1_form.h"
#include "tests/ui/qt/xvfb/xvfb_session.h"
#include "ui/qt/twips.h"

// What the tests of the real program under Xvfb share: its windows' titles and sizes, where its
// controls are, and a fixture with a display of its own and the program's process.
namespace tavrix_under_xvfb {

using namespace std::chrono_literals;

inline const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);
constexpr QSize form1Size(785, 706);
// The disclaimer's OK button, from the client area's corner: Frame1 at 0,0, OK at 1920,4320, 1215 by 375 twips.
constexpr QPoint dialogOkCentre(128 + 40, 288 + 12);

// A main window control's rectangle in the client area, by the window's layout.
inline QRect form1Place(const char* name) {
    const auto& form = tavrix::forms::form1Form();
    return tavrix::qt::toPixels(form.placeInClientArea(form.control(name)));
}

// Whether the condition holds within the time, asked every 50 ms.
inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s) {
    for (const auto deadline = XvfbSession::Clock::now() + timeout; XvfbSession::Clock::now() < deadline;
         std::this_thread::sleep_for(50ms))
        if (condition()) return true;
    return condition();
}

// A display of its own and the program's process, which the test starts; killed at the end if it
// still runs.
class TavrixProcessTest : public ::testing::Test {
protected:
    XvfbSession x;
    QProcess tavrix;

    // The program's exit status within the time; -1: still running, -2: it crashed.
    int exitStatus(std::chrono::milliseconds timeout) {
        if (!tavrix.waitForFinished(static_cast<int>(timeout.count()))) return -1;
        return tavrix.exitStatus() == QProcess::NormalExit ? tavrix.exitCode() : -2;
    }

    // OK in the disclaimer, then the main window; nullopt (and a failure) when either is not shown.
    std::optional<XvfbSession::MappedWindow> okToTheMainWindow() {
        const auto dialog = x.waitForMapped(title, dialogSize, 60s);
        EXPECT_TRUE(dialog) << "no disclaimer of 410 by 322 appeared";
        if (!dialog) return std::nullopt;
        x.click(dialog->geometry.topLeft() + dialogOkCentre);
        const auto form1 = x.waitForMapped(title, form1Size, 60s);
        EXPECT_TRUE(form1) << "no main window of 785 by 706 appeared";
        return form1;
    }

    void TearDown() override {
        if (tavrix.state() == QProcess::NotRunning) return;
        tavrix.kill();
        tavrix.waitForFinished();
    }
};

}  // namespace tavrix_under_xvfb
