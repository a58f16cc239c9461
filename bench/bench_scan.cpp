// The whole scan over a parsed 40-module machine, with a sink that shows nothing.
#include <benchmark/benchmark.h>

#include "scan/hardware_scan.h"
#include "scan/machine_file.h"
#include "scan/scan_sink.h"

namespace {

using namespace tavrix;

struct NullSink : ScanSink {
    void clearList(ModuleList) override {}
    void appendRow(ModuleList, const std::string&) override {}
    void setCaption(ValueLabel, const std::string&) override {}
    void navigate(const std::string&) override {}
};

std::string fortyModuleMachine() {
    std::string text = "[Win32_ComputerSystem]\nManufacturer=Acme\nModel=Server 40\nTotalPhysicalMemory=343597383680\n"
                       "SystemType=x64-based PC\n[Win32_PhysicalMemoryArray]\nMaxCapacity=2147483648\nMemoryDevices=48\n";
    for (int i = 0; i < 40; ++i) {
        text += "[Win32_PhysicalMemory]\nCapacity=8589934592\nMemoryType=26\nSpeed=3200\nDeviceLocator=DIMM" +
                std::to_string(i) + "\nManufacturer=Acme Memory\nPartNumber=AM-8G-3200\n";
    }
    text += "[Win32_Processor]\nName=Acme CPU @ 2.40GHz\nManufacturer=GenuineIntel\nCurrentClockSpeed=2400\nExtClock=100\n"
            "[Win32_Bios]\nManufacturer=Acme BIOS\nSMBIOSBIOSVersion=1.2.3\n"
            "[Win32_ComputerSystemProduct]\nIdentifyingNumber=SN123\nVersion=1\n"
            "[Win32_Baseboard]\nManufacturer=Acme Boards\nProduct=B40\n";
    return text;
}

void WholeScanOfFortyModules(benchmark::State& state) {
    DescriptionProvider provider(MachineFile::parse(fortyModuleMachine(), "forty.machine"));
    NullSink sink;
    for (auto _ : state) {
        HardwareScan scan(provider, sink);
        benchmark::DoNotOptimize(scan.getTavrix());
        benchmark::DoNotOptimize(scan.lookupAddress().data());
    }
}
BENCHMARK(WholeScanOfFortyModules)->Unit(benchmark::kMicrosecond);

}  // namespace
