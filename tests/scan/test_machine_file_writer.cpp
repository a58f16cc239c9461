#include "scan/machine_file_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "scan/machine_file.h"
#include "scan/machine_recorder.h"
#include "scan/scan_error.h"

namespace {

using namespace tavrix;
using ::testing::HasSubstr;

MachineDescription oneValue(const std::string& name, ProviderValue value) {
    MachineDescription machine;
    machine.addRow("Win32_PhysicalMemory").set(name, std::move(value));
    return machine;
}

std::string errorOf(const MachineDescription& machine) {
    try {
        MachineFileWriter::text(machine);
    } catch (const ScanError& failure) {
        return failure.what();
    }
    return "no error";
}

TEST(MachineFileWriter, ValuesReadBackExactlyWithTheirType) {
    // A number outside the typed properties reads back as its digits.
    const std::tuple<std::string, ProviderValue, ProviderValue> cases[] = {
        {"DeviceLocator", std::string("  DIMM 0 "), std::string("  DIMM 0 ")},
        {"DeviceLocator", std::string(""), std::string("")},
        {"DeviceLocator", std::string("a=b=c"), std::string("a=b=c")},
        {"DeviceLocator", std::string("#not a comment"), std::string("#not a comment")},
        {"DeviceLocator", std::string("[Win32_Bios]"), std::string("[Win32_Bios]")},
        {"DeviceLocator", std::string("M\xC3\xBCller \xF0\x9F\x92\xBE"), std::string("M\xC3\xBCller \xF0\x9F\x92\xBE")},
        {"DeviceLocator", std::int64_t{42}, std::string("42")},
        {"Speed", std::int64_t{1333}, std::int64_t{1333}},
        {"Speed", std::int64_t{-5}, std::string("-5")},
        {"Speed", std::string("1333 MHz"), std::string("1333 MHz")},
        {"Capacity", std::string("4294967296"), std::string("4294967296")},
    };
    for (const auto& [name, written, read] : cases) {
        const std::string text = MachineFileWriter::text(oneValue(name, written));
        const MachineDescription back = MachineFile::parse(text, "saved.machine");
        ASSERT_EQ(back.rows().size(), 1u) << text;
        EXPECT_EQ(back.rows()[0].readProperty(name), read) << text;
    }
}

// Control and invisible characters at every range's ends are in TextCharacters' table.
TEST(MachineFileWriter, RefusesValuesThatWouldReadBackDifferently) {
    const std::vector<std::pair<ProviderValue, std::string>> cases = {
        {std::string("two\nlines"), "the control character U+000A"},
        {std::string("carriage\r"), "the control character U+000D"},
        {std::string("bad \xC3"), "invalid UTF-8"},
        {std::string("bad \xED\xA0\x80"), "invalid UTF-8"},
        {std::string("DIMM\t0"), "tab in the value"},
        {std::string("0012"), "the text \"0012\" would read back as the number 12"},
    };
    for (const auto& [value, message] : cases) {
        const std::string error = errorOf(oneValue("Speed", value));
        EXPECT_THAT(error, HasSubstr("cannot save Win32_PhysicalMemory property \"Speed\" in a machine file: "));
        EXPECT_THAT(error, HasSubstr(message));
    }
    MachineDescription badClass;
    badClass.addRow("Win32_\x02");
    EXPECT_THAT(errorOf(badClass), HasSubstr("cannot save the class name"));
}

TEST(MachineRecorder, KeepsEveryRowAndTheReadPropertiesInReadOrder) {
    MachineDescription machine;
    PropertyRow& first = machine.addRow("Win32_PhysicalMemory");
    first.set("Capacity", std::string("4294967296"));
    first.set("Speed", std::int64_t{1333});
    first.set("Unread", std::string("x"));
    machine.addRow("Win32_PhysicalMemory").set("Speed", std::int64_t{1600});
    machine.addRow("Win32_Bios").set("Manufacturer", std::string("Acme"));
    DescriptionProvider provider(std::move(machine));

    MachineRecorder recorder(provider);
    auto connection = recorder.openConnection("winmgmts:");
    auto modules = connection->ExecQuery("Select * from Win32_PhysicalMemory");
    while (const ManagementRow* row = modules->next()) {
        row->readProperty("speed");
        row->readProperty("capacity");
        row->readProperty("speed");
        EXPECT_TRUE(isAbsent(row->readProperty("devicelocator")));
    }
    EXPECT_EQ(connection->ExecQuery("Select * from Win32_Processor")->next(), nullptr);
    EXPECT_THROW(connection->ExecQuery("Select Name from Win32_Bios"), ScanError);

    EXPECT_EQ(MachineFileWriter::text(recorder.recorded()),
              "# A computer's hardware as its seven management queries answered, for tavrix-report --machine\n"
              "\n[Win32_PhysicalMemory]\nSpeed=1333\nCapacity=4294967296\n"
              "\n[Win32_PhysicalMemory]\nSpeed=1600\n");
}

}  // namespace
