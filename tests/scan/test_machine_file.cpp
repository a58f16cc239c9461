#include "scan/machine_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "scan/machine_file_writer.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"
#include "scan/text_characters.h"

namespace {

using namespace tavrix;
using ::testing::HasSubstr;

// The message of the ScanError the call throws, or "no error".
template <typename Call>
std::string messageOf(const Call& call) {
    try {
        call();
    } catch (const ScanError& failure) {
        return failure.what();
    }
    return "no error";
}

std::string errorOf(const std::string& text, const std::vector<ClassProperties>& kept = {}) {
    return messageOf([&] {
        kept.empty() ? MachineFile::parse(text, "bad.machine") : MachineFile::parse(text, "bad.machine", kept);
    });
}

ProviderValue valueOf(const MachineDescription& machine, const char* className, const char* property,
                      std::size_t row = 0) {
    return machine.rowsOf(className).at(row)->readProperty(property);
}

std::string utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Rows in file order with names in any case; values kept exactly, empty apart from absent; the digits
// of the numeric properties as whole numbers up to 64 bits; byte-order marks, UTF-16 and CR LF read.
TEST(MachineFile, ReadsRowsAndValuesExactlyTypingNumericPropertiesInEveryEncoding) {
    const auto machine = MachineFile::parse("# a comment\n   # an indented comment\n\n  [win32_bios]  \n"
                                            "Manufacturer=  Acme = BIOS  \nVersion=\nSpeed= \n" R"(
[Win32_PhysicalMemory]
Capacity=4294967296
Speed=1333
MemoryType=24
DeviceLocator=DIMM0
[Win32_PhysicalMemoryArray]
MaxCapacity=33554432
MemoryDevices=04
[Win32_Processor]
CurrentClockSpeed=2400 MHz
ExtClock=100
Name=1234
[WIN32_PHYSICALMEMORY]
  devicelocator  =DIMM1
[Win32_CacheMemory]
MaxCapacity=0000000000000000000000008
Speed=9223372036854775807
MemoryType=9223372036854775808
)",
                                            "m");
    EXPECT_EQ(machine.rows().size(), 6u);
    ASSERT_EQ(machine.rowsOf("Win32_PhysicalMemory").size(), 2u);
    EXPECT_EQ(valueOf(machine, "Win32_PhysicalMemory", "DeviceLocator", 1), ProviderValue("DIMM1"));
    const std::tuple<const char*, const char*, ProviderValue> cases[] = {
        {"Win32_Bios", "manufacturer", "  Acme = BIOS  "},
        {"WIN32_BIOS", "Version", ""},
        {"Win32_Bios", "Speed", " "},
        {"Win32_Bios", "SMBIOSBIOSVersion", Absent{}},
        {"Win32_PhysicalMemory", "Capacity", "4294967296"},
        {"Win32_PhysicalMemory", "speed", std::int64_t{1333}},
        {"Win32_PhysicalMemory", "memorytype", std::int64_t{24}},
        {"Win32_PhysicalMemory", "DEVICELOCATOR", "DIMM0"},
        {"Win32_PhysicalMemoryArray", "MaxCapacity", std::int64_t{33554432}},
        {"Win32_PhysicalMemoryArray", "MemoryDevices", std::int64_t{4}},
        {"Win32_Processor", "CurrentClockSpeed", "2400 MHz"},
        {"Win32_Processor", "ExtClock", std::int64_t{100}},
        {"Win32_Processor", "Name", "1234"},
        {"Win32_CacheMemory", "MaxCapacity", std::int64_t{8}},
        {"Win32_CacheMemory", "Speed", std::int64_t{9223372036854775807}},
        {"Win32_CacheMemory", "MemoryType", "9223372036854775808"},  // beyond 64 bits: kept as text
    };
    for (const auto& [className, property, value] : cases) {
        EXPECT_EQ(valueOf(machine, className, property), value) << property;
    }

    const auto utf8 = MachineFile::parse("\xEF\xBB\xBF[Win32_Bios]\r\nManufacturer=Caf\xC3\xA9\r\n", "m");
    EXPECT_EQ(valueOf(utf8, "Win32_Bios", "Manufacturer"), ProviderValue("Caf\xC3\xA9"));
    const auto utf16 = MachineFile::parse(utf16le(u"[Win32_Bios]\r\nManufacturer=Caf\u00E9 \U0001F600\r\n"), "m");
    EXPECT_EQ(valueOf(utf16, "Win32_Bios", "Manufacturer"), ProviderValue("Caf\xC3\xA9 \xF0\x9F\x98\x80"));
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
    const std::pair<std::string, std::string> shapes[] = {
        {utf16le(u"[Win32_Bios]\r\nVersion=1\r\n").substr(2), "1: looks like UTF-16LE without its byte-order mark"},
        {std::string("\0[\0W", 4), "1: looks like UTF-16 big-endian without its byte-order mark"},
        {"[Win32_Bios]\rVersion=1\r", "1: lines end in CR alone"},
        {utf16le(u"[Win32_Bios]\rVersion=1\r"), "1: lines end in CR alone"},
    };
    for (const auto& [bytes, start] : shapes) EXPECT_THAT(errorOf(bytes), ::testing::StartsWith("bad.machine:" + start));
    std::string wide = "[Win32_Bios]\n";
    for (int i = 0; i < 4096; ++i) wide += "p" + std::to_string(i % 4000) + "=\n";  // repeats count as lines
    EXPECT_EQ(MachineFile::parse(wide, "m").rows().at(0).propertyCount(), 4000u);
    EXPECT_EQ(errorOf(wide + "P4096=\n"), "bad.machine:4098: more than 4096 properties in one Win32_Bios row");
    EXPECT_EQ(errorOf("[Win32_Bios]\nVersion=a\tb\n"), "bad.machine:2: tab in the value");
    EXPECT_THAT(errorOf("\xFF\xFE["), HasSubstr("odd number of bytes"));
}

// Read for the scan, a file keeps only the classes and properties the scan reads, checking the rest.
TEST(MachineFile, ReadForTheScanKeepsOnlyWhatTheScanReads) {
    const std::vector<ClassProperties> kept = {{"Win32_Bios", {"Manufacturer"}}, {"Win32_Processor", {"Name"}}};
    const auto machine = MachineFile::parse(
        "[Win32_OperatingSystem]\nCaption=Windows\n[win32_bios]\nmanufacturer=Acme\nVersion=1\n[Win32_Processor]\n",
        "m", kept);
    ASSERT_EQ(machine.rows().size(), 2u);
    EXPECT_EQ(machine.rows()[0].className(), "win32_bios");
    ASSERT_EQ(machine.rows()[0].propertyCount(), 1u);
    EXPECT_EQ(machine.rows()[0].propertyName("Manufacturer"), "manufacturer");
    EXPECT_EQ(machine.rows()[1].propertyCount(), 0u);

    auto keptError = [&kept](const std::string& text) { return errorOf(text, kept); };
    std::string dropped = "[Other]\n";
    for (int i = 0; i <= 4096; ++i) dropped += "p=\n";
    std::string rows;
    for (int i = 0; i <= 32767; ++i) rows += "[Win32_Bios]\n";
    EXPECT_EQ(keptError("[Other]\nVersion=a\tb\n"), "bad.machine:2: tab in the value");
    EXPECT_EQ(keptError("[Win32_Bios]\nUnread=\xC3\x28\n"), "bad.machine:2: invalid UTF-8");
    EXPECT_EQ(keptError("Name=x\n[Other]\n"), "bad.machine:1: property before the first [Class] header");
    EXPECT_EQ(keptError(dropped), "bad.machine:4098: more than 4096 properties in one Other row");
    EXPECT_EQ(keptError(rows), "bad.machine:32768: more than 32767 Win32_Bios rows");
    EXPECT_EQ(keptError(rows.substr(13) + "[Other]\n[Other]\n"), "no error");  // 32767 rows, and others
}

// The reader, the writer and the paths in messages follow one rule, at each end of every range.
TEST(TextCharacters, ReaderWriterAndShownPathsRefuseTheSameCharacters) {
    enum Kind { allowed, control, invisible };
    const std::pair<char32_t, Kind> cases[] = {
        {0x0001, control},    {0x001F, control},    {0x007F, control},    {0x0080, control},    {0x0085, control},
        {0x009F, control},    {0x00A0, allowed},    {0x00AC, allowed},    {0x00AD, invisible},  {0x00AE, allowed},
        {0x061B, allowed},    {0x061C, invisible},  {0x180E, invisible},  {0x200A, allowed},    {0x200B, invisible},
        {0x200C, invisible},  {0x200D, invisible},  {0x200E, invisible},  {0x200F, invisible},  {0x2010, allowed},
        {0x2027, allowed},    {0x2028, invisible},  {0x2029, invisible},  {0x202A, invisible},  {0x202E, invisible},
        {0x202F, allowed},    {0x205F, allowed},    {0x2060, invisible},  {0x2064, invisible},  {0x2065, allowed},
        {0x2066, invisible},  {0x2069, invisible},  {0x206F, invisible},  {0x2070, allowed},    {0xFEFE, allowed},
        {0xFEFF, invisible},  {0xFFF9, invisible},  {0xFFFB, invisible},  {0xFFFC, allowed},    {0xDFFFF, allowed},
        {0xE0000, invisible}, {0xE0001, invisible}, {0xE007F, invisible}, {0xE0080, allowed},   {0x1F600, allowed},
    };
    for (const auto& [c, kind] : cases) {
        std::string character;
        appendUtf8(character, c);
        const std::string name = codePointName(c);
        SCOPED_TRACE(name);
        const std::string readError = errorOf("[Win32_Bios]\nVersion=A" + character + "cme\n");
        MachineDescription machine;
        machine.addRow("Win32_Bios").set("Version", std::string("A") + character + "cme");
        const std::string writeError = messageOf([&] { MachineFileWriter::text(machine); });
        const std::string path = shownPath("/tmp/A" + character);
        if (kind == allowed) {
            EXPECT_EQ(readError, "no error");
            EXPECT_EQ(writeError, "no error");
            EXPECT_EQ(path, "/tmp/A" + character);
            continue;
        }
        const std::string refused = (kind == control ? "control character " : "invisible character ") + name;
        EXPECT_EQ(readError, kind == control ? "bad.machine:2: control character in the line"
                                             : "bad.machine:2: " + refused + " in the line");
        EXPECT_EQ(writeError,
                  "cannot save Win32_Bios property \"Version\" in a machine file: its value holds the " + refused);
        EXPECT_EQ(path.find(character), std::string::npos);
        EXPECT_THAT(path, HasSubstr("\\x"));
    }
    // A byte-order mark may open a file; inside a line it is refused, and a UTF-16 file is checked the same way.
    EXPECT_EQ(errorOf("[Win32_Bios]\xEF\xBB\xBF\n"), "bad.machine:1: invisible character U+FEFF in the line");
    EXPECT_EQ(errorOf(utf16le(u"[Win32_Bios]\n\nVersion=\x202E\n")), "bad.machine:3: invisible character U+202E in the line");
    EXPECT_EQ(errorOf(utf16le(u"[Win32_Bios]\nVersion=\xDB40\xDC01\n")), "bad.machine:2: invisible character U+E0001 in the line");
    EXPECT_EQ(shownPath("a\tb"), "a\\x09b");
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
        {"/nonexistent/acme.machine", "/nonexistent/acme.machine: cannot open: No such file or directory"},
        {fifo, fifo + ": not a regular file"},
        {"/dev/null", "/dev/null: not a regular file"},
        {folder, folder + ": not a regular file"},
        {large, large + ": larger than 16 MiB, not a machine file"},
        {folder + "/\x1b]0;title\x07", folder + "/\\x1b]0;title\\x07: cannot open: No such file or directory"},
        {escaped, folder + "/\\x1b[2J\\x9b\\xe2\\x80\\xae.machine:2: control character in the line"},
    };
    for (const auto& [path, message] : cases) EXPECT_EQ(messageOf([&] { MachineFile::read(path); }), message);
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
        {"SMBIOSBIOSVersion", "smbiosbiosversion", true}, {"a", "A", true}, {"Az", "aZ", true}, {"", "", true},
        {"@", "`", false}, {"[", "{", false}, {"^", "~", false}, {"\xC1", "\xE1", false},
        {"Caf\xC3\x89", "caf\xC3\xA9", false}, {"Name", "Name ", false},
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
