#pragma once

namespace tavrix::qt {

class ClipboardService;
class MessageService;
class PageBrowser;
class ProcessLauncher;

// The platform operations the main window's commands use; tests put fakes in their place.
struct DesktopServices {
    ClipboardService& clipboard;
    ProcessLauncher& launcher;
    PageBrowser& browser;
    MessageService& messageBox;
};

// The real ones: the system clipboard, detached process start, the page module's browser and
// QMessageBox.
DesktopServices systemDesktopServices();

}  // namespace tavrix::qt
