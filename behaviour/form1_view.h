#pragma once

#include <string>
#include <vector>

#include "scan/scan_sink.h"

namespace tavrix::behaviour {

// The main window as its behaviour sees it: what the scan shows in it, and what else a front end's
// Form1 can show and do.
class Form1View : public ScanSink {
public:
    // The list's rows, top first.
    virtual std::vector<std::string> rows(ModuleList list) const = 0;
    // The list's selected row; -1: none.
    virtual int selectedRow(ModuleList list) const = 0;
    // What a screen reader hears for the row in each list that has it: the whole module.
    virtual void setRowReading(int row, const std::string& reading) = 0;
    // Selects the row (-1: none, and no current row) without raising the list's click handler.
    virtual void selectRow(ModuleList list, int row) = 0;
    // Empties the clipboard in every format, then puts the text on it.
    virtual void setClipboardText(const std::string& text) = 0;
    // Tells a screen reader, not the screen, that the report is on the clipboard.
    virtual void confirmCopy(const std::string& confirmation) = 0;
    // Starts the chat's browser at the address; false, or an exception, when it cannot be started.
    virtual bool startBrowser(const std::string& address) = 0;
    // Opens the address in the user's own browser, as startBrowser says; by default the chat's.
    virtual bool openInUsersBrowser(const std::string& address) { return startBrowser(address); }
    // A message box with an OK button under the application title; returns once it is closed.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace tavrix::behaviour
