// The main of the in-process window tests: one TavrixApplication for the binary, on Qt's offscreen
// platform unless QT_QPA_PLATFORM names another (with TAVRIX_SCREEN_1080: a 1920x1080 screen at 150 %).
#include <gtest/gtest.h>

#include <QLoggingCategory>

#include <cstdlib>

#include <unistd.h>

#include "ui/qt/tavrix_application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests run their statement in a fresh copy of this binary, not a fork of a Qt process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#ifdef TAVRIX_SCREEN_1080
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" TAVRIX_SCREEN_1080, 1);
    setenv("QT_SCALE_FACTOR", "1.5", 1);
#endif
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // These tests host the browser in their own process, as root on CI: without its sandbox, on
    // local pages only. The program itself never runs the browser as root.
    if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    tavrix::qt::TavrixApplication::installQuietMessages();  // as the program does
    const auto app = tavrix::qt::TavrixApplication::start(argc, argv);
    return RUN_ALL_TESTS();
}
