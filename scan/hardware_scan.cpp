#include "scan/hardware_scan.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "scan/lookup_address.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"
#include "scan/scan_report.h"
#include "scan/scan_sink.h"
#include "scan/value_table.h"

namespace tavrix {

namespace {

constexpr double unitFactor = 1024.0;
constexpr double megabyte = unitFactor * unitFactor;
constexpr double gigabyte = unitFactor * unitFactor * unitFactor;
const std::string notAvailable = "Not Available";

// The row's property read as a number for a division; nullopt when absent. Text must be a decimal
// number such as "8589934592" or "12.5", blanks around it allowed; anything else fails, naming the
// property as the source spells it.
std::optional<double> numberOf(const ManagementRow& row, const char* className, const char* property) {
    const ProviderValue value = row.readProperty(property);
    if (isAbsent(value)) return std::nullopt;
    if (const auto* whole = std::get_if<std::int64_t>(&value)) return static_cast<double>(*whole);
    const std::string& text = std::get<std::string>(value);
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    std::string_view digits;
    if (begin != std::string::npos) digits = std::string_view(text).substr(begin, end - begin + 1);
    std::string_view unsigned_part = digits;
    if (!unsigned_part.empty() && (unsigned_part.front() == '+' || unsigned_part.front() == '-')) {
        unsigned_part.remove_prefix(1);
    }
    bool sound = !unsigned_part.empty() && unsigned_part.find_first_not_of("0123456789.") == std::string_view::npos &&
                 unsigned_part.find('.') == unsigned_part.rfind('.') && unsigned_part != ".";
    double number = 0;
    if (sound) {
        if (digits.front() == '+') digits.remove_prefix(1);
        auto [ptr, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        sound = error == std::errc() && ptr == digits.data() + digits.size() && std::isfinite(number);
    }
    if (!sound) {
        throw ScanError(std::string(className) + " property \"" + row.propertyName(property) + "\" is not a number: " +
                        shownValue(text));
    }
    return number;
}

// Replaces a value that holds "System" anywhere by "Not Available"; other values stay.
void substitutePlaceholder(ProviderValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    if (text != nullptr && text->find("System") != std::string::npos) value = notAvailable;
}

// Visits the query's rows; a row beyond the most any class may have fails the scan before it is read.
template <typename RowHandler>
void forEachRow(ManagementConnection& connection, std::string_view query, RowHandler&& handle) {
    auto rows = connection.ExecQuery(query);
    if (!rows) return;
    std::size_t count = 0;
    while (const ManagementRow* row = rows->next()) {
        if (++count > maximumClassRows) {
            const std::string_view className = query.substr(query.rfind(' ') + 1);
            throw ScanError("more than " + std::to_string(maximumClassRows) + " " + std::string(className) + " rows");
        }
        handle(*row);
    }
}

}  // namespace

const std::vector<ClassProperties>& scannedClasses() {
    static const std::vector<ClassProperties> classes = {
        {"Win32_ComputerSystem", {"Manufacturer", "Model", "TotalPhysicalMemory", "SystemType"}},
        {"Win32_PhysicalMemoryArray", {"MaxCapacity", "Manufacturer", "MemoryDevices"}},
        {"Win32_PhysicalMemory", {"Capacity", "MemoryType", "Speed", "DeviceLocator"}},
        {"Win32_Processor", {"Name", "Manufacturer", "CurrentClockSpeed", "ExtClock"}},
        {"Win32_Bios", {"Manufacturer", "SMBIOSBIOSVersion"}},
        {"Win32_ComputerSystemProduct", {"IdentifyingNumber", "Version"}},
        {"Win32_Baseboard", {"Manufacturer", "Product"}},
    };
    return classes;
}

std::string localMoniker() {
    return std::string("winmgmts:") + "{impersonationLevel=impersonate}!\\\\" + "." + "\\root\\cimv2";
}

HardwareScan::HardwareScan(ManagementProvider& provider, ScanSink& sink, TextForm textForm)
    : provider_(provider), sink_(sink), text_(std::move(textForm)) {}

std::string HardwareScan::getTavrix() {
    connection_ = provider_.openConnection(localMoniker());
    readComputerSystem();
    readMemoryArrays();
    sink_.clearList(ModuleList::slotsLst);
    sink_.clearList(ModuleList::memoryLst);
    sink_.clearList(ModuleList::speedLst);
    readModules();
    readProcessors();
    readBios();
    readProduct();
    readBaseboard();
    substitutePlaceholder(values_.sysManufacturer);
    substitutePlaceholder(values_.productVersion);
    substitutePlaceholder(values_.sysModel);
    substitutePlaceholder(values_.productIdNumber);
    showValues();
    values_.reportText = buildScanReport(values_, text_);
    if (const auto* model = std::get_if<std::string>(&values_.sysModel); model != nullptr && *model == notAvailable) {
        values_.sysModel = values_.boardProduct;
    }
    lookupAddress_ = composeLookupAddress(values_, text_);
    sink_.navigate(lookupAddress_);
    return "Success";
}

void HardwareScan::readComputerSystem() {
    forEachRow(*connection_, "Select * from Win32_ComputerSystem", [this](const ManagementRow& row) {
        values_.sysManufacturer = row.readProperty("manufacturer");
        values_.sysModel = row.readProperty("Model");
        const auto bytes = numberOf(row, "Win32_ComputerSystem", "TotalPhysicalMemory");
        values_.totalMemoryGB = bytes ? roundToHundredths(*bytes / gigabyte) : 0;
        values_.sysType = row.readProperty("SystemType");
    });
}

void HardwareScan::readMemoryArrays() {
    forEachRow(*connection_, "Select * from Win32_PhysicalMemoryArray", [this](const ManagementRow& row) {
        const auto kilobytes = numberOf(row, "Win32_PhysicalMemoryArray", "MaxCapacity");
        values_.maxMemoryGB = kilobytes ? roundToHundredths(*kilobytes / megabyte) : 0;
        values_.memoryArrayManufacturer = row.readProperty("manufacturer");
        values_.memoryDevices = row.readProperty("MemoryDevices");
    });
}

void HardwareScan::readModules() {
    forEachRow(*connection_, "Select * from Win32_PhysicalMemory", [this](const ManagementRow& row) {
        const auto bytes = numberOf(row, "Win32_PhysicalMemory", "capacity");
        const ProviderValue type = row.readProperty("memorytype");
        const ProviderValue speed = row.readProperty("speed");
        const ProviderValue locator = row.readProperty("devicelocator");
        const std::string size = bytes ? text_(*bytes / megabyte) : std::string();

        values_.moduleCapacities += size + " MB,";
        values_.moduleTypes += text_(type) + ",";
        values_.moduleSpeeds += text_(speed) + " MHz,";
        values_.moduleSlots += text_(locator) + ",";
        sink_.appendRow(ModuleList::slotsLst, text_(locator));
        sink_.appendRow(ModuleList::memoryLst, size + " MB");
        sink_.appendRow(ModuleList::speedLst, text_(speed) + " MHz");
        if (values_.moduleCount == std::numeric_limits<std::int16_t>::max()) {
            throw ScanError("too many memory modules: Win32_PhysicalMemory has more than 32767 rows");
        }
        ++values_.moduleCount;
    });
}

void HardwareScan::readProcessors() {
    forEachRow(*connection_, "Select * from Win32_Processor", [this](const ManagementRow& row) {
        values_.cpuName = row.readProperty("Name");
        values_.cpuManufacturer = row.readProperty("manufacturer");
        values_.cpuSpeed = row.readProperty("CurrentClockSpeed");
        values_.cpuExtClock = row.readProperty("extclock");
    });
}

void HardwareScan::readBios() {
    forEachRow(*connection_, "Select * from Win32_Bios", [this](const ManagementRow& row) {
        values_.biosManufacturer = row.readProperty("manufacturer");
        values_.biosVersion = row.readProperty("SMBIOSBIOSVersion");
    });
}

void HardwareScan::readProduct() {
    forEachRow(*connection_, "Select * from Win32_ComputerSystemProduct", [this](const ManagementRow& row) {
        values_.productIdNumber = row.readProperty("IdentifyingNumber");
        values_.productVersion = row.readProperty("Version");
    });
}

void HardwareScan::readBaseboard() {
    forEachRow(*connection_, "Select * from Win32_Baseboard", [this](const ManagementRow& row) {
        values_.boardManufacturer = row.readProperty("manufacturer");
        values_.boardProduct = row.readProperty("product");
    });
}

void HardwareScan::showValues() {
    auto memoryText = [this](double gb) { return gb >= 1.0 ? text_(gb) + " GB" : text_(gb * unitFactor) + " MB"; };
    values_.installedMemoryText = memoryText(values_.totalMemoryGB);
    values_.maximumMemoryText = memoryText(values_.maxMemoryGB);
    values_.slotsText = text_(values_.memoryDevices) + "  (Currently Memory in " +
                        text_(static_cast<long long>(values_.moduleCount)) + " Slots)";

    for (const ValueEntry& entry : valueTable()) sink_.setCaption(entry.label, entry.text(values_, text_));
}

}  // namespace tavrix
