#include "providers/smbios/smbios_classes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "scan/scan_error.h"
#include "tests/providers/smbios/machine_values.h"
#include "tests/providers/smbios/synthetic_tables.h"

namespace {

using namespace tavrix;
using namespace tavrix::testing;

MachineDescription describe(const std::string& table, const RunningSystem& running = {}) {
    return describeTables(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(table.size()), table), running);
}

TEST(SmbiosClasses, AnswersTheSevenClassesFromTheTables) {
    RunningSystem running;
    running.memoryBytes = 16318480ull * 1024;
    const auto machine = describe(desktopTable(), running);
    // Neither the empty socket, nor the flash array, nor the empty slot or the flash device count.
    EXPECT_EQ(machine.rowsOf("Win32_Processor").size(), 1u);
    EXPECT_EQ(machine.rowsOf("Win32_PhysicalMemoryArray").size(), 1u);
    EXPECT_EQ(machine.rowsOf("Win32_PhysicalMemory").size(), 4u);
    expectValues(machine, {
        {"ComputerSystem", 0, "Manufacturer", "Acme"}, {"ComputerSystem", 0, "Model", "Tower 5"},
        {"ComputerSystem", 0, "TotalPhysicalMemory", "16710123520"},
        {"ComputerSystemProduct", 0, "IdentifyingNumber", "SN-42"}, {"ComputerSystemProduct", 0, "Version", "v2"},
        {"Bios", 0, "SMBIOSBIOSVersion", "F12 "}, {"Baseboard", 0, "Product", "B550M"},
        {"Processor", 0, "Name", "Ryzen 5 5600"}, {"Processor", 0, "Manufacturer", "AMD"},
        {"Processor", 0, "CurrentClockSpeed", "#3500"}, {"Processor", 0, "ExtClock", "#100"},
        {"PhysicalMemoryArray", 0, "MaxCapacity", "#268435456"}, {"PhysicalMemoryArray", 0, "MemoryDevices", "#4"},
        {"PhysicalMemoryArray", 0, "Manufacturer", "<absent>"},
        {"PhysicalMemory", 0, "Capacity", "8589934592"}, {"PhysicalMemory", 0, "MemoryType", "#26"},
        {"PhysicalMemory", 0, "Speed", "#3200"}, {"PhysicalMemory", 0, "DeviceLocator", "DIMM_A1"},
        {"PhysicalMemory", 1, "Capacity", "68719476736"},  // extended size
        {"PhysicalMemory", 1, "Speed", "#8000"},           // extended speed
        {"PhysicalMemory", 1, "MemoryType", "#34"},
        {"PhysicalMemory", 2, "Capacity", "524288"},  // sized in kilobytes
        {"PhysicalMemory", 2, "Speed", "<absent>"},   // too short for a speed
        {"PhysicalMemory", 2, "MemoryType", "#24"},
        {"PhysicalMemory", 3, "Capacity", "<absent>"},  // unknown size
        {"PhysicalMemory", 3, "MemoryType", "#20"}, {"PhysicalMemory", 3, "DeviceLocator", "<absent>"},
    });
}

// The installed memory is the sum of the mapped address ranges (type 19). FFFFFFFFh in either
// address sends the reader to the extended fields; a range they do not give is none (the firmware
// quirk of 0 to FFFFFFFFh with the extended fields empty read 4 TiB), and with no range left, or a
// sum past 64 bits, the installed memory is the modules' (two of 8 GiB here).
TEST(SmbiosClasses, InstalledMemoryComesFromSoundRangesElseFromTheModules) {
    using Ranges = std::function<void(SmbiosWriter&)>;
    auto range = [](SmbiosWriter& w, std::uint32_t start, std::uint32_t end) {
        w.structure(19, 0x1F, 0x30).dword(0x04, start).dword(0x08, end);
    };
    auto extended = [](SmbiosWriter& w, std::uint32_t start, std::uint32_t end, std::uint64_t first,
                       std::uint64_t last) {
        w.structure(19, 0x1F, 0x30).dword(0x04, start).dword(0x08, end).qword(0x0F, first).qword(0x17, last);
    };
    const std::string modules = std::to_string(16ull << 30);
    const std::pair<Ranges, std::string> cases[] = {
        {[](SmbiosWriter&) {}, modules},
        {[&](SmbiosWriter& w) { range(w, 0, 0xFFFFFFFF); }, modules},  // the quirk
        {[&](SmbiosWriter& w) { range(w, 0, (4u << 20) - 1); range(w, 0, 0xFFFFFFFF); }, std::to_string(4ull << 30)},
        {[&](SmbiosWriter& w) { extended(w, 0xFFFFFFFF, 0xFFFFFFFF, 0, (32ull << 30) - 1); }, std::to_string(32ull << 30)},
        {[&](SmbiosWriter& w) { extended(w, 0, 0xFFFFFFFF, 4ull << 30, (12ull << 30) - 1); }, std::to_string(8ull << 30)},
        {[&](SmbiosWriter& w) { w.structure(19, 0x0F, 0x30).dword(0x04, 0xFFFFFFFF).dword(0x08, 0xFFFFFFFF); }, modules},
        {[&](SmbiosWriter& w) { extended(w, 0xFFFFFFFF, 0xFFFFFFFF, 8ull << 30, (4ull << 30) - 1); }, modules},
        {[&](SmbiosWriter& w) { range(w, 8u << 20, (4u << 20) - 1); }, modules},
        {[&](SmbiosWriter& w) { extended(w, 0xFFFFFFFF, 0xFFFFFFFF, 0, UINT64_MAX); }, modules},  // 2^64 bytes
        {[&](SmbiosWriter& w) {
             for (int i = 0; i < 3; ++i) extended(w, 0xFFFFFFFF, 0xFFFFFFFF, 0, (1ull << 63) - 1);
         },
         modules},
    };
    for (const auto& [ranges, installed] : cases) {
        SmbiosWriter w;
        w.structure(16, 0x17, 0x10).byte(0x05, 0x03).dword(0x07, 64u << 20).word(0x0D, 2);
        for (int i = 0; i < 2; ++i) w.structure(17, 0x28, 0x20 + i).word(0x04, 0x10).word(0x0C, 8192);
        ranges(w);
        EXPECT_EQ(value(describe(w.table()), "ComputerSystem", 0, "TotalPhysicalMemory"), installed) << installed;
    }
    SmbiosWriter huge;  // modules whose sizes add up past 64 bits give no installed memory either
    for (int i = 0; i < 8193; ++i) huge.structure(17, 0x20, 0x20 + i).word(0x0C, 0x7FFF).dword(0x1C, 0x7FFFFFFF);
    EXPECT_EQ(value(describe(huge.table()), "ComputerSystem", 0, "TotalPhysicalMemory"), "<absent>");
}

TEST(SmbiosClasses, MapsMemoryTypesAsWmiDoes) {
    const std::pair<int, int> cases[] = {{0x01, 1},  {0x02, 0},  {0x03, 2},  {0x04, 6},  {0x0F, 17}, {0x12, 20},
                                         {0x13, 21}, {0x14, 22}, {0x15, 0},  {0x17, 0},  {0x18, 24}, {0x19, 25},
                                         {0x1A, 26}, {0x1E, 30}, {0x22, 34}, {0x23, 35}, {0x00, 0}};
    for (const auto& [smbios, wmi] : cases) EXPECT_EQ(wmiMemoryType(smbios), wmi) << smbios;
    for (const auto& [name, code] : {std::pair<const char*, std::optional<int>>{"DDR4", 0x1A},
                                     {"DDR2 FB-DIMM", 0x14}, {"LPDDR5", 0x23}, {"Reserved", std::nullopt},
                                     {"ddr4", std::nullopt}})
        EXPECT_EQ(smbiosMemoryType(name), code) << name;
}

TEST(SmbiosClasses, MoreModulesThanTheScanCanCountFailAsTheyAreFound) {
    SmbiosWriter w;
    w.structure(16, 0x17, 0x10).byte(0x05, 0x03).word(0x0D, 4);
    for (int i = 0; i < 32768; ++i) w.structure(17, 0x15, static_cast<std::uint16_t>(0x20 + i)).word(0x04, 0x10).word(0x0C, 1024);
    EXPECT_THAT([&] { describe(w.table()); },
                ::testing::ThrowsMessage<ScanError>("too many memory modules: Win32_PhysicalMemory has more than 32767 rows"));
}

}  // namespace
