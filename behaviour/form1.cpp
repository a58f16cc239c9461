#include "behaviour/form1.h"

#include <algorithm>

#include "forms/accessible_description.h"
#include "forms/form1_form.h"
#include "scan/ascii_text.h"
#include "scan/value_table.h"

namespace tavrix::behaviour {

namespace {

bool opensInUsersBrowser(std::string_view address) {
    const auto hasScheme = [address](std::string_view scheme) {
        return address.size() > scheme.size() && equalsIgnoringCase(address.substr(0, scheme.size()), scheme);
    };
    const auto breaksACommandLine = [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == 0x7F;
    };
    return (hasScheme("http://") || hasScheme("https://")) && std::ranges::none_of(address, breaksACommandLine);
}

}  // namespace

Form1::Form1(ManagementProvider& provider, Form1View& view, TextForm textForm, std::string browserRefusal)
    : view_(view), scan_(provider, view, std::move(textForm)), browserRefusal_(std::move(browserRefusal)) {}

void Form1::Form_Load() {
    for (ValueLabel label : valueLabelsByNumber()) view_.setCaption(label, "");
    values().moduleCount = 0;
}

void Form1::clipboardCmd_Click() {
    view_.setClipboardText(values().reportText);
    view_.confirmCopy(forms::copyConfirmation);
}

std::string Form1::getTavrix() {
    std::string result = scan_.getTavrix();
    readRowsAsModules();
    return result;
}

void Form1::readRowsAsModules() {
    const std::vector<std::string> slots = view_.rows(ModuleList::slotsLst), sizes = view_.rows(ModuleList::memoryLst),
                                   speeds = view_.rows(ModuleList::speedLst);
    const auto at = [](const std::vector<std::string>& rows, std::size_t row) {
        return row < rows.size() ? rows[row] : std::string();
    };
    const std::size_t count = std::max({slots.size(), sizes.size(), speeds.size()});
    for (std::size_t row = 0; row < count; ++row)
        view_.setRowReading(static_cast<int>(row),
                            forms::moduleReading(at(slots, row), at(sizes, row), at(speeds, row)));
}

void Form1::memoryLst_Click() { follow(ModuleList::memoryLst, ModuleList::slotsLst, ModuleList::speedLst); }

void Form1::slotsLst_Click() { follow(ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst); }

void Form1::speedLst_Click() { follow(ModuleList::speedLst, ModuleList::memoryLst, ModuleList::slotsLst); }

void Form1::follow(ModuleList clicked, ModuleList first, ModuleList second) {
    const int row = view_.selectedRow(clicked);
    view_.selectRow(first, row);
    view_.selectRow(second, row);
}

void Form1::launchChat() { openInBrowser(forms::chatAddress, &Form1View::startBrowser); }

void Form1::WB_NewWindow(const std::string& address) {
    if (opensInUsersBrowser(address)) openInBrowser(address, &Form1View::openInUsersBrowser);
}

// The one handler that traps its failures: whatever goes wrong, the user hears one thing. With no
// browser allowed nothing is started, and the user hears why.
void Form1::openInBrowser(const std::string& address, bool (Form1View::*start)(const std::string&)) {
    if (!browserRefusal_.empty()) {
        view_.showMessage(browserRefusal_);
        return;
    }
    bool started = false;
    try {
        started = (view_.*start)(address);
    } catch (...) {
        started = false;
    }
    if (!started) view_.showMessage(forms::browserNotFound);
}

}  // namespace tavrix::behaviour
