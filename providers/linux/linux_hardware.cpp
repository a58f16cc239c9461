#include "linux_hardware.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <unordered_map>

#include <sys/stat.h>

#include "regular_file.h"
#include "scan_error.h"
#include "smbios_table.h"

namespace tavrix {

namespace {

// Real sysfs, procfs and udev files hold a few KiB; SMBIOS tables at most some hundred KiB.
constexpr std::size_t maximumSystemFileSize = 1024 * 1024;
constexpr std::size_t maximumTableSize = 4 * 1024 * 1024;
// The first processor's block of /proc/cpuinfo lies well inside this prefix on any computer.
constexpr std::size_t cpuinfoPrefix = 64 * 1024;
// The scan counts memory modules in a 16-bit signed number.
constexpr std::size_t maximumModules = 32767;

// SMBIOS memory device types, indexed by code from 0x01.
constexpr std::array<std::string_view, 0x24> memoryTypeNames = {
    "Other",
    "Unknown",
    "DRAM",
    "EDRAM",
    "VRAM",
    "SRAM",
    "RAM",
    "ROM",
    "Flash",
    "EEPROM",
    "FEPROM",
    "EPROM",
    "CDRAM",
    "3DRAM",
    "SDRAM",
    "SGRAM",
    "RDRAM",
    "DDR",
    "DDR2",
    "DDR2 FB-DIMM",
    "Reserved",
    "Reserved",
    "Reserved",
    "DDR3",
    "FBD2",
    "DDR4",
    "LPDDR",
    "LPDDR2",
    "LPDDR3",
    "LPDDR4",
    "Logical non-volatile device",
    "HBM",
    "HBM2",
    "DDR5",
    "LPDDR5",
    "HBM3",
};

std::string printable(std::string_view text) {
    std::string shown(text);
    for (char& c : shown) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b > 0x7E) c = '.';
    }
    return shown;
}

std::optional<std::uint64_t> wholeNumber(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

void setText(PropertyRow& row, std::string_view name, const std::optional<std::string>& value) {
    if (value) row.setText(name, *value);
}

void setNumber(PropertyRow& row, std::string_view name, std::optional<std::uint64_t> value) {
    if (value && *value <= static_cast<std::uint64_t>(INT64_MAX)) row.setNumber(name, static_cast<std::int64_t>(*value));
}

// The "model name", "vendor_id" and "cpu MHz" lines of /proc/cpuinfo's first processor.
std::map<std::string, std::string> cpuinfoFields(std::string_view text) {
    std::map<std::string, std::string> fields;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (line.empty() && !fields.empty()) break;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view key = line.substr(0, colon);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
        if (key != "model name" && key != "vendor_id" && key != "cpu MHz") continue;
        std::string_view value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        fields.emplace(std::string(key), printable(value));
    }
    return fields;
}

// E:KEY=value lines of a udev database file.
std::map<std::string, std::string> udevProperties(std::string_view text) {
    std::map<std::string, std::string> properties;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (line.substr(0, 2) != "E:") continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        properties[std::string(line.substr(2, equals - 2))] = printable(line.substr(equals + 1));
    }
    return properties;
}

std::optional<std::uint64_t> memTotalKilobytes(std::string_view meminfo) {
    const auto at = meminfo.find("MemTotal:");
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = meminfo.substr(at + 9);
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(' ')));
    return wholeNumber(rest.substr(0, rest.find_first_not_of("0123456789")));
}

// Windows' SystemType for a kernel architecture name; nullptr for one Windows has no name for.
const char* systemType(std::string_view architecture) {
    if (architecture == "x86_64" || architecture == "amd64") return "x64-based PC";
    if (architecture == "x86" ||
        (architecture.size() == 4 && architecture[0] == 'i' && architecture.substr(2) == "86")) {
        return "X86-based PC";
    }
    if (architecture == "aarch64" || architecture == "arm64") return "ARM64-based PC";
    return nullptr;
}

const char* buildArchitecture() {
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__i386__)
    return "i686";
#elif defined(__aarch64__)
    return "aarch64";
#else
    return "";
#endif
}

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

void addModuleRow(std::size_t& modules) {
    if (++modules > maximumModules) {
        throw ScanError("too many memory modules: Win32_PhysicalMemory has more than " + std::to_string(maximumModules) +
                        " rows");
    }
}

// SMBIOS memory device types that hold firmware, never system memory.
bool isFirmwareMemory(std::optional<int> smbiosType) {
    return smbiosType && *smbiosType >= 0x08 && *smbiosType <= 0x0C;  // ROM, Flash, EEPROM, FEPROM, EPROM
}

bool isSystemMemoryArray(const SmbiosStructure& array) { return array.type == 16 && array.byte(0x05) == 0x03; }

// Capacity in bytes of a type 17 structure; nullopt when unknown, 0 for an empty slot.
std::optional<std::uint64_t> moduleBytes(const SmbiosStructure& device) {
    const auto size = device.word(0x0C);
    if (!size || *size == 0xFFFF) return std::nullopt;
    if (*size == 0x7FFF) {
        if (const auto extended = device.dword(0x1C); extended && device.length() >= 0x20) {
            return std::uint64_t{*extended & 0x7FFFFFFFu} << 20;
        }
        return std::uint64_t{0x7FFF} << 20;
    }
    if (*size & 0x8000) return std::uint64_t{*size & 0x7FFFu} << 10;
    return std::uint64_t{*size} << 20;
}

// Maximum capacity of a type 16 structure in kilobytes; nullopt when it cannot be told.
std::optional<std::uint64_t> arrayKilobytes(const SmbiosStructure& array) {
    const auto capacity = array.dword(0x07);
    if (!capacity) return std::nullopt;
    if (*capacity != 0x80000000u) return std::uint64_t{*capacity};
    const auto extended = array.length() >= 0x17 ? array.qword(0x0F) : std::nullopt;
    if (!extended) return std::nullopt;
    return *extended / 1024;
}

std::optional<std::uint64_t> moduleSpeed(const SmbiosStructure& device) {
    auto speed = device.length() >= 0x17 ? device.word(0x15) : std::nullopt;
    if (speed == 0xFFFF) {
        const auto extended = device.length() >= 0x5C ? device.dword(0x54) : std::nullopt;
        if (extended && *extended != 0) return *extended;
        return std::nullopt;
    }
    if (!speed || *speed == 0) return std::nullopt;
    return *speed;
}

// The memory the tables say is installed, for a computer whose kernel cannot be asked (a dump): the
// memory array mapped address ranges (type 19) added up, or where there are none the sizes of the
// modules (those of system memory); nullopt when the tables say neither.
template <typename IsSystemModule>
std::optional<std::uint64_t> installedBytes(const std::vector<const SmbiosStructure*>& ranges,
                                            const std::vector<const SmbiosStructure*>& devices,
                                            IsSystemModule isSystemModule) {
    std::optional<std::uint64_t> total;
    for (const auto* range : ranges) {
        const auto start = range->dword(0x04);
        const auto end = range->dword(0x08);
        if (!start || !end) continue;
        std::uint64_t bytes = 0;
        if (*start == 0xFFFFFFFFu) {
            const auto extendedStart = range->length() >= 0x1F ? range->qword(0x0F) : std::nullopt;
            const auto extendedEnd = range->length() >= 0x1F ? range->qword(0x17) : std::nullopt;
            if (!extendedStart || !extendedEnd || *extendedEnd < *extendedStart) continue;
            bytes = *extendedEnd - *extendedStart + 1;
        } else {
            if (*end < *start) continue;
            bytes = (std::uint64_t{*end} - *start + 1) * 1024;
        }
        total = total.value_or(0) + bytes;
    }
    if (total) return total;
    for (const auto* device : devices) {
        if (const auto bytes = moduleBytes(*device); bytes && *bytes > 0 && isSystemModule(*device))
            total = total.value_or(0) + *bytes;
    }
    return total;
}

std::optional<std::uint64_t> nonZero(std::optional<std::uint16_t> value) {
    if (!value || *value == 0) return std::nullopt;
    return *value;
}

}  // namespace

int wmiMemoryType(int smbiosType) {
    if (smbiosType == 0x01) return 1;
    if (smbiosType == 0x02) return 0;
    if (smbiosType == 0x03) return 2;
    if (smbiosType >= 0x04 && smbiosType <= 0x14) return smbiosType + 2;
    if (smbiosType >= 0x18) return smbiosType;
    return 0;
}

std::optional<int> smbiosMemoryType(std::string_view name) {
    for (std::size_t i = 0; i < memoryTypeNames.size(); ++i) {
        if (memoryTypeNames[i] == name && name != "Reserved") return static_cast<int>(i + 1);
    }
    return std::nullopt;
}

LinuxHardware LinuxHardware::read(const PlatformSources& sources) {
    LinuxHardware hardware;
    if (!sources.dumpFile.empty()) {
        const std::string shown = shownPath(sources.dumpFile);
        const RegularFile dump = RegularFile::read(sources.dumpFile, maximumTableSize + 32);
        if (!dump.bytes) throw ScanError(shown + ": cannot read the dump file: " + dump.why);
        hardware.tables.emplace(SmbiosTable::fromDump(*dump.bytes, shown));
        if (!hardware.tables->problem().empty()) hardware.warnings.push_back(shown + ": " + hardware.tables->problem());
        return hardware;
    }
    std::string root = sources.root;
    while (!root.empty() && root.back() == '/') root.pop_back();
    {
        struct stat status {};
        if (::stat((root.empty() ? "/" : root).c_str(), &status) != 0) {
            throw ScanError(shownPath(sources.root) + ": cannot use as the root: " + std::strerror(errno));
        }
        if (!S_ISDIR(status.st_mode)) throw ScanError(shownPath(sources.root) + ": cannot use as the root: not a directory");
    }
    auto underRoot = [&](std::string_view path, std::size_t limit = maximumSystemFileSize, bool keepPrefix = false) {
        const std::string full = root + std::string(path);
        RegularFile file = RegularFile::read(full, limit, keepPrefix);
        if (!file.bytes && !file.missing) hardware.warnings.push_back(shownPath(full) + ": " + file.why + ", left out");
        return std::move(file.bytes);
    };

    if (const auto entry = underRoot("/sys/firmware/dmi/tables/smbios_entry_point")) {
        if (auto table = underRoot("/sys/firmware/dmi/tables/DMI", maximumTableSize)) {
            try {
                hardware.tables.emplace(SmbiosTable::fromEntryPoint(*entry, std::move(*table)));
                if (!hardware.tables->problem().empty()) {
                    hardware.warnings.push_back(shownPath(root + "/sys/firmware/dmi/tables/DMI") + ": " +
                                                hardware.tables->problem());
                }
                if (hardware.tables->structures().empty()) hardware.tables.reset();
            } catch (const ScanError&) {
                // unusable live tables: the other sources stand in for them
            }
        }
    }
    if (!hardware.tables) {
        for (const char* name : {"sys_vendor", "product_name", "product_version", "product_serial", "board_vendor",
                                 "board_name", "bios_vendor", "bios_version"}) {
            if (auto value = underRoot(std::string("/sys/class/dmi/id/") + name)) {
                hardware.dmiId.emplace(name, withoutTrailingNewlines(std::move(*value)));
            }
        }
        hardware.udevDatabase = underRoot("/run/udev/data/+dmi:id").value_or("");
    }
    hardware.meminfo = underRoot("/proc/meminfo").value_or("");
    hardware.cpuinfo = underRoot("/proc/cpuinfo", cpuinfoPrefix, true).value_or("");
    hardware.baseFrequency = underRoot("/sys/devices/system/cpu/cpu0/cpufreq/base_frequency").value_or("");
    hardware.architecture = withoutTrailingNewlines(underRoot("/proc/sys/kernel/arch").value_or(buildArchitecture()));
    return hardware;
}

MachineDescription LinuxHardware::describe() const {
    // The structures of the types that give rows, gathered in one pass over the table.
    std::array<std::vector<const SmbiosStructure*>, 20> byType;
    if (tables) {
        for (const auto& structure : tables->structures()) {
            if (structure.type < byType.size()) byType[structure.type].push_back(&structure);
        }
    }
    auto structures = [&byType](std::uint8_t type) -> const std::vector<const SmbiosStructure*>& { return byType[type]; };
    auto field = [](const std::map<std::string, std::string>& fields, const std::string& key) {
        const auto found = fields.find(key);
        return found == fields.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    auto sysfs = [&](const char* name) -> std::optional<std::string> {
        const auto value = field(dmiId, name);
        if (!value || value->empty()) return std::nullopt;
        return printable(*value);
    };
    const auto cpu = cpuinfoFields(cpuinfo);
    const auto udev = udevProperties(udevDatabase);
    MachineDescription machine;
    // Room for every row to come: one at most per structure of the types that give rows, per udev
    // line, and the two fixed rows and the fallbacks.
    std::size_t rowCapacity = udev.size() + 8;
    for (const std::uint8_t type : {0, 2, 4, 16, 17}) rowCapacity += byType[type].size();
    machine.reserve(rowCapacity);

    const auto& arrays = structures(16);
    std::unordered_map<std::uint16_t, const SmbiosStructure*> arrayByHandle;  // the first array of each handle
    arrayByHandle.reserve(std::min<std::size_t>(arrays.size(), 0x10000));
    for (const auto* array : arrays) arrayByHandle.emplace(array->handle, array);
    // A memory device holds system memory unless the array it names holds something else.
    auto isSystemModule = [&arrayByHandle](const SmbiosStructure& device) {
        const auto arrayHandle = device.word(0x04);
        if (!arrayHandle) return true;
        const auto named = arrayByHandle.find(*arrayHandle);
        return named == arrayByHandle.end() || isSystemMemoryArray(*named->second);
    };

    const auto& systems = structures(1);
    const SmbiosStructure* system = systems.empty() ? nullptr : systems.front();
    {
        PropertyRow& row = machine.addRow("Win32_ComputerSystem");
        setText(row, "Manufacturer", tables ? (system ? system->string(0x04) : std::nullopt) : sysfs("sys_vendor"));
        setText(row, "Model", tables ? (system ? system->string(0x05) : std::nullopt) : sysfs("product_name"));
        if (const auto kilobytes = memTotalKilobytes(meminfo); kilobytes && *kilobytes <= UINT64_MAX / 1024) {
            row.set("TotalPhysicalMemory", std::to_string(*kilobytes * 1024));
        } else if (const auto bytes = installedBytes(byType[19], byType[17], isSystemModule)) {
            row.set("TotalPhysicalMemory", std::to_string(*bytes));
        }
        if (const char* type = systemType(architecture)) row.set("SystemType", std::string(type));
    }

    for (const auto* array : arrays) {
        if (!isSystemMemoryArray(*array)) continue;
        PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
        setNumber(row, "MaxCapacity", arrayKilobytes(*array));
        setNumber(row, "MemoryDevices", array->word(0x0D));
    }
    if (!tables && (udev.count("MEMORY_ARRAY_NUM_DEVICES") || udev.count("MEMORY_ARRAY_MAX_CAPACITY"))) {
        PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
        if (const auto bytes = wholeNumber(field(udev, "MEMORY_ARRAY_MAX_CAPACITY").value_or(""))) {
            setNumber(row, "MaxCapacity", *bytes / 1024);
        }
        setNumber(row, "MemoryDevices", wholeNumber(field(udev, "MEMORY_ARRAY_NUM_DEVICES").value_or("")));
    }

    std::size_t modules = 0;
    for (const auto* device : structures(17)) {
        const auto bytes = moduleBytes(*device);
        if (bytes == 0u || !isSystemModule(*device)) continue;
        addModuleRow(modules);
        PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
        if (bytes) row.set("Capacity", std::to_string(*bytes));
        if (const auto type = device->byte(0x12)) row.set("MemoryType", std::int64_t{wmiMemoryType(*type)});
        setNumber(row, "Speed", moduleSpeed(*device));
        setText(row, "DeviceLocator", device->string(0x10));
    }
    if (!tables) {
        std::map<std::uint64_t, std::string> devices;  // device numbers in numeric order, with their key prefix
        for (const auto& [key, value] : udev) {
            constexpr std::string_view prefix = "MEMORY_DEVICE_";
            if (key.compare(0, prefix.size(), prefix) != 0) continue;
            const auto underscore = key.find('_', prefix.size());
            if (underscore == std::string::npos) continue;
            if (const auto number =
                    wholeNumber(std::string_view(key).substr(prefix.size(), underscore - prefix.size()))) {
                devices.emplace(*number, key.substr(0, underscore + 1));
            }
        }
        for (const auto& [number, prefix] : devices) {
            if (field(udev, prefix + "PRESENT") == "0") continue;
            const auto size = wholeNumber(field(udev, prefix + "SIZE").value_or(""));
            const auto typeName = field(udev, prefix + "TYPE");
            const auto type = typeName ? smbiosMemoryType(*typeName) : std::nullopt;
            if (size == 0u || isFirmwareMemory(type)) continue;
            addModuleRow(modules);
            PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
            if (size) row.set("Capacity", std::to_string(*size));
            if (typeName) row.set("MemoryType", std::int64_t{wmiMemoryType(type.value_or(0))});
            const auto speed = wholeNumber(field(udev, prefix + "SPEED_MTS").value_or(""));
            setNumber(row, "Speed", speed == 0u ? std::nullopt : speed);
            setText(row, "DeviceLocator", field(udev, prefix + "LOCATOR"));
        }
    }

    std::optional<std::uint64_t> fallbackSpeed;
    if (const auto kilohertz = wholeNumber(withoutTrailingNewlines(baseFrequency)); kilohertz && *kilohertz >= 500) {
        fallbackSpeed = (*kilohertz + 500) / 1000;
    } else {
        double megahertz = 0;
        const std::string text = field(cpu, "cpu MHz").value_or("");
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), megahertz);
        if (error == std::errc() && std::isfinite(megahertz) && megahertz >= 0.5 && megahertz < 1e9) {
            fallbackSpeed = static_cast<std::uint64_t>(std::llround(megahertz));
        }
    }
    const auto cpuName = field(cpu, "model name");
    const auto cpuVendor = field(cpu, "vendor_id");
    auto processorRow = [&](const SmbiosStructure* processor) {
        PropertyRow& row = machine.addRow("Win32_Processor");
        // The kernel's name first, the table's where it has none.
        auto kernelOrTable = [&](std::string_view name, const std::optional<std::string>& fromKernel, std::size_t offset) {
            if (fromKernel) {
                row.setText(name, *fromKernel);
            } else if (processor) {
                setText(row, name, processor->string(offset));
            }
        };
        kernelOrTable("Name", cpuName, 0x10);
        kernelOrTable("Manufacturer", cpuVendor, 0x07);
        const auto speed = processor ? nonZero(processor->word(0x16)) : std::nullopt;
        setNumber(row, "CurrentClockSpeed", speed ? speed : fallbackSpeed);
        setNumber(row, "ExtClock", processor ? nonZero(processor->word(0x12)) : std::nullopt);
    };
    bool anyProcessor = false;
    for (const auto* processor : structures(4)) {
        const auto status = processor->byte(0x18);
        if (processor->byte(0x05) != 0x03 || !status || !(*status & 0x40)) continue;
        processorRow(processor);
        anyProcessor = true;
    }
    if (!anyProcessor && !cpu.empty()) processorRow(nullptr);

    // Bios and Baseboard: two texts, at 0x04 and 0x05 of each structure, or without tables from sysfs.
    auto twoTextRows = [&](std::uint8_t type, std::string_view className, std::string_view first,
                           std::string_view second, const char* firstFile, const char* secondFile) {
        for (const auto* structure : structures(type)) {
            PropertyRow& row = machine.addRow(className);
            setText(row, first, structure->string(0x04));
            setText(row, second, structure->string(0x05));
        }
        if (tables) return;
        const auto firstValue = sysfs(firstFile);
        const auto secondValue = sysfs(secondFile);
        if (firstValue || secondValue) {
            PropertyRow& row = machine.addRow(className);
            setText(row, first, firstValue);
            setText(row, second, secondValue);
        }
    };
    twoTextRows(0, "Win32_Bios", "Manufacturer", "SMBIOSBIOSVersion", "bios_vendor", "bios_version");

    {
        PropertyRow& row = machine.addRow("Win32_ComputerSystemProduct");
        setText(row, "IdentifyingNumber",
                tables ? (system ? system->string(0x07) : std::nullopt) : sysfs("product_serial"));
        setText(row, "Version", tables ? (system ? system->string(0x06) : std::nullopt) : sysfs("product_version"));
    }

    twoTextRows(2, "Win32_Baseboard", "Manufacturer", "Product", "board_vendor", "board_name");
    return machine;
}

}  // namespace tavrix
