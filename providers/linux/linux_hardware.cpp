#include "providers/linux/linux_hardware.h"

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

#include "providers/linux/smbios_table.h"
#include "scan/ascii_text.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"

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

std::optional<std::uint64_t> wholeNumber(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// Sets the property when there is a value; absent leaves the row without it.
void setText(PropertyRow& row, std::string_view name, const std::optional<std::string>& value) {
    if (value) row.set(name, *value);
}

void setNumber(PropertyRow& row, std::string_view name, std::optional<std::uint64_t> value) {
    if (value && *value <= static_cast<std::uint64_t>(INT64_MAX)) row.set(name, static_cast<std::int64_t>(*value));
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

namespace {

constexpr std::string_view entryPointPath = "/sys/firmware/dmi/tables/smbios_entry_point";
constexpr std::string_view tablePath = "/sys/firmware/dmi/tables/DMI";

// The bytes of the file at the path beneath the root (never outside it); nullopt when it is missing
// or, with a warning, cannot be read.
std::optional<std::string> readUnderRoot(const std::string& root, std::string_view path,
                                         std::vector<std::string>& warnings,
                                         std::size_t limit = maximumSystemFileSize,
                                         LongerFile longer = LongerFile::refused) {
    RegularFile file = RegularFile::readBeneath(root, std::string(path), limit, longer);
    if (!file.bytes && !file.missing) {
        warnings.push_back(shownPath(root + std::string(path)) + ": " + file.why + ", left out");
    }
    return std::move(file.bytes);
}

// The tables of a `dmidecode --dump-bin` file. Throws ScanError when it cannot be read or holds no
// entry point.
SmbiosTable readDump(const std::string& path, std::vector<std::string>& warnings) {
    const std::string shown = shownPath(path);
    const RegularFile dump = RegularFile::read(path, maximumTableSize + 32);
    if (!dump.bytes) throw ScanError(shown + ": cannot read the dump file: " + dump.why);
    SmbiosTable tables = SmbiosTable::fromDump(*dump.bytes, shown);
    for (const auto& problem : tables.entryPointProblems()) warnings.push_back(shown + ": " + problem);
    if (!tables.problem().empty()) warnings.push_back(shown + ": " + tables.problem());
    return tables;
}

// The kernel's copy of the tables under the root; nullopt when there is none with structures, and
// a warning when the entry point is no SMBIOS entry point.
std::optional<SmbiosTable> readLiveTables(const std::string& root, std::vector<std::string>& warnings) {
    const auto entry = readUnderRoot(root, entryPointPath, warnings);
    if (!entry) return std::nullopt;
    auto table = readUnderRoot(root, tablePath, warnings, maximumTableSize);
    if (!table) return std::nullopt;
    const std::string shownEntry = shownPath(root + std::string(entryPointPath));
    try {
        SmbiosTable tables = SmbiosTable::fromEntryPoint(*entry, std::move(*table));
        for (const auto& problem : tables.entryPointProblems()) warnings.push_back(shownEntry + ": " + problem);
        if (!tables.problem().empty()) {
            warnings.push_back(shownPath(root + std::string(tablePath)) + ": " + tables.problem());
        }
        if (tables.structures().empty()) return std::nullopt;
        return tables;
    } catch (const ScanError& failure) {
        warnings.push_back(shownEntry + ": " + failure.what() + ", the tables left out");
        return std::nullopt;
    }
}

}  // namespace

LinuxHardware LinuxHardware::read(const PlatformSources& sources) {
    LinuxHardware hardware;
    if (!sources.dumpFile.empty()) {
        hardware.tables.emplace(readDump(sources.dumpFile, hardware.warnings));
        return hardware;
    }
    std::string root = sources.root;
    while (!root.empty() && root.back() == '/') root.pop_back();
    struct stat status {};
    if (::stat((root.empty() ? "/" : root).c_str(), &status) != 0) {
        throw ScanError(shownPath(sources.root) + ": cannot use as the root: " + std::strerror(errno));
    }
    if (!S_ISDIR(status.st_mode)) throw ScanError(shownPath(sources.root) + ": cannot use as the root: not a directory");

    auto& warnings = hardware.warnings;
    hardware.tables = readLiveTables(root, warnings);
    if (!hardware.tables) {
        for (const char* name : {"sys_vendor", "product_name", "product_version", "product_serial", "board_vendor",
                                 "board_name", "bios_vendor", "bios_version"}) {
            if (auto value = readUnderRoot(root, std::string("/sys/class/dmi/id/") + name, warnings)) {
                hardware.dmiId.emplace(name, withoutTrailingNewlines(std::move(*value)));
            }
        }
        hardware.udevDatabase = readUnderRoot(root, "/run/udev/data/+dmi:id", warnings).value_or("");
    }
    hardware.meminfo = readUnderRoot(root, "/proc/meminfo", warnings).value_or("");
    hardware.cpuinfo =
        readUnderRoot(root, "/proc/cpuinfo", warnings, cpuinfoPrefix, LongerFile::firstBytes).value_or("");
    hardware.baseFrequency =
        readUnderRoot(root, "/sys/devices/system/cpu/cpu0/cpufreq/base_frequency", warnings).value_or("");
    hardware.architecture =
        withoutTrailingNewlines(readUnderRoot(root, "/proc/sys/kernel/arch", warnings).value_or(buildArchitecture()));
    return hardware;
}

namespace {

std::optional<std::string> fieldOf(const std::map<std::string, std::string>& fields, const std::string& key) {
    const auto found = fields.find(key);
    return found == fields.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// A /sys/class/dmi/id value as shown; nullopt when the file is missing or empty.
std::optional<std::string> sysfsValue(const LinuxHardware& hardware, const char* name) {
    const auto value = fieldOf(hardware.dmiId, name);
    if (!value || value->empty()) return std::nullopt;
    return printable(*value);
}

// The first system information structure (type 1); nullptr when the tables hold none.
const SmbiosStructure* systemStructure(const SmbiosTable& tables) {
    const auto systems = tables.ofType(1);
    return systems.empty() ? nullptr : systems.front();
}

// Counts one more module row; throws when the scan could not count that many.
void countModule(std::size_t& modules) {
    if (++modules > maximumModules) {
        throw ScanError("too many memory modules: Win32_PhysicalMemory has more than " +
                        std::to_string(maximumModules) + " rows");
    }
}

using ArraysByHandle = std::unordered_map<std::uint16_t, const SmbiosStructure*>;

// The first memory array (type 16) of each handle.
ArraysByHandle arraysByHandle(const SmbiosTable& tables) {
    ArraysByHandle arrays;
    for (const auto* array : tables.ofType(16)) arrays.emplace(array->handle, array);
    return arrays;
}

// Whether a memory device (type 17) holds system memory: it does unless the array it names holds
// something else.
bool isSystemModule(const SmbiosStructure& device, const ArraysByHandle& arrays) {
    const auto arrayHandle = device.word(0x04);
    if (!arrayHandle) return true;
    const auto named = arrays.find(*arrayHandle);
    return named == arrays.end() || isSystemMemoryArray(*named->second);
}

// The bytes of one memory array mapped address range (type 19); nullopt when it gives none.
std::optional<std::uint64_t> mappedBytes(const SmbiosStructure& range) {
    const auto start = range.dword(0x04);
    const auto end = range.dword(0x08);
    if (!start || !end) return std::nullopt;
    if (*start != 0xFFFFFFFFu) {
        if (*end < *start) return std::nullopt;
        return (std::uint64_t{*end} - *start + 1) * 1024;
    }
    const auto extendedStart = range.length() >= 0x1F ? range.qword(0x0F) : std::nullopt;
    const auto extendedEnd = range.length() >= 0x1F ? range.qword(0x17) : std::nullopt;
    if (!extendedStart || !extendedEnd || *extendedEnd < *extendedStart) return std::nullopt;
    return *extendedEnd - *extendedStart + 1;
}

// The memory the tables say is installed, for a computer whose kernel cannot be asked (a dump): the
// mapped address ranges (type 19) added up, or where there are none the sizes of the system
// memory modules; nullopt when the tables say neither.
std::optional<std::uint64_t> installedBytes(const SmbiosTable& tables) {
    std::optional<std::uint64_t> total;
    for (const auto* range : tables.ofType(19)) {
        if (const auto bytes = mappedBytes(*range)) total = total.value_or(0) + *bytes;
    }
    if (total) return total;
    const ArraysByHandle arrays = arraysByHandle(tables);
    for (const auto* device : tables.ofType(17)) {
        const auto bytes = moduleBytes(*device);
        if (bytes && *bytes > 0 && isSystemModule(*device, arrays)) total = total.value_or(0) + *bytes;
    }
    return total;
}

// Win32_ComputerSystem: maker and model from the system structure (type 1) or sysfs, memory from
// /proc/meminfo or else the tables, the system type from the kernel's architecture.
void addComputerSystem(MachineDescription& machine, const LinuxHardware& hardware) {
    PropertyRow& row = machine.addRow("Win32_ComputerSystem");
    if (hardware.tables) {
        if (const SmbiosStructure* system = systemStructure(*hardware.tables)) {
            setText(row, "Manufacturer", system->string(0x04));
            setText(row, "Model", system->string(0x05));
        }
    } else {
        setText(row, "Manufacturer", sysfsValue(hardware, "sys_vendor"));
        setText(row, "Model", sysfsValue(hardware, "product_name"));
    }
    if (const auto kilobytes = memTotalKilobytes(hardware.meminfo); kilobytes && *kilobytes <= UINT64_MAX / 1024) {
        row.set("TotalPhysicalMemory", std::to_string(*kilobytes * 1024));
    } else if (const auto bytes = hardware.tables ? installedBytes(*hardware.tables) : std::nullopt) {
        row.set("TotalPhysicalMemory", std::to_string(*bytes));
    }
    if (const char* type = systemType(hardware.architecture)) row.set("SystemType", std::string(type));
}

// Win32_PhysicalMemoryArray: one row per system memory array (type 16, use 03h), or without
// tables one from udev's MEMORY_ARRAY_ values.
void addMemoryArrays(MachineDescription& machine, const LinuxHardware& hardware) {
    if (hardware.tables) {
        for (const auto* array : hardware.tables->ofType(16)) {
            if (!isSystemMemoryArray(*array)) continue;
            PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
            setNumber(row, "MaxCapacity", arrayKilobytes(*array));
            setNumber(row, "MemoryDevices", array->word(0x0D));
        }
        return;
    }
    const auto udev = udevProperties(hardware.udevDatabase);
    const auto maximumBytes = fieldOf(udev, "MEMORY_ARRAY_MAX_CAPACITY");
    const auto devices = fieldOf(udev, "MEMORY_ARRAY_NUM_DEVICES");
    if (!maximumBytes && !devices) return;
    PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
    if (const auto bytes = wholeNumber(maximumBytes.value_or(""))) setNumber(row, "MaxCapacity", *bytes / 1024);
    setNumber(row, "MemoryDevices", wholeNumber(devices.value_or("")));
}

// Win32_PhysicalMemory from the tables: one row per memory device (type 17) with a module in it,
// unless the array it names holds other than system memory.
void addModulesFromTables(MachineDescription& machine, const SmbiosTable& tables) {
    const ArraysByHandle arrays = arraysByHandle(tables);
    std::size_t modules = 0;
    for (const auto* device : tables.ofType(17)) {
        const auto bytes = moduleBytes(*device);
        if (bytes == 0u || !isSystemModule(*device, arrays)) continue;
        countModule(modules);
        PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
        if (bytes) row.set("Capacity", std::to_string(*bytes));
        if (const auto type = device->byte(0x12)) row.set("MemoryType", std::int64_t{wmiMemoryType(*type)});
        setNumber(row, "Speed", moduleSpeed(*device));
        setText(row, "DeviceLocator", device->string(0x10));
    }
}

// The key prefixes of udev's memory devices ("MEMORY_DEVICE_3_"), by device number in numeric order.
std::map<std::uint64_t, std::string> udevMemoryDevices(const std::map<std::string, std::string>& udev) {
    constexpr std::string_view prefix = "MEMORY_DEVICE_";
    std::map<std::uint64_t, std::string> devices;
    for (const auto& [key, value] : udev) {
        if (key.compare(0, prefix.size(), prefix) != 0) continue;
        const auto underscore = key.find('_', prefix.size());
        if (underscore == std::string::npos) continue;
        if (const auto number = wholeNumber(std::string_view(key).substr(prefix.size(), underscore - prefix.size()))) {
            devices.emplace(*number, key.substr(0, underscore + 1));
        }
    }
    return devices;
}

// Win32_PhysicalMemory without tables: one row per udev memory device that is present, has a
// size other than 0 and is not firmware memory.
void addModulesFromUdev(MachineDescription& machine, const std::string& udevDatabase) {
    const auto udev = udevProperties(udevDatabase);
    std::size_t modules = 0;
    for (const auto& [number, prefix] : udevMemoryDevices(udev)) {
        if (fieldOf(udev, prefix + "PRESENT") == "0") continue;
        const auto size = wholeNumber(fieldOf(udev, prefix + "SIZE").value_or(""));
        const auto typeName = fieldOf(udev, prefix + "TYPE");
        const auto type = typeName ? smbiosMemoryType(*typeName) : std::nullopt;
        if (size == 0u || isFirmwareMemory(type)) continue;
        countModule(modules);
        PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
        if (size) row.set("Capacity", std::to_string(*size));
        if (typeName) row.set("MemoryType", std::int64_t{wmiMemoryType(type.value_or(0))});
        const auto speed = wholeNumber(fieldOf(udev, prefix + "SPEED_MTS").value_or(""));
        setNumber(row, "Speed", speed == 0u ? std::nullopt : speed);
        setText(row, "DeviceLocator", fieldOf(udev, prefix + "LOCATOR"));
    }
}

// The processor's speed in MHz as the kernel tells it: cpufreq's base frequency, else
// /proc/cpuinfo's "cpu MHz"; nullopt when neither gives a sound one.
std::optional<std::uint64_t> kernelProcessorSpeed(const LinuxHardware& hardware,
                                                  const std::map<std::string, std::string>& cpu) {
    if (const auto kilohertz = wholeNumber(withoutTrailingNewlines(hardware.baseFrequency));
        kilohertz && *kilohertz >= 500) {
        return (*kilohertz + 500) / 1000;
    }
    double megahertz = 0;
    const std::string text = fieldOf(cpu, "cpu MHz").value_or("");
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), megahertz);
    if (error != std::errc() || !std::isfinite(megahertz) || megahertz < 0.5 || megahertz >= 1e9) return std::nullopt;
    return static_cast<std::uint64_t>(std::llround(megahertz));
}

// One Win32_Processor row: name and maker from the kernel where it gives them, else from the
// processor structure (type 4); speeds from the structure, the current one else from the kernel.
void addProcessor(MachineDescription& machine, const SmbiosStructure* processor,
                  const std::map<std::string, std::string>& cpu, std::optional<std::uint64_t> kernelSpeed) {
    PropertyRow& row = machine.addRow("Win32_Processor");
    auto name = fieldOf(cpu, "model name");
    if (!name && processor) name = processor->string(0x10);
    auto vendor = fieldOf(cpu, "vendor_id");
    if (!vendor && processor) vendor = processor->string(0x07);
    setText(row, "Name", name);
    setText(row, "Manufacturer", vendor);
    const auto speed = processor ? nonZero(processor->word(0x16)) : std::nullopt;
    setNumber(row, "CurrentClockSpeed", speed ? speed : kernelSpeed);
    setNumber(row, "ExtClock", processor ? nonZero(processor->word(0x12)) : std::nullopt);
}

// Win32_Processor: one row per populated, enabled central processor (type 4); without one, a
// row from /proc/cpuinfo alone.
void addProcessors(MachineDescription& machine, const LinuxHardware& hardware) {
    const auto cpu = cpuinfoFields(hardware.cpuinfo);
    const auto kernelSpeed = kernelProcessorSpeed(hardware, cpu);
    bool anyProcessor = false;
    if (hardware.tables) {
        for (const auto* processor : hardware.tables->ofType(4)) {
            const auto status = processor->byte(0x18);
            if (processor->byte(0x05) != 0x03 || !status || !(*status & 0x40)) continue;
            addProcessor(machine, processor, cpu, kernelSpeed);
            anyProcessor = true;
        }
    }
    if (!anyProcessor && !cpu.empty()) addProcessor(machine, nullptr, cpu, kernelSpeed);
}

// Rows of a class of two texts, the maker and the product: strings 4 and 5 of each structure of
// the type, or without tables the two sysfs files, in one row unless both are missing.
void addMakerRows(MachineDescription& machine, const LinuxHardware& hardware, const char* className,
                  std::uint8_t type, std::array<const char*, 2> properties, std::array<const char*, 2> sysfsFiles) {
    if (hardware.tables) {
        for (const auto* structure : hardware.tables->ofType(type)) {
            PropertyRow& row = machine.addRow(className);
            setText(row, properties[0], structure->string(0x04));
            setText(row, properties[1], structure->string(0x05));
        }
        return;
    }
    const auto maker = sysfsValue(hardware, sysfsFiles[0]);
    const auto product = sysfsValue(hardware, sysfsFiles[1]);
    if (!maker && !product) return;
    PropertyRow& row = machine.addRow(className);
    setText(row, properties[0], maker);
    setText(row, properties[1], product);
}

// Win32_Bios: vendor and version of each BIOS structure (type 0), or without tables of sysfs.
void addBios(MachineDescription& machine, const LinuxHardware& hardware) {
    addMakerRows(machine, hardware, "Win32_Bios", 0, {"Manufacturer", "SMBIOSBIOSVersion"},
                 {"bios_vendor", "bios_version"});
}

// Win32_ComputerSystemProduct: serial number and version of the system structure (type 1) or sysfs.
void addProduct(MachineDescription& machine, const LinuxHardware& hardware) {
    PropertyRow& row = machine.addRow("Win32_ComputerSystemProduct");
    if (hardware.tables) {
        if (const SmbiosStructure* system = systemStructure(*hardware.tables)) {
            setText(row, "IdentifyingNumber", system->string(0x07));
            setText(row, "Version", system->string(0x06));
        }
    } else {
        setText(row, "IdentifyingNumber", sysfsValue(hardware, "product_serial"));
        setText(row, "Version", sysfsValue(hardware, "product_version"));
    }
}

// Win32_Baseboard: maker and product of each baseboard structure (type 2), or without tables of sysfs.
void addBaseboard(MachineDescription& machine, const LinuxHardware& hardware) {
    addMakerRows(machine, hardware, "Win32_Baseboard", 2, {"Manufacturer", "Product"}, {"board_vendor", "board_name"});
}

}  // namespace

MachineDescription LinuxHardware::describe() const {
    MachineDescription machine;
    addComputerSystem(machine, *this);
    addMemoryArrays(machine, *this);
    if (tables) {
        addModulesFromTables(machine, *tables);
    } else {
        addModulesFromUdev(machine, udevDatabase);
    }
    addProcessors(machine, *this);
    addBios(machine, *this);
    addProduct(machine, *this);
    addBaseboard(machine, *this);
    return machine;
}

}  // namespace tavrix
