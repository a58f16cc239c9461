#include "lookup_address.h"

#include <gtest/gtest.h>

#include "hardware_scan.h"
#include "machine_file.h"
#include "recording_sink.h"

namespace {

using namespace tavrix;

TEST(LookupAddress, ComposesTheAcmeAddressExactly) {
    DescriptionProvider provider(MachineFile::read(TAVRIX_SOURCE_DIR "/examples/acme.machine"));
    RecordingSink sink;
    HardwareScan scan(provider, sink);
    scan.getTavrix();
    const std::string expected =
        "http://www.quorvane.com/mc/tavrix.asp?manufacturer = Acme&mdlname=X1&bName=B1&maxmemory=32 GB"
        "&totalslots=4  (Currently Memory in 2 Slots)&memoryspeeds=1333 MHz,1333 MHz,"
        "&memorysize=4096 MB,4096 MB,&processorspeed=2400&site=quorvane";
    EXPECT_EQ(scan.lookupAddress(), expected);
    ASSERT_EQ(sink.navigations().size(), 1u);
    EXPECT_EQ(sink.navigations()[0], expected);
}

// Characters that would change the query are encoded; blanks, commas, parentheses and other printables kept.
TEST(LookupAddress, EncodesOnlyCharactersThatWouldChangeTheQuery) {
    const std::pair<const char*, const char*> cases[] = {
        {"AT&T", "AT%26T"},
        {"a=b#c+d%e", "a%3Db%23c%2Bd%25e"},
        {"tab\there\x7F", "tab%09here%7F"},
        {"Caf\xC3\xA9", "Caf%C3%A9"},
        {" 4  (Currently Memory in 2 Slots),", " 4  (Currently Memory in 2 Slots),"},
        {"Intel(R) Core(TM) i5 @ 3.30GHz /?:;'\"<>", "Intel(R) Core(TM) i5 @ 3.30GHz /?:;'\"<>"},
    };
    for (const auto& [value, encoded] : cases) EXPECT_EQ(encodeAddressValue(value), encoded);
}

TEST(LookupAddress, EmptyValuesLeaveTheirKeysSideBySide) {
    ScanValues empty;
    EXPECT_EQ(composeLookupAddress(empty, TextForm()),
              "http://www.quorvane.com/mc/tavrix.asp?manufacturer = &mdlname=&bName=&maxmemory=&totalslots="
              "&memoryspeeds=&memorysize=&processorspeed=&site=quorvane");
}

TEST(LookupAddress, AManufacturerWithAnAmpersandCannotAddAKey) {
    ScanValues v;
    v.sysManufacturer = std::string("AT&T=1&site=other");
    v.cpuSpeed = std::int64_t{2400};
    const std::string address = composeLookupAddress(v, TextForm());
    EXPECT_NE(address.find("manufacturer = AT%26T%3D1%26site%3Dother&mdlname="), std::string::npos);
    EXPECT_NE(address.find("&processorspeed=2400&site=quorvane"), std::string::npos);
}

}  // namespace
