#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "scan/scan_sink.h"
#include "scan/scan_values.h"
#include "scan/text_form.h"

namespace tavrix {

// One value the main window shows: the label that shows it, what it is, where it stands, how the
// report and --json name it, and how its text comes from the scan's values.
struct ValueEntry {
    ValueLabel label;
    std::string_view labelName;     // the control's name: "Label21"
    std::string_view meaning;       // "system manufacturer"
    std::string_view caption;       // the bold caption label beside it: "Manufacturer"
    std::string_view frame;         // the caption of the frame it stands in: "System"
    std::string_view reportPrefix;  // its report line up to the value, "Processor: "; empty: no line
    std::string_view jsonMember;    // its member in --json's "window"
    // Its text, as the label shows it and the report writes it.
    std::string (*text)(const ScanValues& values, const TextForm& textForm);
};

// The seventeen values, in the order the scan sets their labels.
std::span<const ValueEntry> valueTable();
const ValueEntry& valueEntry(ValueLabel label);

// The value labels by the number in their name: the order the load step blanks them in.
const std::array<ValueLabel, valueLabelCount>& valueLabelsByNumber();

}  // namespace tavrix
