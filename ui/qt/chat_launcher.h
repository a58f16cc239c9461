#pragma once

#include <QtCore/qcontainerfwd.h>

#include "form1_form.h"

class QString;
class QUrl;

namespace tavrix::ui {

using forms::chatAddress;

// The program that shows the chat page, and its arguments: the desktop's standard opener, which
// shows it in the user's default browser.
QString chatProgram();
QStringList chatArguments();
// The arguments with which chatProgram() shows any web address in the user's default browser.
QStringList pageArguments(const QUrl& address);

// Starts the program detached, never through a shell. Returns false when it cannot be started.
bool startDetachedProcess(const QString& program, const QStringList& arguments);

}  // namespace tavrix::ui
