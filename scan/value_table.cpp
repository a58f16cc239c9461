#include "scan/value_table.h"

#include <algorithm>

namespace tavrix {

namespace {

using L = ValueLabel;

// The text of a provider value, or of a text the scan derived.
template <ProviderValue ScanValues::*value>
std::string shown(const ScanValues& values, const TextForm& textForm) {
    return textForm(values.*value);
}
template <std::string ScanValues::*text>
std::string derived(const ScanValues& values, const TextForm&) {
    return values.*text;
}

// clang-format off
constexpr std::array<ValueEntry, valueLabelCount> table{{
    {L::installedMemory, "Label35", "installed memory", "Installed RAM", "Memory", "Installed RAM: ",
     "installedMemory", derived<&ScanValues::installedMemoryText>},
    {L::maximumMemory, "Label36", "maximum memory", "Maximum RAM", "Memory", "Maximum RAM: ",
     "maximumMemory", derived<&ScanValues::maximumMemoryText>},
    {L::systemManufacturer, "Label21", "system manufacturer", "Manufacturer", "System", "System Manufacturer:",
     "systemManufacturer", shown<&ScanValues::sysManufacturer>},
    {L::systemModel, "Label22", "system model", "Model", "System", "System Model: ",
     "systemModel", shown<&ScanValues::sysModel>},
    {L::systemVersion, "Label24", "product version", "Version", "System", "System Version: ",
     "systemVersion", shown<&ScanValues::productVersion>},
    {L::identifyingNumber, "Label25", "product identifying number", "Identifying No", "System", "IdentifyingNumber: ",
     "identifyingNumber", shown<&ScanValues::productIdNumber>},
    {L::systemType, "Label26", "system type", "Type", "System", "System Type: ",
     "systemType", shown<&ScanValues::sysType>},
    {L::processor, "Label27", "processor name", "Name", "Processor", "Processor: ",
     "processor", shown<&ScanValues::cpuName>},
    {L::processorManufacturer, "Label28", "processor manufacturer", "Manufacturer", "Processor", "Processor Manufacturer: ",
     "processorManufacturer", shown<&ScanValues::cpuManufacturer>},
    {L::processorSpeed, "Label41", "processor clock speed", "Speed", "Processor", "Processor Speed: ",
     "processorSpeed", shown<&ScanValues::cpuSpeed>},
    {L::processorFsb, "Label29", "processor external clock", "FSB", "Processor", "Processor FSB: ",
     "processorFsb", shown<&ScanValues::cpuExtClock>},
    {L::motherboardManufacturer, "Label30", "board manufacturer", "Manufacturer", "Motherboard", "Mother Board Manufacturer: ",
     "motherboardManufacturer", shown<&ScanValues::boardManufacturer>},
    {L::motherboardModel, "Label31", "board product", "Model", "Motherboard", "Motherboard Model: ",
     "motherboardModel", shown<&ScanValues::boardProduct>},
    {L::biosManufacturer, "Label32", "BIOS manufacturer", "Manufacturer", "Bios", "Bios: ",
     "biosManufacturer", shown<&ScanValues::biosManufacturer>},
    {L::biosVersion, "Label33", "BIOS version", "Version", "Bios", "Version: ",
     "biosVersion", shown<&ScanValues::biosVersion>},
    {L::memoryManufacturer, "Label34", "memory manufacturer", "Manufacturer", "Memory", "Memory Manufacturer: ",
     "memoryManufacturer", shown<&ScanValues::memoryArrayManufacturer>},
    // The report gives the slot count alone ("Total Slots: "), not this text.
    {L::memorySlots, "Label37", "slots and installed modules", "No Of Slots", "Memory", "",
     "slots", derived<&ScanValues::slotsText>},
}};
// clang-format on

constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].label != static_cast<ValueLabel>(i)) return false;
    }
    return true;
}
static_assert(inEnumOrder(), "the table lists the labels in ValueLabel's order");

}  // namespace

std::span<const ValueEntry> valueTable() { return table; }

const ValueEntry& valueEntry(ValueLabel label) { return table.at(static_cast<std::size_t>(label)); }

const std::array<ValueLabel, valueLabelCount>& valueLabelsByNumber() {
    static const std::array<ValueLabel, valueLabelCount> labels = [] {
        std::array<ValueEntry, valueLabelCount> byName = table;
        std::ranges::sort(byName, {}, &ValueEntry::labelName);
        std::array<ValueLabel, valueLabelCount> sorted{};
        std::ranges::transform(byName, sorted.begin(), &ValueEntry::label);
        return sorted;
    }();
    return labels;
}

}  // namespace tavrix
