#pragma once

#include <cstdint>
#include <string>

#include "scan/provider_value.h"

namespace tavrix {

// Everything one scan reads and derives. Provider values start absent, texts empty, figures 0.
struct ScanValues {
    ProviderValue sysManufacturer;
    ProviderValue sysModel;
    double totalMemoryGB = 0;
    ProviderValue sysType;
    double maxMemoryGB = 0;
    ProviderValue memoryArrayManufacturer;
    ProviderValue memoryDevices;
    std::string moduleCapacities;  // "4096 MB," per module
    std::string moduleTypes;       // "24," per module
    std::string moduleSpeeds;      // "1333 MHz," per module
    std::string moduleSlots;       // "DIMM0," per module
    std::int16_t moduleCount = 0;
    ProviderValue cpuName;
    ProviderValue cpuManufacturer;
    ProviderValue cpuSpeed;
    ProviderValue cpuExtClock;
    ProviderValue biosManufacturer;
    ProviderValue biosVersion;
    ProviderValue productIdNumber;
    ProviderValue productVersion;
    ProviderValue boardManufacturer;
    ProviderValue boardProduct;
    std::string installedMemoryText;
    std::string maximumMemoryText;
    std::string slotsText;
    std::string reportText;
};

}  // namespace tavrix
