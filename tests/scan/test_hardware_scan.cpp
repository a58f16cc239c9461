#include "scan/hardware_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scan/machine_file.h"
#include "scan/machine_recorder.h"
#include "scan/recording_sink.h"
#include "scan/scan_error.h"

namespace {

using namespace tavrix;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

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

const std::string twoModules = "[Win32_PhysicalMemory]\nCapacity=4294967296\nSpeed=1333\nDeviceLocator=DIMM0\n"
                               "[Win32_PhysicalMemory]\nCapacity=4294967296\nSpeed=1333\nDeviceLocator=DIMM1\n";

// Each machine, scanned, gives these captions (a separator other than '.' where one is given); the
// golden files show 8 GB and 32 GB (acme), 7.89 GB and 512 MB (placeholders), 1013.76 MB (below one GB).
TEST(HardwareScan, ShowsEachValueAsItsLabelsCaption) {
    using enum ValueLabel;
    const struct {
        std::string machine;
        std::vector<std::pair<ValueLabel, const char*>> captions;
        const char* separator = ".";
    } cases[] = {
        {computerWithMemory("8471191552"), {{installedMemory, "7,89 GB"}}, ","},
        {computerWithMemory("1073741824"), {{installedMemory, "1 GB"}}},
        {computerWithMemory(" 1073741824 "), {{installedMemory, "1 GB"}}},  // numbers as text, read as numbers
        {computerWithMemory("+1073741824"), {{installedMemory, "1 GB"}}},
        {computerWithMemory("1073741824.0"), {{installedMemory, "1 GB"}}},
        {computerWithMemory("536870912"), {{installedMemory, "512 MB"}}},
        {computerWithMemory("0"), {{installedMemory, "0 MB"}}},
        // the last row of a query decides, even where it lacks a value an earlier row has
        {"[Win32_PhysicalMemoryArray]\nMaxCapacity=33554432\nMemoryDevices=4\nManufacturer=First\n"
         "[Win32_PhysicalMemoryArray]\nMaxCapacity=524288\nMemoryDevices=2\n"
         "[Win32_Processor]\nName=CPU0\n[Win32_Processor]\nName=CPU1\n",
         {{maximumMemory, "512 MB"},
          {memorySlots, "2  (Currently Memory in 0 Slots)"},
          {memoryManufacturer, ""},
          {processor, "CPU1"}}},
        // placeholder texts containing "System" are replaced in some values only
        {"[Win32_ComputerSystem]\nManufacturer=System manufacturer\nModel=System Product Name\nSystemType=System x64\n"
         "[Win32_Baseboard]\nManufacturer=System board maker\nProduct=B1\n[Win32_Bios]\nManufacturer=System BIOS\n"
         "[Win32_ComputerSystemProduct]\nVersion=System Version\nIdentifyingNumber=System Serial Number\n",
         {{systemManufacturer, "Not Available"},
          {systemModel, "Not Available"},
          {systemVersion, "Not Available"},
          {identifyingNumber, "Not Available"},
          {systemType, "System x64"},
          {motherboardManufacturer, "System board maker"},
          {biosManufacturer, "System BIOS"}}},
    };
    for (const auto& c : cases) {
        Scanned scanned(c.machine, TextForm(c.separator));
        scanned.sink.appendRow(ModuleList::memoryLst, "left over");
        EXPECT_EQ(scanned.run(), "Success");
        EXPECT_TRUE(scanned.sink.rows(ModuleList::memoryLst).empty());
        for (const auto& [label, shown] : c.captions) {
            EXPECT_EQ(scanned.caption(label), shown) << c.machine << controlName(label);
        }
        if (c.captions[0].first == installedMemory) {
            EXPECT_EQ(scanned.values().installedMemoryText, c.captions[0].second);
        }
    }
}

// A replaced model goes to the lookup page as the board product (the placeholders golden files); an
// absent one stays absent.
TEST(HardwareScan, AbsentModelIsNotReplacedByTheBoard) {
    Scanned absent("[Win32_Baseboard]\nProduct=B1\n");
    absent.run();
    EXPECT_TRUE(isAbsent(absent.values().sysModel));
    EXPECT_THAT(absent.scan.lookupAddress(), HasSubstr("&mdlname=&bName=B1&"));
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
        void navigate(const std::string& address) override { log.push_back("navigate " + address); }
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
    EXPECT_EQ(sink.log.back(), "navigate " + scan.lookupAddress());
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
    Scanned scanned(twoModules + "[Win32_PhysicalMemory]\nCapacity=4 GB\n[Win32_PhysicalMemory]\n");
    EXPECT_THAT([&] { scanned.run(); }, ThrowsMessage<ScanError>(::testing::StrEq(
                                           "Win32_PhysicalMemory property \"Capacity\" is not a number: \"4 GB\"")));
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
        EXPECT_THAT([&] { other.run(); }, ThrowsMessage<ScanError>(::testing::StartsWith(named)));
    }

    for (const char* bad : {"", " ", "1e9", "0x10", "--1", "1.2.3", ".", "nan", "inf"}) {
        Scanned other(computerWithMemory(bad));
        EXPECT_THROW(other.run(), ScanError) << '"' << bad << '"';
    }
}

// Tables and the live computer are held to the machine file's cap, so that every saved scan replays.
TEST(HardwareScan, The32768thRowOfAnyClassFailsTheScan) {
    for (const ClassProperties& scanned : scannedClasses()) {
        MachineDescription machine;
        for (int i = 0; i < 32768; ++i) machine.addRow(scanned.className);
        DescriptionProvider provider(std::move(machine));
        RecordingSink sink;
        HardwareScan scan(provider, sink);
        EXPECT_THAT([&] { scan.getTavrix(); },
                    ThrowsMessage<ScanError>(::testing::StrEq("more than 32767 " + std::string(scanned.className) + " rows")));
        if (scanned.className == "Win32_PhysicalMemory") EXPECT_EQ(scan.values().moduleCount, 32767);
    }
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
