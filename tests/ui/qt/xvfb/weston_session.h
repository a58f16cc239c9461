#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "tests/ui/qt/xvfb/xvfb_session.h"

class QProcess;

// A private weston (Debian's weston 10, desktop shell, no configuration file) drawing into a
// private Xvfb display, which gives it a seat: xdotool's pointer and keys reach it, and through
// it its Wayland clients. Its socket lies in a runtime folder of its own. The clipboard is read
// with wl-paste. Throws std::runtime_error when weston cannot be started.
class WestonSession {
public:
    WestonSession();
    ~WestonSession();

    XvfbSession& x() { return *x_; }
    // The test's environment with WAYLAND_DISPLAY and XDG_RUNTIME_DIR set to this compositor's,
    // and neither DISPLAY nor QT_QPA_PLATFORM.
    QProcessEnvironment environment() const;
    // The Wayland clipboard's text as wl-paste reads it; empty when it holds none.
    QByteArray clipboard();

private:
    std::unique_ptr<XvfbSession> x_;
    QTemporaryDir runtime_;
    QString socket_;
    std::unique_ptr<QProcess> weston_;
};
