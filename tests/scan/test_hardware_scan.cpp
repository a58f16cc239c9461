#include "hardware_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "machine_file.h"
#include "machine_recorder.h"
#include "recording_sink.h"
#include "scan_error.h"

namespace {

using namespace tavrix;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A scan of the machine described by the text, through the machine file provider.
struct Scanned {
    explicit Scanned(const std::string& machineText, TextForm text = TextForm())
        : provider(MachineFile::parse(machineText, "test.machine")), scan(provider, sink, std::move(text)) {}

    std::string run() { return scan.getTavrix(); }
    const ScanValues& values() const { return scan.values(); }
    std::string caption(ValueLabel label) const { return sink.caption(label); }

    DescriptionProvider provider;
    RecordingSink sink;
    HardwareScan scan;
};

std::string computerWithMemory(const std::string& bytes) {
    return "[Win32_ComputerSystem]\nTotalPhysicalMemory=" + bytes + "\n";
}

constexpr const char* twoModules = R"([Win32_PhysicalMemory]
Capacity=4294967296
Speed=1333
DeviceLocator=DIMM0
MemoryType=24
[Win32_PhysicalMemory]
Capacity=4294967296
Speed=1333
DeviceLocator=DIMM1
MemoryType=24
)";

TEST(HardwareScan, ReturnsSuccessAndUsesTheLocalMoniker) {
    EXPECT_EQ(localMoniker(), "winmgmts:{impersonationLevel=impersonate}!\\\\.\\root\\cimv2");
    Scanned scanned("");
    EXPECT_EQ(scanned.run(), "Success");
}

TEST(HardwareScan, ShowsInstalledMemoryInGigabytesOrMegabytes) {
    const std::pair<const char*, const char*> cases[] = {
        {"8589934592", "8 GB"},     {"8471191552", "7.89 GB"}, {"1073741824", "1 GB"},
        {"1063256064", "1013.76 MB"}, {"536870912", "512 MB"},  {"0", "0 MB"},
    };
    for (const auto& [bytes, shown] : cases) {
        Scanned scanned(computerWithMemory(bytes));
        scanned.run();
        EXPECT_EQ(scanned.values().installedMemoryText, shown) << bytes;
        EXPECT_EQ(scanned.caption(ValueLabel::Label35), shown) << bytes;
    }
}

TEST(HardwareScan, ShowsMaximumMemoryFromKilobytes) {
    for (const auto& [kilobytes, shown] : {std::pair{"33554432", "32 GB"}, std::pair{"524288", "512 MB"}}) {
        Scanned scanned(std::string("[Win32_PhysicalMemoryArray]\nMaxCapacity=") + kilobytes + "\n");
        scanned.run();
        EXPECT_EQ(scanned.caption(ValueLabel::Label36), shown);
    }
}

TEST(HardwareScan, UsesTheUsersDecimalSeparator) {
    Scanned scanned(computerWithMemory("8471191552"), TextForm(","));
    scanned.run();
    EXPECT_EQ(scanned.values().installedMemoryText, "7,89 GB");
}

TEST(HardwareScan, FillsTheModuleListsAndTextsInProviderOrder) {
    Scanned scanned(std::string("[Win32_PhysicalMemoryArray]\nMemoryDevices=4\n") + twoModules);
    scanned.run();
    EXPECT_THAT(scanned.sink.rows(ModuleList::slotsLst), ElementsAre("DIMM0", "DIMM1"));
    EXPECT_THAT(scanned.sink.rows(ModuleList::memoryLst), ElementsAre("4096 MB", "4096 MB"));
    EXPECT_THAT(scanned.sink.rows(ModuleList::speedLst), ElementsAre("1333 MHz", "1333 MHz"));
    const ScanValues& v = scanned.values();
    EXPECT_EQ(v.moduleCapacities, "4096 MB,4096 MB,");
    EXPECT_EQ(v.moduleTypes, "24,24,");
    EXPECT_EQ(v.moduleSpeeds, "1333 MHz,1333 MHz,");
    EXPECT_EQ(v.moduleSlots, "DIMM0,DIMM1,");
    EXPECT_EQ(v.moduleCount, 2);
    EXPECT_EQ(v.slotsText, "4  (Currently Memory in 2 Slots)");
}

TEST(HardwareScan, ModuleWithoutValuesGivesEmptyEntries) {
    Scanned scanned("[Win32_PhysicalMemory]\n[Win32_PhysicalMemory]\nCapacity=1610612736\n");
    scanned.run();
    EXPECT_THAT(scanned.sink.rows(ModuleList::slotsLst), ElementsAre("", ""));
    EXPECT_THAT(scanned.sink.rows(ModuleList::memoryLst), ElementsAre(" MB", "1536 MB"));
    EXPECT_THAT(scanned.sink.rows(ModuleList::speedLst), ElementsAre(" MHz", " MHz"));
    EXPECT_EQ(scanned.values().moduleSpeeds, " MHz, MHz,");
    EXPECT_EQ(scanned.values().moduleSlots, ",,");
}

TEST(HardwareScan, AbsentValuesStandingAloneAreEmptyAndFiguresZero) {
    Scanned scanned("[Win32_ComputerSystem]\nModel=X1\n[Win32_PhysicalMemoryArray]\nMemoryDevices=2\n");
    EXPECT_EQ(scanned.run(), "Success");
    EXPECT_EQ(scanned.values().totalMemoryGB, 0);
    EXPECT_EQ(scanned.values().maxMemoryGB, 0);
    EXPECT_EQ(scanned.caption(ValueLabel::Label35), "0 MB");
    EXPECT_EQ(scanned.caption(ValueLabel::Label36), "0 MB");
    EXPECT_EQ(scanned.caption(ValueLabel::Label21), "");
    EXPECT_EQ(scanned.caption(ValueLabel::Label26), "");
}

TEST(HardwareScan, WithoutRowsEveryCaptionIsEmptyButTheFigures) {
    Scanned scanned("[Win32_OperatingSystem]\nCaption=ignored\n");
    scanned.sink.appendRow(ModuleList::memoryLst, "left over");
    scanned.run();
    EXPECT_TRUE(scanned.sink.rows(ModuleList::memoryLst).empty());
    EXPECT_EQ(scanned.caption(ValueLabel::Label37), "  (Currently Memory in 0 Slots)");
    EXPECT_EQ(scanned.caption(ValueLabel::Label35), "0 MB");
    EXPECT_EQ(scanned.caption(ValueLabel::Label31), "");
}

TEST(HardwareScan, ReplacesPlaceholderTextsContainingSystem) {
    Scanned scanned(R"([Win32_ComputerSystem]
Manufacturer=System manufacturer
Model=System Product Name
SystemType=System x64
[Win32_ComputerSystemProduct]
Version=System Version
IdentifyingNumber=System Serial Number
[Win32_Baseboard]
Manufacturer=System board maker
Product=B1
[Win32_Bios]
Manufacturer=System BIOS
)");
    scanned.run();
    const ScanValues& v = scanned.values();
    EXPECT_EQ(std::get<std::string>(v.sysManufacturer), "Not Available");
    EXPECT_EQ(std::get<std::string>(v.productVersion), "Not Available");
    EXPECT_EQ(std::get<std::string>(v.productIdNumber), "Not Available");
    EXPECT_EQ(scanned.caption(ValueLabel::Label22), "Not Available");
    EXPECT_EQ(scanned.caption(ValueLabel::Label26), "System x64");
    EXPECT_EQ(scanned.caption(ValueLabel::Label30), "System board maker");
    EXPECT_EQ(scanned.caption(ValueLabel::Label32), "System BIOS");
}

TEST(HardwareScan, PlaceholderSearchIsCaseSensitiveAndFindsTheWordInsideOthers) {
    Scanned inside("[Win32_ComputerSystem]\nManufacturer=Acme Systems Ltd\nModel=system board\n");
    inside.run();
    EXPECT_EQ(inside.caption(ValueLabel::Label21), "Not Available");
    EXPECT_EQ(inside.caption(ValueLabel::Label22), "system board");
}

TEST(HardwareScan, ReplacedModelIsSentAsTheBoardProductOnly) {
    Scanned scanned("[Win32_ComputerSystem]\nModel=System Product Name\n[Win32_Baseboard]\nProduct=B1\n");
    scanned.run();
    EXPECT_EQ(scanned.caption(ValueLabel::Label22), "Not Available");
    EXPECT_THAT(scanned.values().reportText, HasSubstr("\r\nSystem Model: Not Available\r\n"));
    EXPECT_EQ(std::get<std::string>(scanned.values().sysModel), "B1");
    EXPECT_THAT(scanned.scan.lookupAddress(), HasSubstr("&mdlname=B1&bName=B1&"));
}

TEST(HardwareScan, AbsentModelIsNotReplacedByTheBoard) {
    Scanned scanned("[Win32_Baseboard]\nProduct=B1\n");
    scanned.run();
    EXPECT_TRUE(isAbsent(scanned.values().sysModel));
    EXPECT_THAT(scanned.scan.lookupAddress(), HasSubstr("&mdlname=&bName=B1&"));
}

TEST(HardwareScan, LastRowOfAQueryDecides) {
    Scanned scanned(R"([Win32_PhysicalMemoryArray]
MaxCapacity=33554432
MemoryDevices=4
Manufacturer=First
[Win32_PhysicalMemoryArray]
MaxCapacity=524288
MemoryDevices=2
[Win32_Processor]
Name=CPU0
[Win32_Processor]
Name=CPU1
)");
    scanned.run();
    EXPECT_EQ(scanned.values().maximumMemoryText, "512 MB");
    EXPECT_EQ(std::get<std::int64_t>(scanned.values().memoryDevices), 2);
    EXPECT_TRUE(isAbsent(scanned.values().memoryArrayManufacturer));
    EXPECT_EQ(scanned.caption(ValueLabel::Label27), "CPU1");
}

// A machine file read for the scan keeps scannedClasses() alone: the scan reads exactly that, in
// that order, and the recorder writes each name as listed.
TEST(HardwareScan, ReadsExactlyTheScannedClassesAndProperties) {
    std::string text = "[Win32_OperatingSystem]\nCaption=1\n";
    for (const ClassProperties& scanned : scannedClasses()) {
        text += "[" + std::string(scanned.className) + "]\nUnread=1\n";
        for (const std::string_view property : scanned.properties) text += std::string(property) + "=1\n";
    }
    DescriptionProvider provider(MachineFile::parse(text, "m"));
    MachineRecorder recorder(provider);
    RecordingSink sink;
    HardwareScan(recorder, sink).getTavrix();
    std::vector<std::string> read, listed;
    for (const PropertyRow& row : recorder.recorded().rows()) {
        for (const auto& [name, value] : row.properties()) read.push_back(row.className() + "." + name);
    }
    for (const ClassProperties& scanned : scannedClasses()) {
        for (const std::string_view property : scanned.properties) {
            listed.push_back(std::string(scanned.className) + "." + std::string(property));
        }
    }
    EXPECT_EQ(read, listed);
}

TEST(HardwareScan, TellsTheSinkInOrderAndNavigatesLast) {
    struct LoggingSink : ScanSink {
        std::vector<std::string> log;
        void clearList(ModuleList list) override { log.push_back("clear " + std::string(controlName(list))); }
        void appendRow(ModuleList list, const std::string&) override { log.push_back("row " + std::string(controlName(list))); }
        void setCaption(ValueLabel label, const std::string&) override { log.push_back(std::string(controlName(label))); }
        void navigate(const std::string&) override { log.push_back("navigate"); }
    } sink;
    DescriptionProvider provider(MachineFile::parse("[Win32_PhysicalMemory]\nCapacity=1\n", "m"));
    HardwareScan scan(provider, sink);
    scan.getTavrix();
    ASSERT_EQ(sink.log.size(), 3u + 3u + 17u + 1u);
    EXPECT_THAT(std::vector(sink.log.begin(), sink.log.begin() + 6),
                ElementsAre("clear slotsLst", "clear memoryLst", "clear speedLst", "row slotsLst", "row memoryLst",
                            "row speedLst"));
    EXPECT_EQ(sink.log[6], "Label35");
    EXPECT_EQ(sink.log[22], "Label37");
    EXPECT_EQ(sink.log.back(), "navigate");
}

TEST(HardwareScan, ASecondScanContinuesTheCountWhileTheListsStartAgain) {
    Scanned scanned(twoModules);
    scanned.run();
    scanned.run();
    EXPECT_EQ(scanned.values().moduleCount, 4);
    EXPECT_EQ(scanned.values().moduleSlots, "DIMM0,DIMM1,DIMM0,DIMM1,");
    EXPECT_EQ(scanned.sink.rows(ModuleList::slotsLst).size(), 2u);
}

TEST(HardwareScan, TextThatIsNotANumberFailsNamingPropertyAndValue) {
    Scanned scanned(std::string(twoModules) + "[Win32_PhysicalMemory]\nCapacity=4 GB\n[Win32_PhysicalMemory]\n");
    try {
        scanned.run();
        FAIL() << "the scan should fail";
    } catch (const ScanError& failure) {
        EXPECT_STREQ(failure.what(), "Win32_PhysicalMemory property \"Capacity\" is not a number: \"4 GB\"");
    }
    EXPECT_EQ(scanned.values().moduleCount, 2);
    EXPECT_EQ(scanned.sink.rows(ModuleList::slotsLst).size(), 2u);

    // The property is named as the file spells it, whatever case the scan asks in.
    const std::pair<const char*, const char*> spellings[] = {
        {"[Win32_ComputerSystem]\ntotalphysicalMEMORY=x\n", "Win32_ComputerSystem property \"totalphysicalMEMORY\""},
        {"[Win32_PhysicalMemoryArray]\nMAXCAPACITY=x\n", "Win32_PhysicalMemoryArray property \"MAXCAPACITY\""},
        {"[Win32_PhysicalMemory]\nCaPaCiTy=x\n", "Win32_PhysicalMemory property \"CaPaCiTy\""},
    };
    for (const auto& [machine, named] : spellings) {
        Scanned other(machine);
        EXPECT_THAT([&] { other.run(); }, ::testing::ThrowsMessage<ScanError>(::testing::StartsWith(named)));
    }

    for (const char* bad : {"", " ", "1e9", "0x10", "--1", "1.2.3", ".", "nan", "inf"}) {
        Scanned other(computerWithMemory(bad));
        EXPECT_THROW(other.run(), ScanError) << '"' << bad << '"';
    }
    for (const char* good : {" 1073741824 ", "+1073741824", "1073741824.0"}) {
        Scanned other(computerWithMemory(good));
        other.run();
        EXPECT_EQ(other.values().installedMemoryText, "1 GB") << good;
    }
}

TEST(HardwareScan, The32768thModuleFailsTheScan) {
    MachineDescription machine;
    for (int i = 0; i < 32768; ++i) machine.addRow("Win32_PhysicalMemory");
    DescriptionProvider provider(std::move(machine));
    RecordingSink sink;
    HardwareScan scan(provider, sink);
    EXPECT_THROW(scan.getTavrix(), ScanError);
    EXPECT_EQ(scan.values().moduleCount, 32767);
}

TEST(HardwareScan, ProviderFailuresEndTheScan) {
    struct FailingProvider : ManagementProvider {
        std::unique_ptr<ManagementConnection> openConnection(const std::string&) override {
            throw ScanError("no namespace");
        }
    } provider;
    RecordingSink sink;
    HardwareScan scan(provider, sink);
    EXPECT_THROW(scan.getTavrix(), ScanError);
    EXPECT_TRUE(sink.navigations().empty());
}

}  // namespace
