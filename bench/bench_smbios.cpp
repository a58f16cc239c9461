// Decoding one SMBIOS table and answering the seven queries from it, for each synthetic table and
// each real machine's dump found beside the project; /proc and sysfs are read once, outside the loop.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "providers/linux/linux_hardware.h"

namespace {

using namespace tavrix;

// The seven queries with the properties the scan reads from each row; with their lengths, as the
// scan's literals have them.
using namespace std::string_view_literals;
const std::pair<std::string_view, std::vector<std::string_view>> queries[] = {
    {"Select * from Win32_ComputerSystem"sv, {"manufacturer"sv, "Model"sv, "TotalPhysicalMemory"sv, "SystemType"sv}},
    {"Select * from Win32_PhysicalMemoryArray"sv, {"MaxCapacity"sv, "manufacturer"sv, "MemoryDevices"sv}},
    {"Select * from Win32_PhysicalMemory"sv, {"capacity"sv, "memorytype"sv, "speed"sv, "devicelocator"sv}},
    {"Select * from Win32_Processor"sv, {"Name"sv, "manufacturer"sv, "CurrentClockSpeed"sv, "extclock"sv}},
    {"Select * from Win32_Bios"sv, {"manufacturer"sv, "SMBIOSBIOSVersion"sv}},
    {"Select * from Win32_ComputerSystemProduct"sv, {"IdentifyingNumber"sv, "Version"sv}},
    {"Select * from Win32_Baseboard"sv, {"manufacturer"sv, "product"sv}},
};

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void DecodeAndAnswerSevenQueries(benchmark::State& state, const std::string& dump) {
    LinuxHardware hardware = LinuxHardware::read({});  // this computer's /proc, read once
    for (auto _ : state) {
        hardware.tables.emplace(SmbiosTable::fromDump(dump, "bench"));
        DescriptionConnection connection(std::make_shared<const MachineDescription>(hardware.describe()));
        for (const auto& [query, properties] : queries) {
            auto rows = connection.ExecQuery(query);
            while (const ManagementRow* row = rows->next()) {
                for (const std::string_view property : properties) benchmark::DoNotOptimize(row->readProperty(property));
            }
        }
    }
}

void registerDumps(const std::filesystem::path& folder) {
    if (!std::filesystem::is_directory(folder)) return;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".bin") continue;
        benchmark::RegisterBenchmark(("DecodeAndAnswerSevenQueries/" + entry.path().stem().string()).c_str(),
                                     DecodeAndAnswerSevenQueries, contentsOf(entry.path()))
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    registerDumps(TAVRIX_SOURCE_DIR "/tests/data/smbios");
    registerDumps(TAVRIX_SOURCE_DIR "/../shared/smbios-dumps");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
