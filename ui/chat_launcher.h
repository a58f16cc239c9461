#pragma once

#include <QtCore/qcontainerfwd.h>

class QString;

namespace tavrix::ui {

// The chat page on the retailer's web server.
inline constexpr char chatAddress[] =
    "http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow";

// The program that shows the chat page, and its arguments. On Windows the browser at its fixed
// path, whose command line is the program, one blank and the address; elsewhere the desktop's
// standard opener, which shows it in the user's default browser.
QString chatProgram();
QStringList chatArguments();

// Starts the program detached, shown normally and with the focus, never through a shell. On
// Windows the command line is the program, then each argument after one blank, unquoted. Returns
// false when it cannot be started.
bool startDetachedProcess(const QString& program, const QStringList& arguments);

}  // namespace tavrix::ui
