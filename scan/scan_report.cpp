#include "scan/scan_report.h"

namespace tavrix {

std::string buildScanReport(const ScanValues& v, const TextForm& text) {
    std::string report;
    report.reserve(1024);
    auto line = [&report](const std::string& content) {
        report += content;
        report += "\r\n";
    };
    auto section = [&](const char* word) {
        if (!report.empty()) line("");
        line(std::string("************") + word + "**********");
        line("");
    };

    section("System");
    line("System Manufacturer:" + text(v.sysManufacturer));
    line("System Model: " + text(v.sysModel));
    line("System Version: " + text(v.productVersion));
    line("IdentifyingNumber: " + text(v.productIdNumber));
    line("System Type: " + text(v.sysType));

    section("Motherboard");
    line("Mother Board Manufacturer: " + text(v.boardManufacturer));
    line("Motherboard Model: " + text(v.boardProduct));

    section("Processor");
    line("Processor: " + text(v.cpuName));
    line("Processor Manufacturer: " + text(v.cpuManufacturer));
    line("Processor Speed: " + text(v.cpuSpeed));
    line("Processor FSB: " + text(v.cpuExtClock));

    section("Bios");
    line("Bios: " + text(v.biosManufacturer));
    line("Version: " + text(v.biosVersion));

    section("Memory Details");
    line("Memory Manufacturer: " + text(v.memoryArrayManufacturer));
    line("Installed RAM: " + v.installedMemoryText);
    line("Maximum RAM: " + v.maximumMemoryText);
    line("Total Slots: " + text(v.memoryDevices));
    line("Capacity: " + v.moduleCapacities);
    line("Memory Type: " + v.moduleTypes);
    line("Speed: " + v.moduleSpeeds);
    line("Slots: " + v.moduleSlots);
    return report;
}

}  // namespace tavrix
