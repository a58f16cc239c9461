#pragma once

#include <QtCore/qcontainerfwd.h>

class QString;

namespace tavrix::qt {

// The program that shows a web address (the chat page, a page's new window) in the user's default
// browser: the desktop's standard opener, given the address as its one argument.
QString chatProgram();

// Starts the program detached, never through a shell; a program name without a folder is looked
// up on PATH first. Returns false when it cannot be started, or is not found (nothing is started).
bool startDetachedProcess(const QString& program, const QStringList& arguments);

}  // namespace tavrix::qt
