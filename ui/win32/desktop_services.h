#pragma once

#include <windows.h>

#include <string>

namespace tavrix::win32 {

// The clipboard: cleared, then one text in CF_UNICODETEXT.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Clears the clipboard, then puts the UTF-8 text on it; throws when the clipboard cannot be
    // opened or written (what was done before stays done).
    virtual void replaceText(HWND owner, const std::string& utf8) = 0;
};

// Starts programs without waiting for them.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts the program file with the whole command line and the show-window value; throws when it
    // cannot be started.
    virtual void start(const std::wstring& program, const std::wstring& commandLine, int showWindow) = 0;
    // Opens the address in the user's default browser; throws when none can be started.
    virtual void openInBrowser(const std::string& address) = 0;
};

// A message box with an OK button only, under the application title.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns when the user has closed the box.
    virtual void show(HWND owner, const std::string& utf8) = 0;
};

// The platform operations the main window's commands use; tests put fakes in their place.
struct DesktopServices {
    Clipboard& clipboard;
    ProcessLauncher& launcher;
    MessageBoxes& messageBox;
};

// The real ones: the Windows clipboard, CreateProcessW, ShellExecuteW and MessageBoxW.
DesktopServices systemDesktopServices();

}  // namespace tavrix::win32
