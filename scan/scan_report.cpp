#include "scan/scan_report.h"

#include "scan/value_table.h"

namespace tavrix {

std::string buildScanReport(const ScanValues& v, const TextForm& text) {
    std::string report;
    report.reserve(1024);
    auto line = [&report](std::string_view prefix, const std::string& value) {
        report.append(prefix).append(value).append("\r\n");
    };
    auto shown = [&](ValueLabel label) {
        const ValueEntry& entry = valueEntry(label);
        line(entry.reportPrefix, entry.text(v, text));
    };
    auto section = [&](const char* word) {
        if (!report.empty()) line("", "");
        line(std::string("************") + word + "**********", "");
        line("", "");
    };
    using enum ValueLabel;

    section("System");
    shown(systemManufacturer);
    shown(systemModel);
    shown(systemVersion);
    shown(identifyingNumber);
    shown(systemType);

    section("Motherboard");
    shown(motherboardManufacturer);
    shown(motherboardModel);

    section("Processor");
    shown(processor);
    shown(processorManufacturer);
    shown(processorSpeed);
    shown(processorFsb);

    section("Bios");
    shown(biosManufacturer);
    shown(biosVersion);

    section("Memory Details");
    shown(memoryManufacturer);
    shown(installedMemory);
    shown(maximumMemory);
    line("Total Slots: ", text(v.memoryDevices));
    line("Capacity: ", v.moduleCapacities);
    line("Memory Type: ", v.moduleTypes);
    line("Speed: ", v.moduleSpeeds);
    line("Slots: ", v.moduleSlots);
    return report;
}

}  // namespace tavrix
