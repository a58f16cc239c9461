#pragma once

#include <QApplication>
#include <QByteArray>

#include <memory>
#include <optional>

#include "forms/program_texts.h"

class QString;

namespace tavrix::qt {

using forms::applicationTitle;

// Shows the standard error report, a message box under the application title that names the
// failure (and the same line, "tavrix: " first, on standard error), and ends the process with exit status 1.
[[noreturn]] void reportFailureAndExit(const QString& failure);

// The program's QApplication. Any exception that escapes an event handler ends in the standard
// error report, so that none crosses Qt's event loop; a Wayland compositor's maximize or
// full-screen request leaves a fixed-size window its size (deliverKeepingFixedSizes). Qt and Qt
// WebEngine are prepared before it exists (prepareWebEngine()): nothing written to disk by Qt,
// Mesa or the session bus. The browser keeps its sandbox: the program never disables it.
class TavrixApplication : public QApplication {
    Q_OBJECT
public:
    TavrixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Before any QApplication exists, for this process and every child: no shader cache of Qt or
    // Mesa; a session bus only where one runs (never one started on demand); and XDG_RUNTIME_DIR
    // set to the user's own runtime folder, or, when there is none, to a path where Qt can create
    // nothing (Qt would make /tmp/runtime-USER), with Qt's warning about it kept quiet by
    // installQuietMessages() (a Wayland display named in the old folder is then named by its
    // path). Returns whether the user has no runtime folder. The OpenGL context Qt WebEngine
    // shares is made only as the page module loads (ModuleBrowser).
    static bool prepareWebEngine();

    // Without a runtime folder Qt falls back to $TMPDIR/runtime-USER and creates it: TMPDIR points
    // where nothing can be created while the application starts, and is put back once it has.
    // hideTemporaryFolder() returns TMPDIR as it was (nullopt: unset).
    static std::optional<QByteArray> hideTemporaryFolder();
    static void restoreTemporaryFolder(const std::optional<QByteArray>& folder);

    // The application as the program starts it: Qt and its page engine prepared, then the
    // application created with TMPDIR hidden where there is no runtime folder.
    static std::unique_ptr<TavrixApplication> start(int& argc, char** argv);

    // Turns Qt's fatal failure to reach the display into "tavrix: cannot open a display: ..." and
    // exit status 1, and silences Qt's warning about the missing runtime folder.
    static void installQuietMessages();
};

}  // namespace tavrix::qt
