#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "providers/platform_provider.h"
#include "providers/smbios/smbios_table.h"
#include "scan/machine_description.h"

namespace tavrix {

// A Linux computer's hardware description as WMI's seven classes would give it. read() gathers the
// sources: the SMBIOS tables (the kernel's copy, or a dump), /sys/class/dmi/id and udev's memory
// database (used only without tables), /proc/meminfo, /proc/cpuinfo and the processor's base
// frequency, every path under the sources' root; a dump is read alone, so that its tables answer
// everything whatever computer decodes them. describe() maps them to rows without touching a file:
// the tables as providers/smbios maps them, with what /proc tells in place of or beside them.
class LinuxHardware {
public:
    // Reads every source afresh. A missing, unreadable or oversized source (anything but a regular
    // file is unreadable) leaves its member empty, with a warning unless it is merely missing; throws
    // ScanError when the root is not a directory, or a dump file was named and cannot be read or
    // holds no entry point.
    static LinuxHardware read(const PlatformSources& sources);

    // Throws ScanError when the tables describe more memory modules than the scan can count.
    MachineDescription describe() const;

    // Sources that were damaged or refused, each naming its path and the reason ("...: structure
    // type 17 at offset 0x2a4 runs past the end of the table"); the scan went on without them.
    std::vector<std::string> warnings;

    std::optional<SmbiosTable> tables;         // nullopt: no readable tables with structures
    std::map<std::string, std::string> dmiId;  // /sys/class/dmi/id values by file name, without the newline
    std::string udevDatabase;                  // /run/udev/data/+dmi:id
    std::string meminfo;                       // /proc/meminfo
    std::string cpuinfo;                       // /proc/cpuinfo
    std::string baseFrequency;                 // cpu0's cpufreq/base_frequency, in kHz
    std::string architecture;                  // /proc/sys/kernel/arch, else the build's ("x86_64")
};

}  // namespace tavrix
