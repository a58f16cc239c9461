#include "providers/linux/linux_hardware.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "scan/hardware_scan.h"
#include "scan/recording_sink.h"
#include "scan/scan_error.h"
#include "tests/providers/linux/fake_root.h"
#include "tests/providers/smbios/machine_values.h"
#include "tests/providers/smbios/synthetic_tables.h"

namespace {

using namespace tavrix;
using namespace tavrix::testing;
using ::testing::ElementsAre;

MachineDescription describeLiveTables(const FakeRoot& root, const std::string& table) {
    root.write("/sys/firmware/dmi/tables/smbios_entry_point", SmbiosWriter::entryPoint3(table.size()));
    root.write("/sys/firmware/dmi/tables/DMI", table);
    return LinuxHardware::read({root.path(), ""}).describe();
}

const char meminfo[] = "MemTotal:       16318480 kB\nMemFree: 1 kB\n";

TEST(LinuxHardware, SysfsAndUdevGiveTheSameRowsAsTheTables) {
    FakeRoot root;
    for (const auto& [name, contents] :
         {std::pair{"sys_vendor", "Acme"}, {"product_name", "Tower 5"}, {"product_version", "v2"},
          {"product_serial", "SN-42"}, {"board_vendor", "Acme Boards"}, {"board_name", "B550M"},
          {"bios_vendor", "Acme BIOS Inc."}, {"bios_version", "F12 "}})
        root.write(std::string("/sys/class/dmi/id/") + name, std::string(contents) + "\n");
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
    root.write("/proc/meminfo", meminfo);
    const auto fromSysfs = LinuxHardware::read({root.path(), ""}).describe();
    FakeRoot tablesRoot;
    tablesRoot.write("/proc/meminfo", meminfo);
    const auto fromTables = describeLiveTables(tablesRoot, desktopTable());
    for (const char* className :
         {"ComputerSystem", "ComputerSystemProduct", "Bios", "Baseboard", "PhysicalMemoryArray"})
        for (const auto& [name, expected] : fromTables.rowsOf(std::string("Win32_") + className).at(0)->properties())
            EXPECT_EQ(value(fromSysfs, className, 0, name), value(fromTables, className, 0, name)) << className << name;
    EXPECT_EQ(fromSysfs.rowsOf("Win32_PhysicalMemory").size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        for (const char* name : {"Capacity", "Speed", "MemoryType", "DeviceLocator"})
            EXPECT_EQ(value(fromSysfs, "PhysicalMemory", i, name), value(fromTables, "PhysicalMemory", i, name))
                << i << name;
}

TEST(LinuxHardware, ProcessorValuesPreferCpuinfoThenFallBack) {
    FakeRoot root;
    root.write("/proc/cpuinfo",
               "processor\t: 0\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD Ryzen 5 5600 6-Core "
               "Processor\ncpu MHz\t\t: 2195.612\n\nprocessor\t: 1\nmodel name\t: other\n");
    expectValues(describeLiveTables(root, desktopTable()), {{"Processor", 0, "Name", "AMD Ryzen 5 5600 6-Core Processor"},
                                                        {"Processor", 0, "Manufacturer", "AuthenticAMD"},
                                                        {"Processor", 0, "CurrentClockSpeed", "#3500"}});
    FakeRoot bare;
    bare.write("/proc/cpuinfo", "model name\t: Some CPU\ncpu MHz\t\t: 2195.612\n");
    const auto machine = LinuxHardware::read({bare.path(), ""}).describe();
    EXPECT_EQ(machine.rowsOf("Win32_Processor").size(), 1u);
    expectValues(machine, {{"Processor", 0, "CurrentClockSpeed", "#2196"}, {"Processor", 0, "ExtClock", "<absent>"}});
    bare.write("/sys/devices/system/cpu/cpu0/cpufreq/base_frequency", "3400000\n");
    expectValues(LinuxHardware::read({bare.path(), ""}).describe(), {{"Processor", 0, "CurrentClockSpeed", "#3400"}});
}

TEST(LinuxHardware, MissingSourcesGiveAbsentValuesNotFailures) {
    FakeRoot root;
    root.write("/proc/sys/kernel/arch", "riscv64\n");
    const auto machine = LinuxHardware::read({root.path(), ""}).describe();
    EXPECT_EQ(machine.rows().size(), 2u);  // one system and one product row, nothing else to say
    expectValues(machine, {{"ComputerSystem", 0, "Manufacturer", "<absent>"},
                           {"ComputerSystem", 0, "Model", "<absent>"},
                           {"ComputerSystem", 0, "TotalPhysicalMemory", "<absent>"},
                           {"ComputerSystem", 0, "SystemType", "<absent>"},
                           {"ComputerSystemProduct", 0, "IdentifyingNumber", "<absent>"}});
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
    EXPECT_THAT(hardware.warnings, ElementsAre(root.path() + "/sys/firmware/dmi/tables/smbios_entry_point: no "
                                                             "SMBIOS entry point (_SM_, _SM3_ or _DMI_), the tables "
                                                             "left out"));
    expectValues(hardware.describe(), {{"ComputerSystem", 0, "Manufacturer", "Acme ."},
                                       {"ComputerSystem", 0, "Model", "<absent>"},
                                       {"ComputerSystem", 0, "SystemType", "ARM64-based PC"}});

    FakeRoot emptyTable;  // a sound entry point over a table without structures
    emptyTable.write("/sys/firmware/dmi/tables/smbios_entry_point", SmbiosWriter::entryPoint3(0));
    emptyTable.write("/sys/firmware/dmi/tables/DMI", "");
    emptyTable.write("/sys/class/dmi/id/board_name", "B1\n");
    expectValues(LinuxHardware::read({emptyTable.path(), ""}).describe(), {{"Baseboard", 0, "Product", "B1"}});
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
    expectValues(machine, {{"ComputerSystem", 0, "Manufacturer", "<absent>"},
                           {"ComputerSystem", 0, "SystemType", "<absent>"},
                           {"ComputerSystem", 0, "TotalPhysicalMemory", std::to_string(6ull << 30)},
                           {"Baseboard", 0, "Manufacturer", "Acme Boards"}});
    // The desktop's modules, flash left out: 8 GiB + 64 GiB + 512 KiB; its processor from its structure.
    expectValues(dumpOf(desktopTable()),
                 {{"ComputerSystem", 0, "TotalPhysicalMemory", std::to_string((72ull << 30) + (512ull << 10))},
                  {"Processor", 0, "Name", "Ryzen 5 5600"},
                  {"Processor", 0, "Manufacturer", "AMD"},
                  {"Processor", 0, "CurrentClockSpeed", "#3500"}});
}

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
    EXPECT_EQ(scan.values().reportText, std::string(std::istreambuf_iterator<char>(file), {}));
}

std::string scanError(const PlatformSources& sources) {
    try {
        LinuxHardware::read(sources).describe();
    } catch (const ScanError& failure) {
        return failure.what();
    }
    return "no error";
}

// FIFOs, devices, folders and oversized files are left out with a warning, never read; a root or
// dump that cannot be used fails naming it.
TEST(LinuxHardware, ReadsOnlyRegularFilesOfPlausibleSizeWithoutBlocking) {
    alarm(20);  // a FIFO that blocks the read ends the test here
    FakeRoot root;
    const std::string at = root.path();
    root.write("/sys/class/dmi/id/board_name", "B1\n");
    root.write("/run/udev/data/+dmi:id", "E:MEMORY_ARRAY_NUM_DEVICES=4\n" + std::string(1024 * 1024, '#'));
    root.write("/proc/meminfo/x", "");  // a folder where a file should be
    root.write("/empty.bin", "");
    for (const char* path : {"/fifo.bin", "/proc/cpuinfo", "/sys/class/dmi/id/sys_vendor"})
        ASSERT_EQ(mkfifo((at + path).c_str(), 0600), 0) << path;
    const LinuxHardware hardware = LinuxHardware::read({at, ""});
    const auto machine = hardware.describe();
    expectValues(machine, {{"Baseboard", 0, "Product", "B1"}, {"ComputerSystem", 0, "Manufacturer", "<absent>"}});
    EXPECT_TRUE(machine.rowsOf("Win32_Processor").empty());
    EXPECT_TRUE(machine.rowsOf("Win32_PhysicalMemoryArray").empty());
    EXPECT_THAT(hardware.warnings, ::testing::UnorderedElementsAre(
                                       at + "/sys/class/dmi/id/sys_vendor: not a regular file, left out",
                                       at + "/run/udev/data/+dmi:id: larger than 1 MiB, left out",
                                       at + "/proc/meminfo: not a regular file, left out",
                                       at + "/proc/cpuinfo: not a regular file, left out"));

    const std::pair<PlatformSources, std::string> failures[] = {
        {{at, at + "/fifo.bin"}, at + "/fifo.bin: cannot read the dump file: not a regular file"},
        {{at, "/dev/zero"}, "/dev/zero: cannot read the dump file: not a regular file"},
        {{at, at + "/missing.bin"}, at + "/missing.bin: cannot read the dump file: cannot open: No such file or "
                                         "directory"},
        {{at, at + "/empty.bin"}, at + "/empty.bin: no SMBIOS entry point (_SM_, _SM3_ or _DMI_)"},
        {{at, at}, at + ": cannot read the dump file: not a regular file"},
        {{at + "/no/such/dir", ""}, at + "/no/such/dir: cannot use as the root: No such file or directory"},
        {{at + "/proc/cpuinfo", ""}, at + "/proc/cpuinfo: cannot use as the root: not a directory"},
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
    expectValues(dump.describe(), {{"PhysicalMemory", 0, "DeviceLocator", "DIMM_A1"}});
    EXPECT_THAT(dump.warnings, ElementsAre(root.path() + "/pc.bin: the structure table ends at offset 0x4d, "
                                                         "short of the 83 bytes its entry point gives"));
    const LinuxHardware live = LinuxHardware::read({root.path(), ""});
    expectValues(live.describe(), {{"Baseboard", 0, "Manufacturer", "Acme Boards"}});
    EXPECT_THAT(live.warnings, ElementsAre(root.path() + "/sys/firmware/dmi/tables/DMI: structure type 17 at "
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
        EXPECT_THAT(hardware.warnings, ElementsAre(named + problem));
        expectValues(hardware.describe(), {{"Baseboard", 0, "Product", "B550M"}});
    }
}

}  // namespace
