#include "providers/linux/linux_hardware.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

#include <sys/stat.h>

#include "providers/smbios/smbios_classes.h"
#include "scan/ascii_text.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"

namespace tavrix {

namespace {

// Real sysfs, procfs and udev files hold a few KiB.
constexpr std::size_t maximumSystemFileSize = 1024 * 1024;
// The first processor's block of /proc/cpuinfo lies well inside this prefix on any computer.
constexpr std::size_t cpuinfoPrefix = 64 * 1024;

std::optional<std::uint64_t> wholeNumber(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
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

// The kernel's copy of the tables under the root; nullopt when there is none with structures, and
// a warning when the entry point is no SMBIOS entry point.
std::optional<SmbiosTable> readLiveTables(const std::string& root, std::vector<std::string>& warnings) {
    const auto entry = readUnderRoot(root, entryPointPath, warnings);
    if (!entry) return std::nullopt;
    auto table = readUnderRoot(root, tablePath, warnings, SmbiosTable::maximumSize);
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
        hardware.tables.emplace(SmbiosTable::readDump(sources.dumpFile, hardware.warnings));
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

// What /proc tells of this computer: the memory from /proc/meminfo, the system type from the
// kernel's architecture, the first processor from /proc/cpuinfo and cpufreq.
RunningSystem runningSystem(const LinuxHardware& hardware) {
    RunningSystem running;
    if (const auto kilobytes = memTotalKilobytes(hardware.meminfo); kilobytes && *kilobytes <= UINT64_MAX / 1024) {
        running.memoryBytes = *kilobytes * 1024;
    }
    if (const char* type = systemType(hardware.architecture)) running.systemType = type;
    const auto cpu = cpuinfoFields(hardware.cpuinfo);
    running.processorName = fieldOf(cpu, "model name");
    running.processorMaker = fieldOf(cpu, "vendor_id");
    running.processorMegahertz = kernelProcessorSpeed(hardware, cpu);
    running.listsProcessor = !cpu.empty();
    return running;
}

// Win32_ComputerSystem without tables: maker and model from sysfs, the rest from /proc.
void addComputerSystem(MachineDescription& machine, const LinuxHardware& hardware, const RunningSystem& running) {
    PropertyRow& row = machine.addRow("Win32_ComputerSystem");
    setText(row, "Manufacturer", sysfsValue(hardware, "sys_vendor"));
    setText(row, "Model", sysfsValue(hardware, "product_name"));
    if (running.memoryBytes) row.set("TotalPhysicalMemory", std::to_string(*running.memoryBytes));
    setText(row, "SystemType", running.systemType);
}

// Win32_PhysicalMemoryArray without tables: one row from udev's MEMORY_ARRAY_ values.
void addMemoryArray(MachineDescription& machine, const std::map<std::string, std::string>& udev) {
    const auto maximumBytes = fieldOf(udev, "MEMORY_ARRAY_MAX_CAPACITY");
    const auto devices = fieldOf(udev, "MEMORY_ARRAY_NUM_DEVICES");
    if (!maximumBytes && !devices) return;
    PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
    if (const auto bytes = wholeNumber(maximumBytes.value_or(""))) setNumber(row, "MaxCapacity", *bytes / 1024);
    setNumber(row, "MemoryDevices", wholeNumber(devices.value_or("")));
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
void addModules(MachineDescription& machine, const std::map<std::string, std::string>& udev) {
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

// Win32_Processor without tables: one row from /proc where it lists a processor.
void addProcessor(MachineDescription& machine, const RunningSystem& running) {
    if (!running.listsProcessor) return;
    PropertyRow& row = machine.addRow("Win32_Processor");
    setText(row, "Name", running.processorName);
    setText(row, "Manufacturer", running.processorMaker);
    setNumber(row, "CurrentClockSpeed", running.processorMegahertz);
}

// A row of the class from sysfs files, the properties in order; none when every file is missing.
void addSysfsRow(MachineDescription& machine, const LinuxHardware& hardware, const char* className,
                 std::initializer_list<std::pair<const char*, const char*>> propertyFiles, bool always = false) {
    std::vector<std::pair<const char*, std::optional<std::string>>> values;
    bool any = always;
    for (const auto& [property, file] : propertyFiles) {
        values.emplace_back(property, sysfsValue(hardware, file));
        any = any || values.back().second;
    }
    if (!any) return;
    PropertyRow& row = machine.addRow(className);
    for (const auto& [property, value] : values) setText(row, property, value);
}

// The seven classes without tables: sysfs's DMI values, udev's memory database and /proc.
MachineDescription describeWithoutTables(const LinuxHardware& hardware, const RunningSystem& running) {
    MachineDescription machine;
    const auto udev = udevProperties(hardware.udevDatabase);
    addComputerSystem(machine, hardware, running);
    addMemoryArray(machine, udev);
    addModules(machine, udev);
    addProcessor(machine, running);
    addSysfsRow(machine, hardware, "Win32_Bios",
                {{"Manufacturer", "bios_vendor"}, {"SMBIOSBIOSVersion", "bios_version"}});
    addSysfsRow(machine, hardware, "Win32_ComputerSystemProduct",
                {{"IdentifyingNumber", "product_serial"}, {"Version", "product_version"}}, true);
    addSysfsRow(machine, hardware, "Win32_Baseboard", {{"Manufacturer", "board_vendor"}, {"Product", "board_name"}});
    return machine;
}

}  // namespace

MachineDescription LinuxHardware::describe() const {
    const RunningSystem running = runningSystem(*this);
    return tables ? describeTables(*tables, running) : describeWithoutTables(*this, running);
}

}  // namespace tavrix
