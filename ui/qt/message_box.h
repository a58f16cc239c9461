#pragma once

class QString;

namespace tavrix::qt {

// Shows a message box with an OK button only, under the application title, in the windows' font
// and with the program icon, activated like the windows; returns when the user has closed it.
void showMessageBox(const QString& text);

}  // namespace tavrix::qt
