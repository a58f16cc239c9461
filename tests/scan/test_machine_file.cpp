#include "machine_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "scan_error.h"

namespace {

using namespace tavrix;
using ::testing::HasSubstr;

std::string errorOf(const std::string& text) {
    try {
        MachineFile::parse(text, "bad.machine");
    } catch (const ScanError& failure) {
        return failure.what();
    }
    return "no error";
}

std::string utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(MachineFile, ReadsRowsInFileOrderWithCaseInsensitiveNames) {
    const auto machine = MachineFile::parse(R"(# a comment
   # an indented comment

  [win32_physicalmemory]  
DeviceLocator=DIMM0
[Win32_Processor]
Name=CPU
[WIN32_PHYSICALMEMORY]
  devicelocator  =DIMM1
)",
                                            "m");
    const auto modules = machine.rowsOf("Win32_PhysicalMemory");
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(std::get<std::string>(modules[0]->readProperty("DEVICELOCATOR")), "DIMM0");
    EXPECT_EQ(std::get<std::string>(modules[1]->readProperty("DeviceLocator")), "DIMM1");
    EXPECT_EQ(machine.rows().size(), 3u);
}

TEST(MachineFile, KeepsValuesExactlyAndTellsEmptyFromAbsent) {
    const auto machine = MachineFile::parse("[Win32_Bios]\nManufacturer=  Acme = BIOS  \nVersion=\nSpeed= \n", "m");
    const auto& bios = *machine.rowsOf("Win32_Bios").at(0);
    EXPECT_EQ(std::get<std::string>(bios.readProperty("manufacturer")), "  Acme = BIOS  ");
    EXPECT_EQ(std::get<std::string>(bios.readProperty("Version")), "");
    EXPECT_EQ(std::get<std::string>(bios.readProperty("Speed")), " ");
    EXPECT_TRUE(isAbsent(bios.readProperty("SMBIOSBIOSVersion")));
}

TEST(MachineFile, TypesDigitsOfNumericPropertiesAsWholeNumbers) {
    const auto machine = MachineFile::parse(R"([Win32_PhysicalMemory]
Capacity=4294967296
Speed=1333
MemoryType=24
[Win32_PhysicalMemoryArray]
MaxCapacity=33554432
MemoryDevices=04
[Win32_Processor]
CurrentClockSpeed=2400 MHz
ExtClock=100
Name=1234
)",
                                            "m");
    const auto& module = *machine.rowsOf("Win32_PhysicalMemory").at(0);
    EXPECT_EQ(std::get<std::string>(module.readProperty("Capacity")), "4294967296");
    EXPECT_EQ(std::get<std::int64_t>(module.readProperty("speed")), 1333);
    EXPECT_EQ(std::get<std::int64_t>(module.readProperty("memorytype")), 24);
    const auto& array = *machine.rowsOf("Win32_PhysicalMemoryArray").at(0);
    EXPECT_EQ(std::get<std::int64_t>(array.readProperty("MaxCapacity")), 33554432);
    EXPECT_EQ(std::get<std::int64_t>(array.readProperty("MemoryDevices")), 4);
    const auto& cpu = *machine.rowsOf("Win32_Processor").at(0);
    EXPECT_EQ(std::get<std::string>(cpu.readProperty("CurrentClockSpeed")), "2400 MHz");
    EXPECT_EQ(std::get<std::int64_t>(cpu.readProperty("ExtClock")), 100);
    EXPECT_EQ(std::get<std::string>(cpu.readProperty("Name")), "1234");
}

TEST(MachineFile, AcceptsByteOrderMarksUtf16AndCrLf) {
    const auto utf8 = MachineFile::parse("\xEF\xBB\xBF[Win32_Bios]\r\nManufacturer=Caf\xC3\xA9\r\n", "m");
    EXPECT_EQ(std::get<std::string>(utf8.rowsOf("Win32_Bios").at(0)->readProperty("Manufacturer")), "Caf\xC3\xA9");

    const auto utf16 = MachineFile::parse(utf16le(u"[Win32_Bios]\r\nManufacturer=Caf\u00E9 \U0001F600\r\n"), "m");
    EXPECT_EQ(std::get<std::string>(utf16.rowsOf("Win32_Bios").at(0)->readProperty("Manufacturer")),
              "Caf\xC3\xA9 \xF0\x9F\x98\x80");
}

TEST(MachineFile, RejectsMalformedLinesNamingFileAndLine) {
    EXPECT_EQ(errorOf("[Win32_Bios]\nManufacturer=A\n\njust text\n"), "bad.machine:4: expected [Class] or Name=value");
    EXPECT_EQ(errorOf("\n=value\n"), "bad.machine:2: expected [Class] or Name=value");
    EXPECT_EQ(errorOf("Name=value\n[Win32_Bios]\n"), "bad.machine:1: property before the first [Class] header");
    EXPECT_EQ(errorOf("[ ]\n"), "bad.machine:1: empty class name in [ ]");
    EXPECT_EQ(errorOf("[Win32_Bios\n"), "bad.machine:1: expected [Class] or Name=value");
    EXPECT_EQ(errorOf("[Win32_Bios]\nVersion=\xC3\x28\n"), "bad.machine:2: invalid UTF-8");
    EXPECT_EQ(errorOf("[Win32_Bios]\nVersion=\xED\xA0\x80\n"), "bad.machine:2: invalid UTF-8");
    EXPECT_EQ(errorOf("[Win32_Bios]\nVersion=\xC0\xAF\n"), "bad.machine:2: invalid UTF-8");
    EXPECT_EQ(errorOf("[Win32_Bios]\nVersion=a\rb\n"), "bad.machine:2: control character in the line");
    EXPECT_EQ(errorOf(std::string("[Win32_Bios]\nVersion=a\0b\n", 25)), "bad.machine:2: control character in the line");
    EXPECT_EQ(errorOf(utf16le(u"[Win32_Bios]\nVersion=\xD800x\n")), "bad.machine:2: invalid UTF-16 (unpaired surrogate)");
    EXPECT_THAT(errorOf("\xFE\xFF"), HasSubstr("big-endian"));
    std::string wide = "[Win32_Bios]\n";
    for (int i = 0; i < 4096; ++i) wide += "p" + std::to_string(i) + "=\np0=again\n";  // repeats add no property
    EXPECT_EQ(MachineFile::parse(wide, "m").rows().at(0).propertyCount(), 4096u);
    EXPECT_EQ(errorOf(wide + "P4096=\n"), "bad.machine:8194: more than 4096 properties in one Win32_Bios row");
    // Characters that would reach the window, the report or the address invisibly or reorder the text around them.
    const std::pair<const char*, const char*> invisible[] = {
        {"a\tb", "tab in the value"},
        {"\t", "tab in the value"},
        {"a\xC2\x85", "control character in the line"},
        {"\xC2\x80", "control character in the line"},
        {"\xC2\x9B" "2J", "control character in the line"},
        {"\xC2\x9F", "control character in the line"},
        {"\xE2\x80\xA8", "invisible layout character U+2028 in the line"},
        {"\xE2\x80\xA9", "invisible layout character U+2029 in the line"},
        {"x\xE2\x80\xAA", "invisible layout character U+202A in the line"},
        {"\xE2\x80\xAE" "cba", "invisible layout character U+202E in the line"},
        {"\xE2\x81\xA6", "invisible layout character U+2066 in the line"},
        {"\xE2\x81\xA9", "invisible layout character U+2069 in the line"},
    };
    for (const auto& [value, message] : invisible) {
        EXPECT_EQ(errorOf(std::string("[Win32_Bios]\nVersion=") + value + "\n"), std::string("bad.machine:2: ") + message)
            << value;
    }
    EXPECT_EQ(errorOf(utf16le(u"[Win32_Bios]\n\nVersion=\x202E\n")), "bad.machine:3: invisible layout character U+202E in the line");
    // Their neighbours stay allowed.
    const auto machine = MachineFile::parse("[Win32_Bios]\n\tVersion =\xC2\xA0\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\n", "m");
    EXPECT_EQ(std::get<std::string>(machine.rows().at(0).readProperty("Version")), "\xC2\xA0\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA");
    EXPECT_THAT(errorOf("\xFF\xFE["), HasSubstr("odd number of bytes"));
}

TEST(MachineFile, ReportsFilesThatCannotBeRead) {
    EXPECT_THROW(
        {
            try {
                MachineFile::read("/nonexistent/acme.machine");
            } catch (const ScanError& failure) {
                EXPECT_THAT(failure.what(), HasSubstr("/nonexistent/acme.machine: cannot open"));
                throw;
            }
        },
        ScanError);
    EXPECT_THROW(MachineFile::read(TAVRIX_TEST_DATA), ScanError);
}

std::string readError(const std::string& path) {
    try {
        MachineFile::read(path);
    } catch (const ScanError& failure) {
        return failure.what();
    }
    return "no error";
}

TEST(MachineFile, ReadsOnlyRegularFilesOfAtMost16MibWithoutBlocking) {
    alarm(20);  // a FIFO that blocks the read ends the test here
    char pattern[] = "/tmp/tavrix-machine-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string fifo = folder + "/fifo.machine";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = folder + "/large.machine";
    std::ofstream(large) << "[Win32_Bios]\n" << std::string(16 * 1024 * 1024, '#');
    const std::string escaped = folder + "/\x1b[2J\x9b\xE2\x80\xAE.machine";
    std::ofstream(escaped) << "[Win32_Bios]\nVersion=\x01\n";

    const std::pair<std::string, std::string> cases[] = {
        {fifo, fifo + ": not a regular file"},
        {"/dev/null", "/dev/null: not a regular file"},
        {folder, folder + ": not a regular file"},
        {large, large + ": larger than 16 MiB, not a machine file"},
        {folder + "/\x1b]0;title\x07", folder + "/\\x1b]0;title\\x07: cannot open: No such file or directory"},
        {escaped, folder + "/\\x1b[2J\\x9b\\xe2\\x80\\xae.machine:2: control character in the line"},
    };
    for (const auto& [path, message] : cases) EXPECT_EQ(readError(path), message);
    std::filesystem::remove_all(folder);
    alarm(0);
}

// Rows of up to sixteen properties are searched one by one, larger ones through their index.
TEST(PropertyRow, KeepsTheFirstPlaceAndTheLastValueOfARepeatedNameInRowsOfAnySize) {
    for (const int size : {3, 16, 17, 5000}) {
        SCOPED_TRACE(size);
        PropertyRow row("Win32_Bios");
        for (int i = 0; i < size; ++i) row.set("Name" + std::to_string(i), std::string("first"));
        row.set("NAME0", std::int64_t{7});
        row.set("name" + std::to_string(size - 1), std::string("last"));
        ASSERT_EQ(row.properties().size(), static_cast<std::size_t>(size));
        EXPECT_EQ(row.properties().front().first, "Name0");
        EXPECT_EQ(std::get<std::int64_t>(row.readProperty("nAmE0")), 7);
        EXPECT_EQ(std::get<std::string>(row.readProperty("NAME" + std::to_string(size - 1))), "last");
        EXPECT_EQ(std::get<std::string>(row.readProperty("Name1")), "first");
        EXPECT_TRUE(isAbsent(row.readProperty("Name" + std::to_string(size))));
        EXPECT_TRUE(isAbsent(row.readProperty("Name")));
    }
}

// Only the letters A to Z match their lower-case forms: not the ASCII pairs one bit apart around
// them, nor Latin-1 or UTF-8 letters.
TEST(PropertyRow, MatchesNamesIgnoringTheCaseOfAsciiLettersOnly) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"SMBIOSBIOSVersion", "smbiosbiosversion", true},
        {"a", "A", true},
        {"Az", "aZ", true},
        {"@", "`", false},
        {"[", "{", false},
        {"^", "~", false},
        {"\xC1", "\xE1", false},
        {"Caf\xC3\x89", "caf\xC3\xA9", false},
        {"Name", "Name ", false},
        {"", "", true},
    };
    for (const auto& [stored, asked, matches] : cases) {
        for (const int filler : {0, 20}) {  // as the only property, and among enough to be indexed
            PropertyRow row("Win32_Bios");
            for (int i = 0; i < filler; ++i) row.set("Filler" + std::to_string(i), std::int64_t{i});
            row.set(stored, std::int64_t{1});
            EXPECT_EQ(row.readProperty(asked) == ProviderValue(std::int64_t{1}), matches) << stored << " " << asked;
        }
    }
}

}  // namespace
