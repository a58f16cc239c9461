#pragma once

#include <QApplication>

#include "program_texts.h"

class QString;

namespace tavrix {

using forms::applicationTitle;

// Shows the standard error report, a message box under the application title that names the
// failure, and ends the process with exit status 1.
[[noreturn]] void reportFailureAndExit(const QString& failure);

// The program's QApplication. Any exception that escapes an event handler ends in the standard
// error report, so that none crosses Qt's event loop. Prepares Qt WebEngine before Qt starts:
// shared OpenGL contexts, no disk cache of shaders, and no Chromium sandbox when running as root (Chromium refuses to
// start as root with it).
class TavrixApplication : public QApplication {
    Q_OBJECT
public:
    TavrixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // What TavrixApplication's constructor does before QApplication's; for programs and tests
    // that construct a plain QApplication.
    static int& prepareWebEngine(int& argc);
};

}  // namespace tavrix
