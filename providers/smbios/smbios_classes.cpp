#include "providers/smbios/smbios_classes.h"

#include <array>
#include <climits>
#include <unordered_map>

#include "scan/scan_error.h"

namespace tavrix {

namespace {

using smbios::StructureType;

// SMBIOS memory device types (7.18.2), indexed by code from 0x01.
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

std::optional<std::uint64_t> nonZero(std::optional<std::uint16_t> value) {
    if (!value || *value == 0) return std::nullopt;
    return *value;
}

// The sum; nullopt when either is unknown or the sum does not fit in 64 bits.
std::optional<std::uint64_t> sum(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b) {
    if (!a || !b || *b > UINT64_MAX - *a) return std::nullopt;
    return *a + *b;
}

/* 7.5 Processor Information */

// A populated socket of a central processor: the rest are empty sockets and coprocessors.
bool isPopulatedCentralProcessor(const SmbiosStructure& processor) {
    namespace field = smbios::processor;
    const auto status = processor.byte(field::status);
    return processor.byte(field::type) == field::centralProcessor && status && (*status & field::socketPopulated);
}

/* 7.17 Physical Memory Array */

bool isSystemMemoryArray(const SmbiosStructure& array) {
    return array.byte(smbios::memoryArray::use) == smbios::memoryArray::systemMemory;
}

// The maximum capacity in kilobytes; nullopt when it cannot be told.
std::optional<std::uint64_t> arrayKilobytes(const SmbiosStructure& array) {
    namespace field = smbios::memoryArray;
    const auto capacity = array.dword(field::maximumCapacity);
    if (!capacity) return std::nullopt;
    if (*capacity != field::capacityInExtendedField) return std::uint64_t{*capacity};
    const auto extended = array.length() >= field::lengthWithExtendedCapacity
                              ? array.qword(field::extendedMaximumCapacity)
                              : std::nullopt;
    if (!extended) return std::nullopt;
    return *extended / 1024;
}

using ArraysByHandle = std::unordered_map<std::uint16_t, const SmbiosStructure*>;

// The first memory array of each handle.
ArraysByHandle arraysByHandle(const SmbiosTable& tables) {
    ArraysByHandle arrays;
    for (const auto* array : tables.ofType(StructureType::memoryArray)) arrays.emplace(array->handle, array);
    return arrays;
}

/* 7.18 Memory Device */

// The capacity in bytes; nullopt when unknown, 0 for an empty slot.
std::optional<std::uint64_t> moduleBytes(const SmbiosStructure& device) {
    namespace field = smbios::memoryDevice;
    const auto size = device.word(field::size);
    if (!size || *size == field::sizeUnknown) return std::nullopt;
    if (*size == field::sizeInExtendedField) {
        if (const auto extended = device.dword(field::extendedSize);
            extended && device.length() >= field::lengthWithExtendedSize) {
            return std::uint64_t{*extended & field::extendedSizeValue} << 20;
        }
        return std::uint64_t{field::sizeInExtendedField} << 20;
    }
    if (*size & field::sizeInKilobytes) return (std::uint64_t{*size} & field::sizeValue) << 10;
    return std::uint64_t{*size} << 20;
}

// The speed in MT/s; nullopt when unknown.
std::optional<std::uint64_t> moduleSpeed(const SmbiosStructure& device) {
    namespace field = smbios::memoryDevice;
    const auto speed = device.length() >= field::lengthWithSpeed ? device.word(field::speed) : std::nullopt;
    if (speed == field::speedInExtendedField) {
        const auto extended =
            device.length() >= field::lengthWithExtendedSpeed ? device.dword(field::extendedSpeed) : std::nullopt;
        if (extended && *extended != 0) return *extended;
        return std::nullopt;
    }
    if (!speed || *speed == 0) return std::nullopt;
    return *speed;
}

// Whether a memory device holds system memory: it does unless the array it names holds something else.
bool isSystemModule(const SmbiosStructure& device, const ArraysByHandle& arrays) {
    const auto arrayHandle = device.word(smbios::memoryDevice::memoryArrayHandle);
    if (!arrayHandle) return true;
    const auto named = arrays.find(*arrayHandle);
    return named == arrays.end() || isSystemMemoryArray(*named->second);
}

/* 7.20 Memory Array Mapped Address */

// The bytes of a memory range, the first and the last.
struct AddressRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
};

// The range mapped; nullopt when it gives none. FFFFFFFFh in either address says the range is in
// the extended fields; extended fields that are absent or left empty (a firmware quirk over 0 to
// FFFFFFFFh) give none, as does an end before the start.
std::optional<AddressRange> mappedRange(const SmbiosStructure& range) {
    namespace field = smbios::mappedAddress;
    const auto start = range.dword(field::startingAddress);
    const auto end = range.dword(field::endingAddress);
    if (!start || !end) return std::nullopt;
    if (*start != field::addressInExtendedField && *end != field::addressInExtendedField) {
        if (*end < *start) return std::nullopt;
        return AddressRange{std::uint64_t{*start} * 1024, std::uint64_t{*end} * 1024 + 1023};
    }
    if (range.length() < field::lengthWithExtendedAddresses) return std::nullopt;
    const auto extendedStart = range.qword(field::extendedStartingAddress);
    const auto extendedEnd = range.qword(field::extendedEndingAddress);
    if (!extendedStart || !extendedEnd || (*extendedStart == 0 && *extendedEnd == 0)) return std::nullopt;
    if (*extendedEnd < *extendedStart) return std::nullopt;
    return AddressRange{*extendedStart, *extendedEnd};
}

// The installed memory: the mapped address ranges added up, or where none gives a range the sizes
// of the system memory's modules; nullopt when neither gives a sum that 64 bits hold.
std::optional<std::uint64_t> installedBytes(const SmbiosTable& tables) {
    std::optional<std::uint64_t> ranges;
    for (const auto* structure : tables.ofType(StructureType::mappedAddress)) {
        if (const auto range = mappedRange(*structure)) {
            ranges = sum(sum(ranges.value_or(0), range->last - range->first), 1);
            if (!ranges) break;
        }
    }
    if (ranges) return ranges;
    const ArraysByHandle arrays = arraysByHandle(tables);
    std::optional<std::uint64_t> modules;
    for (const auto* device : tables.ofType(StructureType::memoryDevice)) {
        const auto bytes = moduleBytes(*device);
        if (!bytes || *bytes == 0 || !isSystemModule(*device, arrays)) continue;
        modules = sum(modules.value_or(0), bytes);
        if (!modules) break;
    }
    return modules;
}

// The first system information structure; nullptr when the tables hold none.
const SmbiosStructure* systemStructure(const SmbiosTable& tables) {
    const auto systems = tables.ofType(StructureType::system);
    return systems.empty() ? nullptr : systems.front();
}

// Win32_ComputerSystem: maker and model from the system structure, the memory and the system
// type as the running system tells them, the memory else from the tables.
void addComputerSystem(MachineDescription& machine, const SmbiosTable& tables, const RunningSystem& running) {
    PropertyRow& row = machine.addRow("Win32_ComputerSystem");
    if (const SmbiosStructure* system = systemStructure(tables)) {
        setText(row, "Manufacturer", system->string(smbios::system::manufacturer));
        setText(row, "Model", system->string(smbios::system::productName));
    }
    if (const auto bytes = running.memoryBytes ? running.memoryBytes : installedBytes(tables)) {
        row.set("TotalPhysicalMemory", std::to_string(*bytes));
    }
    setText(row, "SystemType", running.systemType);
}

// Win32_PhysicalMemoryArray: one row per system memory array.
void addMemoryArrays(MachineDescription& machine, const SmbiosTable& tables) {
    for (const auto* array : tables.ofType(StructureType::memoryArray)) {
        if (!isSystemMemoryArray(*array)) continue;
        PropertyRow& row = machine.addRow("Win32_PhysicalMemoryArray");
        setNumber(row, "MaxCapacity", arrayKilobytes(*array));
        setNumber(row, "MemoryDevices", array->word(smbios::memoryArray::numberOfMemoryDevices));
    }
}

// Win32_PhysicalMemory: one row per memory device with a module in it, unless the array it names
// holds other than system memory.
void addModules(MachineDescription& machine, const SmbiosTable& tables) {
    namespace field = smbios::memoryDevice;
    const ArraysByHandle arrays = arraysByHandle(tables);
    std::size_t modules = 0;
    for (const auto* device : tables.ofType(StructureType::memoryDevice)) {
        const auto bytes = moduleBytes(*device);
        if (bytes == 0u || !isSystemModule(*device, arrays)) continue;
        countModule(modules);
        PropertyRow& row = machine.addRow("Win32_PhysicalMemory");
        if (bytes) row.set("Capacity", std::to_string(*bytes));
        if (const auto type = device->byte(field::memoryType))
            row.set("MemoryType", std::int64_t{wmiMemoryType(*type)});
        setNumber(row, "Speed", moduleSpeed(*device));
        setText(row, "DeviceLocator", device->string(field::deviceLocator));
    }
}

// One Win32_Processor row: name and maker as the running system tells them, else from the
// structure; the current speed from the structure, else as the running system tells it.
void addProcessor(MachineDescription& machine, const SmbiosStructure* processor, const RunningSystem& running) {
    namespace field = smbios::processor;
    PropertyRow& row = machine.addRow("Win32_Processor");
    auto name = running.processorName;
    if (!name && processor) name = processor->string(field::version);
    auto maker = running.processorMaker;
    if (!maker && processor) maker = processor->string(field::manufacturer);
    setText(row, "Name", name);
    setText(row, "Manufacturer", maker);
    const auto speed = processor ? nonZero(processor->word(field::currentSpeed)) : std::nullopt;
    setNumber(row, "CurrentClockSpeed", speed ? speed : running.processorMegahertz);
    setNumber(row, "ExtClock", processor ? nonZero(processor->word(field::externalClock)) : std::nullopt);
}

// Win32_Processor: one row per populated central processor; without one, a row from the running
// system where it lists a processor.
void addProcessors(MachineDescription& machine, const SmbiosTable& tables, const RunningSystem& running) {
    bool anyProcessor = false;
    for (const auto* processor : tables.ofType(StructureType::processor)) {
        if (!isPopulatedCentralProcessor(*processor)) continue;
        addProcessor(machine, processor, running);
        anyProcessor = true;
    }
    if (!anyProcessor && running.listsProcessor) addProcessor(machine, nullptr, running);
}

// Rows of a class of two texts, the maker and the product, from the two strings of each structure
// of the type.
void addMakerRows(MachineDescription& machine, const SmbiosTable& tables, StructureType type, const char* className,
                  std::array<std::pair<const char*, std::size_t>, 2> properties) {
    for (const auto* structure : tables.ofType(type)) {
        PropertyRow& row = machine.addRow(className);
        for (const auto& [name, offset] : properties) setText(row, name, structure->string(offset));
    }
}

// Win32_ComputerSystemProduct: serial number and version of the system structure.
void addProduct(MachineDescription& machine, const SmbiosTable& tables) {
    PropertyRow& row = machine.addRow("Win32_ComputerSystemProduct");
    if (const SmbiosStructure* system = systemStructure(tables)) {
        setText(row, "IdentifyingNumber", system->string(smbios::system::serialNumber));
        setText(row, "Version", system->string(smbios::system::version));
    }
}

}  // namespace

MachineDescription describeTables(const SmbiosTable& tables, const RunningSystem& running) {
    MachineDescription machine;
    addComputerSystem(machine, tables, running);
    addMemoryArrays(machine, tables);
    addModules(machine, tables);
    addProcessors(machine, tables, running);
    addMakerRows(machine, tables, StructureType::bios, "Win32_Bios",
                 {{{"Manufacturer", smbios::bios::vendor}, {"SMBIOSBIOSVersion", smbios::bios::version}}});
    addProduct(machine, tables);
    addMakerRows(machine, tables, StructureType::baseboard, "Win32_Baseboard",
                 {{{"Manufacturer", smbios::baseboard::manufacturer}, {"Product", smbios::baseboard::product}}});
    return machine;
}

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

bool isFirmwareMemory(std::optional<int> smbiosType) {
    return smbiosType && *smbiosType >= 0x08 && *smbiosType <= 0x0C;  // ROM, Flash, EEPROM, FEPROM, EPROM
}

void setText(PropertyRow& row, std::string_view name, const std::optional<std::string>& value) {
    if (value) row.set(name, *value);
}

void setNumber(PropertyRow& row, std::string_view name, std::optional<std::uint64_t> value) {
    if (value && *value <= static_cast<std::uint64_t>(INT64_MAX)) row.set(name, static_cast<std::int64_t>(*value));
}

void countModule(std::size_t& modules) {
    if (++modules > maximumClassRows) {
        throw ScanError("too many memory modules: Win32_PhysicalMemory has more than " +
                        std::to_string(maximumClassRows) + " rows");
    }
}

}  // namespace tavrix
