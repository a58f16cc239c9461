#pragma once

#include <string>

// Every class the scan reads at its 32767-row cap, every property empty but the divided ones: the
// machine file up to the 16 MiB cap whose rows cost the most memory per byte.
inline std::string everyReadClassAtItsRowCap() {
    const char* rows[] = {
        "[Win32_ComputerSystem]\nManufacturer=\nModel=\nTotalPhysicalMemory=1\nSystemType=\n",
        "[Win32_PhysicalMemoryArray]\nMaxCapacity=1\nManufacturer=\nMemoryDevices=\n",
        "[Win32_PhysicalMemory]\nCapacity=1\nMemoryType=\nSpeed=\nDeviceLocator=\n",
        "[Win32_Processor]\nName=\nManufacturer=\nCurrentClockSpeed=\nExtClock=\n",
        "[Win32_Bios]\nManufacturer=\nSMBIOSBIOSVersion=\n",
        "[Win32_ComputerSystemProduct]\nIdentifyingNumber=\nVersion=\n",
        "[Win32_Baseboard]\nManufacturer=\nProduct=\n",
    };
    std::string text;
    for (const char* row : rows) {
        for (int i = 0; i < 32767; ++i) text += row;
    }
    return text;
}
