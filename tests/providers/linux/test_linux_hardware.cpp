#include "linux_hardware.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "fake_root.h"
#include "hardware_scan.h"
#include "recording_sink.h"
#include "scan_error.h"
#include "smbios_writer.h"

namespace {

using namespace tavrix;
using tavrix::testing::FakeRoot;
using tavrix::testing::SmbiosWriter;

// A desktop with a system-memory array of four slots, a flash array and five memory devices.
std::string desktopTable() {
    SmbiosWriter w;
    w.structure(0, 0x18, 0x00).string(0x04, "Acme BIOS Inc.").string(0x05, "F12 ");
    w.structure(1, 0x1B, 0x01).string(0x04, "Acme").string(0x05, "Tower 5").string(0x06, "v2").string(0x07, "SN-42");
    w.structure(2, 0x0F, 0x02).string(0x04, "Acme Boards").string(0x05, "B550M");
    w.structure(4, 0x30, 0x03)
        .byte(0x05, 0x03)
        .string(0x07, "AMD")
        .string(0x10, "Ryzen 5 5600")
        .word(0x12, 100)
        .word(0x16, 3500)
        .byte(0x18, 0x41);
    w.structure(4, 0x30, 0x04).byte(0x05, 0x03).word(0x16, 3500).byte(0x18, 0x00);  // empty socket
    w.structure(16, 0x17, 0x10).byte(0x05, 0x03).dword(0x07, 0x80000000u).word(0x0D, 4).qword(0x0F, 256ull << 30);
    w.structure(16, 0x17, 0x11).byte(0x05, 0x04).dword(0x07, 16384).word(0x0D, 1);  // flash memory
    w.structure(17, 0x28, 0x20)
        .word(0x04, 0x10)
        .word(0x0C, 8192)
        .string(0x10, "DIMM_A1")
        .byte(0x12, 0x1A)
        .word(0x15, 3200);
    w.structure(17, 0x28, 0x21).word(0x04, 0x10).word(0x0C, 0).string(0x10, "DIMM_A2").byte(0x12, 0x02);  // empty
    w.structure(17, 0x5C, 0x22)
        .word(0x04, 0x10)
        .word(0x0C, 0x7FFF)
        .dword(0x1C, 65536)
        .string(0x10, "DIMM_B1")
        .byte(0x12, 0x22)
        .word(0x15, 0xFFFF)
        .dword(0x54, 8000);
    w.structure(17, 0x1B, 0x23).word(0x04, 0x10).word(0x0C, 0x8000 | 512).string(0x10, "DIMM_B2").byte(0x12, 0x18);
    w.structure(17, 0x28, 0x24).word(0x04, 0x11).word(0x0C, 16).string(0x10, "BIOS ROM").byte(0x12, 0x09);
    w.structure(17, 0x28, 0x25).word(0x04, 0xFFFE).word(0x0C, 0xFFFF).byte(0x12, 0x12).word(0x15, 400);
    return w.table();
}

ProviderValue value(const MachineDescription& machine, const char* className, std::size_t row, const char* name) {
    const auto rows = machine.rowsOf(className);
    if (row >= rows.size()) return std::string("<no row>");
    return rows[row]->readProperty(name);
}

std::string text(const ProviderValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* n = std::get_if<std::int64_t>(&v)) return "#" + std::to_string(*n);
    return "<absent>";
}

MachineDescription describeTables(const FakeRoot& root, const std::string& table) {
    root.write("/sys/firmware/dmi/tables/smbios_entry_point", SmbiosWriter::entryPoint3(table.size()));
    root.write("/sys/firmware/dmi/tables/DMI", table);
    return LinuxHardware::read({root.path(), ""}).describe();
}

TEST(LinuxHardware, AnswersTheSevenClassesFromTheTables) {
    FakeRoot root;
    root.write("/proc/meminfo", "MemTotal:       16318480 kB\nMemFree: 1 kB\n");
    const auto machine = describeTables(root, desktopTable());
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "Manufacturer")), "Acme");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "Model")), "Tower 5");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "TotalPhysicalMemory")), "16710123520");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystemProduct", 0, "IdentifyingNumber")), "SN-42");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystemProduct", 0, "Version")), "v2");
    EXPECT_EQ(text(value(machine, "Win32_Bios", 0, "SMBIOSBIOSVersion")), "F12 ");
    EXPECT_EQ(text(value(machine, "Win32_Baseboard", 0, "Product")), "B550M");

    ASSERT_EQ(machine.rowsOf("Win32_Processor").size(), 1u);  // the empty socket is no processor
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "Name")), "Ryzen 5 5600");
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "Manufacturer")), "AMD");
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "CurrentClockSpeed")), "#3500");
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "ExtClock")), "#100");

    ASSERT_EQ(machine.rowsOf("Win32_PhysicalMemoryArray").size(), 1u);  // the flash array is not counted
    EXPECT_EQ(text(value(machine, "Win32_PhysicalMemoryArray", 0, "MaxCapacity")), "#268435456");
    EXPECT_EQ(text(value(machine, "Win32_PhysicalMemoryArray", 0, "MemoryDevices")), "#4");
    EXPECT_TRUE(isAbsent(value(machine, "Win32_PhysicalMemoryArray", 0, "Manufacturer")));

    const auto modules = machine.rowsOf("Win32_PhysicalMemory");
    ASSERT_EQ(modules.size(), 4u);  // neither the empty slot nor the flash device
    auto module = [&](std::size_t i, const char* name) {
        return text(value(machine, "Win32_PhysicalMemory", i, name));
    };
    EXPECT_EQ(module(0, "Capacity"), "8589934592");
    EXPECT_EQ(module(0, "MemoryType"), "#26");
    EXPECT_EQ(module(0, "Speed"), "#3200");
    EXPECT_EQ(module(0, "DeviceLocator"), "DIMM_A1");
    EXPECT_EQ(module(1, "Capacity"), "68719476736");  // extended size
    EXPECT_EQ(module(1, "Speed"), "#8000");           // extended speed
    EXPECT_EQ(module(1, "MemoryType"), "#34");
    EXPECT_EQ(module(2, "Capacity"), "524288");  // sized in kilobytes
    EXPECT_EQ(module(2, "Speed"), "<absent>");   // too short for a speed
    EXPECT_EQ(module(2, "MemoryType"), "#24");
    EXPECT_EQ(module(3, "Capacity"), "<absent>");  // unknown size
    EXPECT_EQ(module(3, "MemoryType"), "#20");
    EXPECT_EQ(module(3, "DeviceLocator"), "<absent>");
}

TEST(LinuxHardware, SysfsAndUdevGiveTheSameRowsAsTheTables) {
    FakeRoot root;
    const std::map<std::string, std::string> sysfs = {
        {"sys_vendor", "Acme"},
        {"product_name", "Tower 5"},
        {"product_version", "v2"},
        {"product_serial", "SN-42"},
        {"board_vendor", "Acme Boards"},
        {"board_name", "B550M"},
        {"bios_vendor", "Acme BIOS Inc."},
        {"bios_version", "F12 "},
    };
    for (const auto& [name, contents] : sysfs) root.write("/sys/class/dmi/id/" + name, contents + "\n");
    root.write("/run/udev/data/+dmi:id",
               "E:MEMORY_ARRAY_LOCATION=System Board Or Motherboard\nE:MEMORY_ARRAY_MAX_CAPACITY=274877906944\n"
               "E:MEMORY_ARRAY_NUM_DEVICES=4\n"
               "E:MEMORY_DEVICE_0_PRESENT=1\nE:MEMORY_DEVICE_0_SIZE=8589934592\nE:MEMORY_DEVICE_0_SPEED_MTS=3200\n"
               "E:MEMORY_DEVICE_0_TYPE=DDR4\nE:MEMORY_DEVICE_0_LOCATOR=DIMM_A1\n"
               "E:MEMORY_DEVICE_1_PRESENT=0\nE:MEMORY_DEVICE_1_LOCATOR=DIMM_A2\n"
               "E:MEMORY_DEVICE_10_PRESENT=1\nE:MEMORY_DEVICE_10_SIZE=524288\nE:MEMORY_DEVICE_10_TYPE=DDR3\n"
               "E:MEMORY_DEVICE_10_LOCATOR=DIMM_B2\n"
               "E:MEMORY_DEVICE_2_SIZE=68719476736\nE:MEMORY_DEVICE_2_SPEED_MTS=8000\nE:MEMORY_DEVICE_2_TYPE=DDR5\n"
               "E:MEMORY_DEVICE_2_LOCATOR=DIMM_B1\n"
               "E:MEMORY_DEVICE_11_SIZE=16384\nE:MEMORY_DEVICE_11_TYPE=Flash\nE:MEMORY_DEVICE_11_LOCATOR=BIOS ROM\n");
    root.write("/proc/meminfo", "MemTotal:       16318480 kB\n");
    const auto fromSysfs = LinuxHardware::read({root.path(), ""}).describe();

    FakeRoot tablesRoot;
    tablesRoot.write("/proc/meminfo", "MemTotal:       16318480 kB\n");
    const auto fromTables = describeTables(tablesRoot, desktopTable());
    for (const char* className : {"Win32_ComputerSystem", "Win32_ComputerSystemProduct", "Win32_Bios",
                                  "Win32_Baseboard", "Win32_PhysicalMemoryArray"}) {
        for (const auto& [name, expected] : fromTables.rowsOf(className).at(0)->properties()) {
            EXPECT_EQ(text(value(fromSysfs, className, 0, std::string(name).c_str())), text(expected)) << className << "." << name;
        }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        for (const char* name : {"Capacity", "Speed", "MemoryType", "DeviceLocator"}) {
            EXPECT_EQ(text(value(fromSysfs, "Win32_PhysicalMemory", i, name)),
                      text(value(fromTables, "Win32_PhysicalMemory", i, name)))
                << i << name;
        }
    }
    EXPECT_EQ(fromSysfs.rowsOf("Win32_PhysicalMemory").size(), 3u);
}

TEST(LinuxHardware, ProcessorValuesPreferCpuinfoThenFallBack) {
    FakeRoot root;
    root.write("/proc/cpuinfo",
               "processor\t: 0\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD Ryzen 5 5600 6-Core "
               "Processor\ncpu MHz\t\t: 2195.612\n\nprocessor\t: 1\nmodel name\t: other\n");
    const auto withTables = describeTables(root, desktopTable());
    EXPECT_EQ(text(value(withTables, "Win32_Processor", 0, "Name")), "AMD Ryzen 5 5600 6-Core Processor");
    EXPECT_EQ(text(value(withTables, "Win32_Processor", 0, "Manufacturer")), "AuthenticAMD");
    EXPECT_EQ(text(value(withTables, "Win32_Processor", 0, "CurrentClockSpeed")), "#3500");

    FakeRoot bare;
    bare.write("/proc/cpuinfo", "model name\t: Some CPU\ncpu MHz\t\t: 2195.612\n");
    auto machine = LinuxHardware::read({bare.path(), ""}).describe();
    ASSERT_EQ(machine.rowsOf("Win32_Processor").size(), 1u);
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "CurrentClockSpeed")), "#2196");
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "ExtClock")), "<absent>");
    bare.write("/sys/devices/system/cpu/cpu0/cpufreq/base_frequency", "3400000\n");
    machine = LinuxHardware::read({bare.path(), ""}).describe();
    EXPECT_EQ(text(value(machine, "Win32_Processor", 0, "CurrentClockSpeed")), "#3400");
}

TEST(LinuxHardware, MissingSourcesGiveAbsentValuesNotFailures) {
    FakeRoot root;
    root.write("/proc/sys/kernel/arch", "riscv64\n");
    auto machine = LinuxHardware::read({root.path(), ""}).describe();
    EXPECT_EQ(machine.rowsOf("Win32_ComputerSystem").size(), 1u);
    EXPECT_EQ(machine.rowsOf("Win32_ComputerSystemProduct").size(), 1u);
    EXPECT_EQ(machine.rows().size(), 2u);  // nothing else to say
    for (const char* name : {"Manufacturer", "Model", "TotalPhysicalMemory", "SystemType"}) {
        EXPECT_TRUE(isAbsent(value(machine, "Win32_ComputerSystem", 0, name))) << name;
    }
    EXPECT_TRUE(isAbsent(value(machine, "Win32_ComputerSystemProduct", 0, "IdentifyingNumber")));
}

TEST(LinuxHardware, UnusableLiveTablesFallBackToSysfs) {
    FakeRoot root;
    std::string random(31, '\0');
    for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>(i * 151 + 7);
    root.write("/sys/firmware/dmi/tables/smbios_entry_point", random);
    root.write("/sys/firmware/dmi/tables/DMI", desktopTable());
    root.write("/sys/class/dmi/id/sys_vendor", "Acme \x01\n");
    root.write("/sys/class/dmi/id/product_name", "\n");  // the kernel's way of saying "no string"
    root.write("/proc/sys/kernel/arch", "aarch64\n");
    const LinuxHardware hardware = LinuxHardware::read({root.path(), ""});
    EXPECT_THAT(hardware.warnings, ::testing::ElementsAre(root.path() + "/sys/firmware/dmi/tables/smbios_entry_point: "
                                                                         "no SMBIOS entry point (_SM_, _SM3_ or _DMI_), "
                                                                         "the tables left out"));
    const auto machine = hardware.describe();
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "Manufacturer")), "Acme .");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "Model")), "<absent>");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "SystemType")), "ARM64-based PC");

    FakeRoot emptyTable;  // a sound entry point over a table without structures
    emptyTable.write("/sys/firmware/dmi/tables/smbios_entry_point", SmbiosWriter::entryPoint3(0));
    emptyTable.write("/sys/firmware/dmi/tables/DMI", "");
    emptyTable.write("/sys/class/dmi/id/board_name", "B1\n");
    EXPECT_EQ(text(value(LinuxHardware::read({emptyTable.path(), ""}).describe(), "Win32_Baseboard", 0, "Product")),
              "B1");
}

// A dump is answered from its tables alone: the decoding computer's sysfs, /proc and architecture
// never reach the answer, and the installed memory comes from the mapped address ranges, else
// from the system memory's modules.
TEST(LinuxHardware, ADumpIsAnsweredFromItsTablesAlone) {
    FakeRoot root;
    root.write("/sys/class/dmi/id/bios_vendor", "Other Computer\n");
    root.write("/sys/class/dmi/id/sys_vendor", "Other Computer\n");
    root.write("/proc/meminfo", "MemTotal:       24680000 kB\n");
    root.write("/proc/cpuinfo", "vendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC\ncpu MHz\t\t: 2000.0\n");
    root.write("/proc/sys/kernel/arch", "x86_64\n");
    auto dumpOf = [&root](const std::string& table) {
        root.write("/pc.bin", SmbiosWriter::dump(SmbiosWriter::entryPoint3(table.size()), table));
        return LinuxHardware::read({root.path(), root.path() + "/pc.bin"}).describe();
    };
    SmbiosWriter w;
    w.structure(2, 0x0F, 0x02).string(0x04, "Acme Boards");
    w.structure(19, 0x1F, 0x30).dword(0x04, 0).dword(0x08, (4u << 20) - 1);  // 4 GiB in kB
    w.structure(19, 0x1F, 0x31).dword(0x04, 0xFFFFFFFFu).qword(0x0F, 4ull << 30).qword(0x17, (6ull << 30) - 1);
    const auto machine = dumpOf(w.table());
    EXPECT_TRUE(machine.rowsOf("Win32_Bios").empty());
    EXPECT_TRUE(machine.rowsOf("Win32_Processor").empty());
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "Manufacturer")), "<absent>");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "SystemType")), "<absent>");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "TotalPhysicalMemory")), std::to_string(6ull << 30));
    EXPECT_EQ(text(value(machine, "Win32_Baseboard", 0, "Manufacturer")), "Acme Boards");

    // The desktop's modules, flash left out: 8 GiB + 64 GiB + 512 KiB; its processor from its structure.
    const auto desktop = dumpOf(desktopTable());
    EXPECT_EQ(text(value(desktop, "Win32_ComputerSystem", 0, "TotalPhysicalMemory")),
              std::to_string((8ull << 30) + (64ull << 30) + (512ull << 10)));
    EXPECT_EQ(text(value(desktop, "Win32_Processor", 0, "Name")), "Ryzen 5 5600");
    EXPECT_EQ(text(value(desktop, "Win32_Processor", 0, "Manufacturer")), "AMD");
    EXPECT_EQ(text(value(desktop, "Win32_Processor", 0, "CurrentClockSpeed")), "#3500");
}

TEST(LinuxHardware, ADumpThatCannotBeUsedFailsNamingTheFile) {
    FakeRoot root;
    EXPECT_THAT(
        [&] {
            LinuxHardware::read({root.path(), root.path() + "/missing.bin"}).describe();
        },
        ::testing::ThrowsMessage<ScanError>(::testing::HasSubstr("missing.bin")));
    root.write("/empty.bin", "");
    EXPECT_THAT(
        [&] {
            LinuxHardware::read({root.path(), root.path() + "/empty.bin"}).describe();
        },
        ::testing::ThrowsMessage<ScanError>(::testing::HasSubstr("empty.bin: no SMBIOS entry point")));
    EXPECT_THAT(
        [&] {
            LinuxHardware::read({root.path(), root.path()}).describe();
        },
        ::testing::ThrowsMessage<ScanError>(::testing::HasSubstr("cannot read")));
}

TEST(LinuxHardware, MapsMemoryTypesAsWmiDoes) {
    const std::pair<int, int> cases[] = {{0x01, 1},  {0x02, 0},  {0x03, 2},  {0x04, 6},  {0x0F, 17}, {0x12, 20},
                                         {0x13, 21}, {0x14, 22}, {0x15, 0},  {0x17, 0},  {0x18, 24}, {0x19, 25},
                                         {0x1A, 26}, {0x1E, 30}, {0x22, 34}, {0x23, 35}, {0x00, 0}};
    for (const auto& [smbios, wmi] : cases) EXPECT_EQ(wmiMemoryType(smbios), wmi) << smbios;
    EXPECT_EQ(smbiosMemoryType("DDR4"), 0x1A);
    EXPECT_EQ(smbiosMemoryType("DDR2 FB-DIMM"), 0x14);
    EXPECT_EQ(smbiosMemoryType("LPDDR5"), 0x23);
    EXPECT_EQ(smbiosMemoryType("Reserved"), std::nullopt);
    EXPECT_EQ(smbiosMemoryType("ddr4"), std::nullopt);
}

}  // namespace

namespace {

// The whole scan of a dump through the platform provider against the report kept beside the dump
// (TAVRIX_WRITE_SAMPLES=1 rewrites it).
TEST(LinuxHardware, ScanOfADumpGivesItsGoldenReport) {
    const std::string dump = std::string(TAVRIX_TEST_DATA) + "/smbios/synthetic-legacy.bin";
    const auto provider = makePlatformProvider({"/", dump});
    RecordingSink sink;
    HardwareScan scan(*provider, sink);
    ASSERT_EQ(scan.getTavrix(), "Success");
    const std::string golden = dump.substr(0, dump.size() - 4) + ".report";
    if (std::getenv("TAVRIX_WRITE_SAMPLES")) std::ofstream(golden, std::ios::binary) << scan.values().reportText;
    std::ifstream file(golden, std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(scan.values().reportText, expected);
}

}  // namespace

namespace {

std::string scanError(const PlatformSources& sources) {
    try {
        LinuxHardware::read(sources).describe();
    } catch (const ScanError& failure) {
        return failure.what();
    }
    return "no error";
}

}  // namespace

TEST(LinuxHardware, ReadsOnlyRegularFilesOfPlausibleSizeWithoutBlocking) {
    alarm(20);  // a FIFO that blocks the read ends the test here
    FakeRoot root;
    root.write("/sys/class/dmi/id/board_name", "B1\n");
    root.write("/run/udev/data/+dmi:id", "E:MEMORY_ARRAY_NUM_DEVICES=4\n" + std::string(1024 * 1024, '#'));
    root.write("/proc/meminfo/x", "");  // a folder where a file should be
    ASSERT_EQ(mkfifo((root.path() + "/fifo.bin").c_str(), 0600), 0);
    for (const char* path : {"/proc/cpuinfo", "/sys/class/dmi/id/sys_vendor"}) {
        ASSERT_EQ(mkfifo((root.path() + path).c_str(), 0600), 0) << path;
    }
    const LinuxHardware hardware = LinuxHardware::read({root.path(), ""});
    const auto machine = hardware.describe();
    EXPECT_EQ(text(value(machine, "Win32_Baseboard", 0, "Product")), "B1");
    EXPECT_EQ(text(value(machine, "Win32_ComputerSystem", 0, "Manufacturer")), "<absent>");
    EXPECT_TRUE(machine.rowsOf("Win32_Processor").empty());
    EXPECT_TRUE(machine.rowsOf("Win32_PhysicalMemoryArray").empty());
    EXPECT_THAT(hardware.warnings,
                ::testing::UnorderedElementsAre(root.path() + "/sys/class/dmi/id/sys_vendor: not a regular file, left out",
                                                root.path() + "/run/udev/data/+dmi:id: larger than 1 MiB, left out",
                                                root.path() + "/proc/meminfo: not a regular file, left out",
                                                root.path() + "/proc/cpuinfo: not a regular file, left out"));

    const std::pair<PlatformSources, std::string> failures[] = {
        {{root.path(), root.path() + "/fifo.bin"}, root.path() + "/fifo.bin: cannot read the dump file: not a regular file"},
        {{root.path(), "/dev/zero"}, "/dev/zero: cannot read the dump file: not a regular file"},
        {{root.path() + "/no/such/dir", ""}, root.path() + "/no/such/dir: cannot use as the root: No such file or directory"},
        {{root.path() + "/proc/cpuinfo", ""}, root.path() + "/proc/cpuinfo: cannot use as the root: not a directory"},
        {{"/no/\x1b[2J", ""}, "/no/\\x1b[2J: cannot use as the root: No such file or directory"},
    };
    for (const auto& [sources, message] : failures) EXPECT_EQ(scanError(sources), message);
    alarm(0);
}

TEST(LinuxHardware, ADamagedTableGivesWhatItCanAndAWarningNamingTheOffset) {
    SmbiosWriter w;
    w.structure(2, 0x0F, 0x02).string(0x04, "Acme Boards");              // 28 bytes at 0x00
    w.structure(17, 0x28, 0x20).word(0x0C, 8192).string(0x10, "DIMM_A1");  // 49 bytes at 0x1c
    std::string table = w.table();                                       // the end at 0x4d, 83 bytes in all
    FakeRoot root;
    root.write("/pc.bin", SmbiosWriter::dump(SmbiosWriter::entryPoint3(table.size()), table.substr(0, 0x4d)));
    root.write("/sys/firmware/dmi/tables/smbios_entry_point", SmbiosWriter::entryPoint3(table.size()));
    table[0x1c + 1] = 2;  // the module's length, shorter than its header
    root.write("/sys/firmware/dmi/tables/DMI", table);

    const LinuxHardware dump = LinuxHardware::read({root.path(), root.path() + "/pc.bin"});
    EXPECT_EQ(text(value(dump.describe(), "Win32_PhysicalMemory", 0, "DeviceLocator")), "DIMM_A1");
    EXPECT_THAT(dump.warnings, ::testing::ElementsAre(root.path() + "/pc.bin: the structure table ends at offset 0x4d, "
                                                                    "short of the 83 bytes its entry point gives"));
    const LinuxHardware live = LinuxHardware::read({root.path(), ""});
    EXPECT_EQ(text(value(live.describe(), "Win32_Baseboard", 0, "Manufacturer")), "Acme Boards");
    EXPECT_THAT(live.warnings, ::testing::ElementsAre(root.path() + "/sys/firmware/dmi/tables/DMI: structure type 17 at "
                                                                    "offset 0x1c is 2 bytes, shorter than its header"));
}

TEST(LinuxHardware, ADamagedEntryPointIsDecodedWithAWarningNamingItsFile) {
    const std::string table = desktopTable();
    std::string entry = SmbiosWriter::entryPoint3(table.size());
    entry[0x05] = static_cast<char>(entry[0x05] + 1);
    FakeRoot root;
    root.write("/pc.bin", SmbiosWriter::dump(entry, table));
    root.write("/sys/firmware/dmi/tables/smbios_entry_point", entry);
    root.write("/sys/firmware/dmi/tables/DMI", table);
    const std::string problem = ": the _SM3_ entry point's checksum is wrong (its 24 bytes sum to 0x01, not 0); decoded anyway";
    for (const auto& [dumpFile, named] : {std::pair{root.path() + "/pc.bin", root.path() + "/pc.bin"},
                                          {std::string(), root.path() + "/sys/firmware/dmi/tables/smbios_entry_point"}}) {
        const LinuxHardware hardware = LinuxHardware::read({root.path(), dumpFile});
        EXPECT_THAT(hardware.warnings, ::testing::ElementsAre(named + problem));
        EXPECT_EQ(text(value(hardware.describe(), "Win32_Baseboard", 0, "Product")), "B550M");
    }
}

TEST(LinuxHardware, MoreModulesThanTheScanCanCountFailAsTheyAreFound) {
    SmbiosWriter w;
    w.structure(16, 0x17, 0x10).byte(0x05, 0x03).word(0x0D, 4);
    for (int i = 0; i < 32768; ++i) w.structure(17, 0x15, static_cast<std::uint16_t>(0x20 + i)).word(0x04, 0x10).word(0x0C, 1024);
    FakeRoot root;
    EXPECT_THAT([&] { describeTables(root, w.table()); },
                ::testing::ThrowsMessage<ScanError>(
                    "too many memory modules: Win32_PhysicalMemory has more than 32767 rows"));
}
