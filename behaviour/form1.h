#pragma once

#include <array>
#include <string>
#include <vector>

#include "behaviour/form1_view.h"
#include "forms/form1_form.h"
#include "scan/hardware_scan.h"
#include "scan/scan_sink.h"

namespace tavrix::behaviour {

// What the main window does, whatever draws it: the load step, the scan into the view, the copy
// command, the lists that follow one another and the chat launch.
class Form1 : public ScanSink {
public:
    // browserRefusal: why no browser may be started from this window; empty: it may.
    Form1(ManagementProvider& provider, Form1View& view, TextForm textForm, std::string browserRefusal = {});

    // Runs the hardware scan into the view; returns "Success" or throws ScanError at the failing step.
    std::string getTavrix() { return scan_.getTavrix(); }
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
    // A page asked for a new window: the address opens in the user's browser, as the chat does.
    void openInBrowser(const std::string& address);

    void clearList(ModuleList list) override;
    // Adds the row, and tells the view how the module it describes reads.
    void appendRow(ModuleList list, const std::string& row) override;
    void setCaption(ValueLabel label, const std::string& caption) override { view_.setCaption(label, caption); }
    void navigate(const std::string& address) override { view_.navigate(address); }

private:
    void launchChat() { openInBrowser(forms::chatAddress); }
    void follow(ModuleList clicked, ModuleList first, ModuleList second);

    Form1View& view_;
    std::vector<std::array<std::string, 3>> modules_;  // each module's row in the three lists
    std::array<std::size_t, 3> rowCounts_{};           // the rows each list holds
    HardwareScan scan_;
    std::string browserRefusal_;
};

}  // namespace tavrix::behaviour
