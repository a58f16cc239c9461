#pragma once

#include <string>

#include "behaviour/form1_view.h"
#include "forms/form1_form.h"
#include "scan/hardware_scan.h"

namespace tavrix::behaviour {

// What the main window does, whatever draws it: the load step, the scan into the view, the copy
// command, the lists that follow one another, the chat launch and the page's new windows.
class Form1 {
public:
    // browserRefusal: why no browser may be started from this window; empty: it may.
    Form1(ManagementProvider& provider, Form1View& view, TextForm textForm, std::string browserRefusal = {});

    // Runs the hardware scan into the view; returns "Success" or throws ScanError at the failing step.
    // Each list's rows then read as the whole module they describe.
    std::string getTavrix();
    ScanValues& values() { return scan_.values(); }
    const std::string& lookupAddress() const { return scan_.lookupAddress(); }

    // Blanks the value labels in the layout's order and starts the module count afresh.
    void Form_Load();
    void clipboardCmd_Click();
    // A click in one list selects the same row (or none) in the other two.
    void memoryLst_Click();
    void slotsLst_Click();
    void speedLst_Click();
    void Image1_Click() { launchChat(); }
    void Label39_Click() { launchChat(); }
    // The page in WB asked for a new window: an http or https address that a command line carries
    // whole (no blank, quote or control character) opens in the user's browser; any other is dropped.
    void WB_NewWindow(const std::string& address);

private:
    void launchChat();
    void openInBrowser(const std::string& address, bool (Form1View::*start)(const std::string&));
    void follow(ModuleList clicked, ModuleList first, ModuleList second);
    // Row n of every list reads as module n: its slot, size and speed.
    void readRowsAsModules();

    Form1View& view_;
    HardwareScan scan_;
    std::string browserRefusal_;
};

}  // namespace tavrix::behaviour
