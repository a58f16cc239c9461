#pragma once

#include <string>

#include "scan/scan_sink.h"

namespace tavrix::behaviour {

// The main window as its behaviour sees it: what a front end's Form1 can show and do.
class Form1View {
public:
    virtual ~Form1View() = default;

    virtual void setCaption(ValueLabel label, const std::string& caption) = 0;
    virtual void clearList(ModuleList list) = 0;
    virtual void appendRow(ModuleList list, const std::string& row) = 0;
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
    // Starts the user's browser at the address; false, or an exception, when it cannot be started.
    virtual bool startBrowser(const std::string& address) = 0;
    // A message box with an OK button under the application title; returns once it is closed.
    virtual void showMessage(const std::string& text) = 0;
    // Starts loading the address in WB; throws ScanError when the address cannot be loaded.
    virtual void navigate(const std::string& address) = 0;
};

}  // namespace tavrix::behaviour
