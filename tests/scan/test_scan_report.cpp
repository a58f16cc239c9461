#include "scan_report.h"

#include <gtest/gtest.h>

namespace {

using namespace tavrix;

std::vector<std::string> linesOf(const std::string& report) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(report.substr(start, end - start));
    }
    EXPECT_EQ(start, report.size()) << "the report must end with CR LF";
    return lines;
}

TEST(ScanReport, ShowsSlotCountAloneAndBareProcessorFigures) {
    ScanValues v;
    v.sysManufacturer = std::string("Acme");
    v.memoryDevices = std::int64_t{4};
    v.slotsText = "4  (Currently Memory in 2 Slots)";
    v.cpuSpeed = std::int64_t{2400};
    v.cpuExtClock = std::int64_t{100};
    v.moduleCapacities = "4096 MB,4096 MB,";
    v.moduleSlots = "DIMM0,DIMM1,";
    const auto lines = linesOf(buildScanReport(v, TextForm()));
    EXPECT_EQ(lines[2], "System Manufacturer:Acme");
    EXPECT_EQ(lines[17], "Processor Speed: 2400");
    EXPECT_EQ(lines[18], "Processor FSB: 100");
    EXPECT_EQ(lines[30], "Total Slots: 4");
    EXPECT_EQ(lines[31], "Capacity: 4096 MB,4096 MB,");
    EXPECT_EQ(lines[34], "Slots: DIMM0,DIMM1,");
}

}  // namespace
