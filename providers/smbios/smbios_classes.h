#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "providers/smbios/smbios_table.h"
#include "scan/machine_description.h"
#include "scan/management_query.h"

namespace tavrix {

// What the running system tells better than its tables, for a scan of this computer. A dump has
// none of it, so that its tables alone answer whatever computer decodes them.
struct RunningSystem {
    std::optional<std::uint64_t> memoryBytes;         // the memory the kernel manages
    std::optional<std::string> systemType;            // as WMI names the architecture ("x64-based PC")
    std::optional<std::string> processorName;         // in place of each processor structure's
    std::optional<std::string> processorMaker;        // in place of each processor structure's
    std::optional<std::uint64_t> processorMegahertz;  // where a processor structure gives no current speed
    bool listsProcessor = false;  // the kernel lists a processor: one row from it where the tables have none
};

// The seven WMI classes as the SMBIOS structures give them, with what the running system tells in
// place of or beside them; the installed memory, where the running system does not tell it, is the
// sum of the mapped address ranges, else of the system memory's modules, else absent. Throws
// ScanError when the tables describe more memory modules than the scan can count.
MachineDescription describeTables(const SmbiosTable& tables, const RunningSystem& running = {});

// The code WMI gives as MemoryType for an SMBIOS memory device type code.
int wmiMemoryType(int smbiosType);
// The SMBIOS memory device type code for a name such as "DDR4"; nullopt for an unknown name.
std::optional<int> smbiosMemoryType(std::string_view name);
// Whether an SMBIOS memory device type holds firmware (ROM, flash, EEPROM), never system memory.
bool isFirmwareMemory(std::optional<int> smbiosType);

// Sets the property when there is a value; absent leaves the row without it.
void setText(PropertyRow& row, std::string_view name, const std::optional<std::string>& value);
// Sets the property when there is a value WMI's signed 64-bit numbers can hold; else leaves it absent.
void setNumber(PropertyRow& row, std::string_view name, std::optional<std::uint64_t> value);

// Counts one more module row; throws ScanError past maximumClassRows, the most the scan counts.
void countModule(std::size_t& modules);

}  // namespace tavrix
