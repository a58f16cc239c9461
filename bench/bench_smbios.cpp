// Decoding one SMBIOS table and answering the seven queries from it, for each synthetic table and
// each real machine's dump found beside the project; /proc and sysfs are read once, outside the loop.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "linux_hardware.h"

namespace {

using namespace tavrix;

// The seven queries with the properties the scan reads from each row.
const std::pair<const char*, std::vector<const char*>> queries[] = {
    {"Select * from Win32_ComputerSystem", {"manufacturer", "Model", "TotalPhysicalMemory", "SystemType"}},
    {"Select * from Win32_PhysicalMemoryArray", {"MaxCapacity", "manufacturer", "MemoryDevices"}},
    {"Select * from Win32_PhysicalMemory", {"capacity", "memorytype", "speed", "devicelocator"}},
    {"Select * from Win32_Processor", {"Name", "manufacturer", "CurrentClockSpeed", "extclock"}},
    {"Select * from Win32_Bios", {"manufacturer", "SMBIOSBIOSVersion"}},
    {"Select * from Win32_ComputerSystemProduct", {"IdentifyingNumber", "Version"}},
    {"Select * from Win32_Baseboard", {"manufacturer", "product"}},
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
                for (const char* property : properties) benchmark::DoNotOptimize(row->readProperty(property));
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
