#include "scan/scan_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace tavrix;
using ::testing::HasSubstr;

// Whole reports are golden files; here the figures that stand bare, without their units.
TEST(ScanReport, ShowsSlotCountAloneAndBareProcessorFigures) {
    ScanValues v;
    v.memoryDevices = std::int64_t{4};
    v.slotsText = "4  (Currently Memory in 2 Slots)";
    v.cpuSpeed = std::int64_t{2400};
    v.cpuExtClock = std::int64_t{100};
    const std::string report = buildScanReport(v, TextForm());
    EXPECT_THAT(report, HasSubstr("\r\nProcessor Speed: 2400\r\nProcessor FSB: 100\r\n"));
    EXPECT_THAT(report, HasSubstr("\r\nTotal Slots: 4\r\n"));
}

}  // namespace
