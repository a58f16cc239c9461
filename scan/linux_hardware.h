#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "machine_description.h"
#include "platform_provider.h"

namespace tavrix {

class SmbiosTable;

// This computer described as WMI's seven classes would describe it, from the SMBIOS tables
// (live or from a dump), /sys/class/dmi/id, udev's memory database, /proc/meminfo and
// /proc/cpuinfo, every path read under the sources' root. A source that is missing or
// unreadable gives fewer values, never a failure.
class LinuxHardware {
public:
    explicit LinuxHardware(PlatformSources sources) : sources_(std::move(sources)) {}

    // Throws ScanError only when a dump file was named and cannot be read or holds no entry point.
    MachineDescription describe() const;

private:
    std::optional<SmbiosTable> readTables() const;
    std::optional<std::string> readFile(std::string_view path) const;
    std::optional<std::string> sysfsValue(std::string_view name) const;

    PlatformSources sources_;
};

// The code WMI gives as MemoryType for an SMBIOS memory device type code.
int wmiMemoryType(int smbiosType);
// The SMBIOS memory device type code for a name such as "DDR4"; nullopt for an unknown name.
std::optional<int> smbiosMemoryType(std::string_view name);

}  // namespace tavrix
