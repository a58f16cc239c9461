#include "linux_hardware.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>

#include "scan_error.h"
#include "smbios_table.h"

namespace tavrix {

namespace {

constexpr std::size_t maximumFileSize = 64 * 1024 * 1024;

// SMBIOS memory device types, indexed by code from 0x01.
constexpr std::array<std::string_view, 0x24> memoryTypeNames = {
    "Other", "Unknown", "DRAM", "EDRAM", "VRAM", "SRAM", "RAM", "ROM", "Flash", "EEPROM", "FEPROM", "EPROM",
    "CDRAM", "3DRAM", "SDRAM", "SGRAM", "RDRAM", "DDR", "DDR2", "DDR2 FB-DIMM", "Reserved", "Reserved",
    "Reserved", "DDR3", "FBD2", "DDR4", "LPDDR", "LPDDR2", "LPDDR3", "LPDDR4", "Logical non-volatile device",
    "HBM", "HBM2", "DDR5", "LPDDR5", "HBM3",
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

void setText(PropertyRow& row, const char* name, const std::optional<std::string>& value) {
    if (value) row.set(name, *value);
}

void setNumber(PropertyRow& row, const char* name, std::optional<std::uint64_t> value) {
    if (value && *value <= static_cast<std::uint64_t>(INT64_MAX)) row.set(name, static_cast<std::int64_t>(*value));
}

// "key : value" lines of /proc/cpuinfo; the first occurrence of each key.
std::map<std::string, std::string> cpuinfoFields(std::string_view text) {
    std::map<std::string, std::string> fields;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view key = line.substr(0, colon);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
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

const char* systemType() {
#if defined(__x86_64__) || defined(_M_X64)
    return "x64-based PC";
#elif defined(__i386__) || defined(_M_IX86)
    return "X86-based PC";
#elif defined(__aarch64__) || defined(_M_ARM64)
    return "ARM64-based PC";
#else
    return nullptr;
#endif
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

std::optional<std::string> LinuxHardware::readFile(std::string_view path) const {
    std::string full = sources_.root;
    if (!full.empty() && full.back() == '/') full.pop_back();
    full += path;
    std::ifstream file(full, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > maximumFileSize) return std::nullopt;
    }
    if (file.bad()) return std::nullopt;
    return bytes;
}

std::optional<std::string> LinuxHardware::sysfsValue(std::string_view name) const {
    auto value = readFile("/sys/class/dmi/id/" + std::string(name));
    if (!value) return std::nullopt;
    while (!value->empty() && value->back() == '\n') value->pop_back();
    return printable(*value);
}

std::optional<SmbiosTable> LinuxHardware::readTables() const {
    if (!sources_.dumpFile.empty()) {
        std::ifstream file(sources_.dumpFile, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.is_open() || file.bad()) throw ScanError(sources_.dumpFile + ": cannot read the dump file");
        return SmbiosTable::fromDump(bytes, sources_.dumpFile);
    }
    const auto entry = readFile("/sys/firmware/dmi/tables/smbios_entry_point");
    auto table = readFile("/sys/firmware/dmi/tables/DMI");
    if (!entry || !table) return std::nullopt;
    try {
        return SmbiosTable::fromEntryPoint(*entry, std::move(*table));
    } catch (const ScanError&) {
        return std::nullopt;  // unusable live tables: fall back to the other sources
    }
}

MachineDescription LinuxHardware::describe() const {
    const std::optional<SmbiosTable> tables = readTables();
    auto structures = [&tables](std::uint8_t type) {
        return tables ? tables->ofType(type) : std::vector<const SmbiosStructure*>();
    };
    const auto cpuinfo = cpuinfoFields(readFile("/proc/cpuinfo").value_or(""));
    const auto udev = udevProperties(readFile("/run/udev/data/+dmi:id").value_or(""));
    auto field = [](const std::map<std::string, std::string>& fields, const std::string& key) {
        const auto found = fields.find(key);
        return found == fields.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    MachineDescription machine;

    const auto systems = structures(1);
    const SmbiosStructure* system = systems.empty() ? nullptr : systems.front();
    {
        PropertyRow& row = machine.addRow("Win32_ComputerSystem");
        setText(row, "Manufacturer", system ? system->string(0x04) : sysfsValue("sys_vendor"));
        setText(row, "Model", system ? system->string(0x05) : sysfsValue("product_name"));
        if (const auto kilobytes = memTotalKilobytes(readFile("/proc/meminfo").value_or(""))) {
            row.set("TotalPhysicalMemory", std::to_string(*kilobytes * 1024));
        }
        if (const char* type = systemType()) row.set("SystemType", std::string(type));
    }

    const auto arrays = structures(16);
    for (const auto* array : arrays) {
        if (!isSystemMemoryArray(*array)) continue;
        PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
        setNumber(row, "MaxCapacity", arrayKilobytes(*array));
        setNumber(row, "MemoryDevices", array->word(0x0D));
    }
    if (!tables && udev.count("MEMORY_ARRAY_NUM_DEVICES")) {
        PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
        if (const auto bytes = wholeNumber(field(udev, "MEMORY_ARRAY_MAX_CAPACITY").value_or(""))) {
            setNumber(row, "MaxCapacity", *bytes / 1024);
        }
        setNumber(row, "MemoryDevices", wholeNumber(field(udev, "MEMORY_ARRAY_NUM_DEVICES").value_or("")));
    }

    for (const auto* device : structures(17)) {
        const auto bytes = moduleBytes(*device);
        if (bytes == 0u) continue;
        const auto arrayHandle = device->word(0x04);
        const SmbiosStructure* array = arrayHandle ? tables->withHandle(*arrayHandle) : nullptr;
        if (array && array->type == 16 && !isSystemMemoryArray(*array)) continue;
        PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
        if (bytes) row.set("Capacity", std::to_string(*bytes));
        if (const auto type = device->byte(0x12)) row.set("MemoryType", std::int64_t{wmiMemoryType(*type)});
        setNumber(row, "Speed", moduleSpeed(*device));
        setText(row, "DeviceLocator", device->string(0x10));
    }
    if (!tables) {
        std::map<std::uint64_t, std::string> devices;  // device numbers in numeric order
        for (const auto& [key, value] : udev) {
            constexpr std::string_view prefix = "MEMORY_DEVICE_";
            if (key.compare(0, prefix.size(), prefix) != 0) continue;
            const auto underscore = key.find('_', prefix.size());
            if (const auto number = wholeNumber(std::string_view(key).substr(prefix.size(), underscore - prefix.size()))) {
                devices.emplace(*number, key.substr(0, underscore + 1));
            }
        }
        for (const auto& [number, prefix] : devices) {
            if (field(udev, prefix + "PRESENT") == "0") continue;
            const auto size = wholeNumber(field(udev, prefix + "SIZE").value_or(""));
            if (size == 0u) continue;
            PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
            if (size) row.set("Capacity", std::to_string(*size));
            if (const auto type = field(udev, prefix + "TYPE")) {
                row.set("MemoryType", std::int64_t{wmiMemoryType(smbiosMemoryType(*type).value_or(0))});
            }
            const auto speed = wholeNumber(field(udev, prefix + "SPEED_MTS").value_or(""));
            setNumber(row, "Speed", speed == 0u ? std::nullopt : speed);
            setText(row, "DeviceLocator", field(udev, prefix + "LOCATOR"));
        }
    }

    auto processorRow = [&](const SmbiosStructure* processor) {
        PropertyRow& row = machine.addRow("Win32_Processor");
        auto name = field(cpuinfo, "model name");
        setText(row, "Name", name ? name : (processor ? processor->string(0x10) : std::nullopt));
        auto vendor = field(cpuinfo, "vendor_id");
        setText(row, "Manufacturer", vendor ? vendor : (processor ? processor->string(0x07) : std::nullopt));
        std::optional<std::uint64_t> speed = processor ? nonZero(processor->word(0x16)) : std::nullopt;
        if (!speed) {
            auto base = readFile("/sys/devices/system/cpu/cpu0/cpufreq/base_frequency");
            while (base && !base->empty() && base->back() == '\n') base->pop_back();
            if (const auto kilohertz = wholeNumber(base.value_or("")); kilohertz && *kilohertz >= 1000) {
                speed = *kilohertz / 1000;
            }
        }
        if (!speed) {
            double megahertz = 0;
            const std::string text = field(cpuinfo, "cpu MHz").value_or("");
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), megahertz);
            if (error == std::errc() && std::isfinite(megahertz) && megahertz >= 1 && megahertz < 1e9) {
                speed = static_cast<std::uint64_t>(std::llround(megahertz));
            }
        }
        setNumber(row, "CurrentClockSpeed", speed);
        setNumber(row, "ExtClock", processor ? nonZero(processor->word(0x12)) : std::nullopt);
    };
    bool anyProcessor = false;
    for (const auto* processor : structures(4)) {
        const auto status = processor->byte(0x18);
        if (processor->byte(0x05) != 0x03 || !status || !(*status & 0x40)) continue;
        processorRow(processor);
        anyProcessor = true;
    }
    if (!anyProcessor) processorRow(nullptr);

    const auto bioses = structures(0);
    for (const auto* bios : bioses) {
        PropertyRow& row = machine.addRow("Win32_Bios");
        setText(row, "Manufacturer", bios->string(0x04));
        setText(row, "SMBIOSBIOSVersion", bios->string(0x05));
    }
    if (bioses.empty()) {
        const auto vendor = sysfsValue("bios_vendor");
        const auto version = sysfsValue("bios_version");
        if (vendor || version) {
            PropertyRow& row = machine.addRow("Win32_Bios");
            setText(row, "Manufacturer", vendor);
            setText(row, "SMBIOSBIOSVersion", version);
        }
    }

    {
        PropertyRow& row = machine.addRow("Win32_ComputerSystemProduct");
        setText(row, "IdentifyingNumber", system ? system->string(0x07) : sysfsValue("product_serial"));
        setText(row, "Version", system ? system->string(0x06) : sysfsValue("product_version"));
    }

    const auto boards = structures(2);
    for (const auto* board : boards) {
        PropertyRow& row = machine.addRow("Win32_Baseboard");
        setText(row, "Manufacturer", board->string(0x04));
        setText(row, "Product", board->string(0x05));
    }
    if (boards.empty()) {
        const auto vendor = sysfsValue("board_vendor");
        const auto name = sysfsValue("board_name");
        if (vendor || name) {
            PropertyRow& row = machine.addRow("Win32_Baseboard");
            setText(row, "Manufacturer", vendor);
            setText(row, "Product", name);
        }
    }
    return machine;
}

}  // namespace tavrix
