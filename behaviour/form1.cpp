#include "behaviour/form1.h"

#include "forms/accessible_description.h"
#include "forms/form1_form.h"
#include "scan/value_table.h"

namespace tavrix::behaviour {

Form1::Form1(ManagementProvider& provider, Form1View& view, TextForm textForm, std::string browserRefusal)
    : view_(view), scan_(provider, *this, std::move(textForm)), browserRefusal_(std::move(browserRefusal)) {}

void Form1::Form_Load() {
    for (ValueLabel label : valueLabelsByNumber()) view_.setCaption(label, "");
    values().moduleCount = 0;
}

void Form1::clipboardCmd_Click() {
    view_.setClipboardText(values().reportText);
    view_.confirmCopy(forms::copyConfirmation);
}

void Form1::clearList(ModuleList list) {
    const auto column = static_cast<std::size_t>(list);
    view_.clearList(list);
    rowCounts_[column] = 0;
    for (auto& module : modules_) module[column].clear();
    while (!modules_.empty() && modules_.back() == std::array<std::string, 3>{}) modules_.pop_back();
}

void Form1::appendRow(ModuleList list, const std::string& row) {
    const auto column = static_cast<std::size_t>(list);
    const std::size_t index = rowCounts_[column]++;
    if (modules_.size() <= index) modules_.resize(index + 1);
    modules_[index][column] = row;
    view_.appendRow(list, row);
    const auto& module = modules_[index];
    view_.setRowReading(static_cast<int>(index),
                        forms::moduleReading(module[static_cast<std::size_t>(ModuleList::slotsLst)],
                                             module[static_cast<std::size_t>(ModuleList::memoryLst)],
                                             module[static_cast<std::size_t>(ModuleList::speedLst)]));
}

void Form1::memoryLst_Click() { follow(ModuleList::memoryLst, ModuleList::slotsLst, ModuleList::speedLst); }

void Form1::slotsLst_Click() { follow(ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst); }

void Form1::speedLst_Click() { follow(ModuleList::speedLst, ModuleList::memoryLst, ModuleList::slotsLst); }

void Form1::follow(ModuleList clicked, ModuleList first, ModuleList second) {
    const int row = view_.selectedRow(clicked);
    view_.selectRow(first, row);
    view_.selectRow(second, row);
}

// The one handler that traps its failures: whatever goes wrong, the user hears one thing. With no
// browser allowed nothing is started, and the user hears why.
void Form1::openInBrowser(const std::string& address) {
    if (!browserRefusal_.empty()) {
        view_.showMessage(browserRefusal_);
        return;
    }
    bool started = false;
    try {
        started = view_.startBrowser(address);
    } catch (...) {
        started = false;
    }
    if (!started) view_.showMessage(forms::browserNotFound);
}

}  // namespace tavrix::behaviour
