#pragma once

#include <QApplication>

#include "forms/program_texts.h"

class QString;

namespace tavrix::qt {

using forms::applicationTitle;

// Shows the standard error report, a message box under the application title that names the
// failure (and the same line, "tavrix: " first, on standard error), and ends the process with exit status 1.
[[noreturn]] void reportFailureAndExit(const QString& failure);

// The program's QApplication. Any exception that escapes an event handler ends in the standard
// error report, so that none crosses Qt's event loop; a Wayland compositor's maximize or
// full-screen request leaves a fixed-size window its size (deliverKeepingFixedSizes). Prepares Qt and Qt WebEngine before Qt
// starts: shared OpenGL contexts, and nothing written to disk by Qt, Mesa or the session bus.
// The browser keeps its sandbox: the program never disables it.
class TavrixApplication : public QApplication {
    Q_OBJECT
public:
    TavrixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // What TavrixApplication's constructor does before QApplication's; for programs and tests
    // that construct a plain QApplication. For this process and every child: no shader cache of
    // Qt or Mesa; a session bus only where one runs (never one started on demand); and
    // XDG_RUNTIME_DIR set to the user's own runtime folder, or, when there is none, to a path
    // where Qt can create nothing (Qt would make /tmp/runtime-USER), with Qt's warning about it
    // kept quiet by installQuietMessages() (a Wayland display named in the old folder is then named
    // by its path).
    static int& prepareWebEngine(int& argc);

    // Turns Qt's fatal failure to reach the display into "tavrix: cannot open a display: ..." and
    // exit status 1, and silences Qt's warning about the missing runtime folder.
    static void installQuietMessages();

    // Keeps the browser from ever being created, with the reason WB shows instead of the page;
    // browserRefusal() is empty while the browser may be created.
    static void refuseBrowser(const QString& reason);
    static QString browserRefusal();
};

}  // namespace tavrix::qt
