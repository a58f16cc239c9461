#pragma once

#include <QtCore/qcontainerfwd.h>

class QString;

namespace tavrix::qt {

// Starts a program without waiting for it and without a shell.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts the program with its arguments, shown normally and with the focus. Returns false,
    // or throws, when the program cannot be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

}  // namespace tavrix::qt
