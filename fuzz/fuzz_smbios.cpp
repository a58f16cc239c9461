// Feeds arbitrary bytes to the SMBIOS decoder (as a dump, and as an entry point with its table) and
// to the text sources of the Linux provider, then reads every property of every row: no input may
// crash, hang, leak or trip a sanitizer, and every text must stay printable ASCII.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "providers/linux/linux_hardware.h"
#include "scan/scan_error.h"

namespace {

using namespace tavrix;

void readEverything(const LinuxHardware& hardware) {
    const MachineDescription machine = hardware.describe();
    for (const auto& row : machine.rows()) {
        for (const auto& [name, value] : row.properties()) {
            if (const auto* text = std::get_if<std::string>(&value)) {
                for (const char c : *text) {
                    if (c < 0x20 || c > 0x7E) __builtin_trap();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        LinuxHardware hardware;
        hardware.tables.emplace(SmbiosTable::fromDump(bytes, "fuzz"));
        readEverything(hardware);
    } catch (const ScanError&) {
    }
    try {
        const std::size_t split = std::min<std::size_t>(size, 0x1F);
        LinuxHardware hardware;
        hardware.tables.emplace(SmbiosTable::fromEntryPoint(bytes.substr(0, split), std::string(bytes.substr(split))));
        readEverything(hardware);
    } catch (const ScanError&) {
    }
    LinuxHardware text;
    text.udevDatabase = text.cpuinfo = text.meminfo = text.baseFrequency = text.architecture = std::string(bytes);
    text.dmiId["sys_vendor"] = std::string(bytes);
    readEverything(text);
    return 0;
}
