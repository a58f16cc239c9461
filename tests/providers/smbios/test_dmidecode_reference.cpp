// Checks the values the providers take from SMBIOS structures against dmidecode's decoding
// of the same tables: the real machines' dumps beside their dmidecode output, and the project's
// synthetic tables decoded by a live `dmidecode --from-dump`.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "providers/smbios/smbios_classes.h"
#include "tests/providers/smbios/synthetic_tables.h"

namespace {

namespace fs = std::filesystem;
using namespace tavrix;
using tavrix::testing::syntheticDumps;

// One "Handle 0x…, DMI type N, L bytes" block of dmidecode's output.
struct DecodedStructure {
    int type = -1;
    std::string handle;
    std::map<std::string, std::string> fields;  // "\tKey: value" lines, the first of each key

    std::string operator[](const std::string& key) const {
        const auto found = fields.find(key);
        return found == fields.end() ? "<missing>" : found->second;
    }
};

std::vector<DecodedStructure> parseDmidecode(const std::string& output) {
    std::vector<DecodedStructure> blocks;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Handle 0x", 0) == 0) {
            DecodedStructure block;
            block.handle = line.substr(7, line.find(',') - 7);
            const auto type = line.find("DMI type ");
            block.type = type == std::string::npos ? -1 : std::stoi(line.substr(type + 9));
            blocks.push_back(block);
        } else if (!blocks.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
            const auto colon = line.find(": ");
            if (colon != std::string::npos)
                blocks.back().fields.emplace(line.substr(1, colon - 1), line.substr(colon + 2));
            else if (line.back() == ':')
                blocks.back().fields.emplace(line.substr(1, line.size() - 2), "");
        }
    }
    return blocks;
}

std::string shown(const ProviderValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    return "Not Specified";
}

// dmidecode writes a missing string as "Not Specified" and an index past the set as "<BAD INDEX>".
// It keeps bytes from 0x80 up as they are, where the provider shows ".".
std::string asString(const std::string& decoded) {
    if (decoded == "<BAD INDEX>") return "Not Specified";
    std::string shown = decoded;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) >= 0x80) c = '.';
    return shown;
}

// "4 GB", "8192 MB", "64 kB" in bytes; "" for anything else.
std::string sizeInBytes(const std::string& decoded) {
    std::istringstream in(decoded);
    unsigned long long amount = 0;
    std::string unit;
    if (!(in >> amount >> unit)) return "";
    const std::map<std::string, int> shifts = {{"bytes", 0}, {"kB", 10}, {"MB", 20}, {"GB", 30}, {"TB", 40}};
    const auto shift = shifts.find(unit);
    return shift == shifts.end() ? "" : std::to_string(amount << shift->second);
}

// "2400 MT/s" or "100 MHz" as the number; "Unknown" as absent.
std::string speedOf(const std::string& decoded) {
    return decoded == "Unknown" ? "Not Specified" : decoded.substr(0, decoded.find(' '));
}

std::string memoryTypeOf(const std::string& decoded) {
    return std::to_string(wmiMemoryType(smbiosMemoryType(decoded).value_or(0)));
}

// Compares the provider's rows for one dump with dmidecode's decoding; returns how many values it checked.
int compareWithDmidecode(const std::string& dumpFile, const std::string& dmidecodeOutput) {
    SCOPED_TRACE(dumpFile);
    const auto blocks = parseDmidecode(dmidecodeOutput);
    std::vector<std::string> warnings;
    const auto machine = describeTables(SmbiosTable::readDump(dumpFile, warnings));
    int checked = 0;
    auto expectRows = [&](const char* className, const std::vector<std::map<std::string, std::string>>& expected) {
        const auto rows = machine.rowsOf(className);
        EXPECT_EQ(rows.size(), expected.size()) << className;
        for (std::size_t i = 0; i < std::min(rows.size(), expected.size()); ++i) {
            for (const auto& [property, decoded] : expected[i]) {
                // a field dmidecode does not print lies beyond the structure: the provider has no value
                const std::string value = decoded == "<missing>" ? "Not Specified" : decoded;
                EXPECT_EQ(shown(rows[i]->readProperty(property)), value)
                    << className << " row " << i << " " << property;
                ++checked;
            }
        }
    };
    std::vector<std::map<std::string, std::string>> bios, system, product, boards, processors, arrays, modules;
    std::map<std::string, std::string> arrayUse;
    for (const auto& b : blocks)
        if (b.type == 16) arrayUse[b.handle] = b["Use"];
    for (const auto& b : blocks) {
        const auto str = [&b](const char* key) { return asString(b[key]); };
        switch (b.type) {
            case 0: bios.push_back({{"Manufacturer", str("Vendor")}, {"SMBIOSBIOSVersion", str("Version")}}); break;
            case 1:
                if (!system.empty()) break;
                system.push_back({{"Manufacturer", str("Manufacturer")}, {"Model", str("Product Name")}});
                product.push_back({{"IdentifyingNumber", str("Serial Number")}, {"Version", str("Version")}});
                break;
            case 2: boards.push_back({{"Manufacturer", str("Manufacturer")}, {"Product", str("Product Name")}}); break;
            case 4:
                if (b["Type"] != "Central Processor" || b["Status"].rfind("Populated", 0) != 0) break;
                processors.push_back({{"Name", str("Version")}, {"Manufacturer", str("Manufacturer")},
                                      {"CurrentClockSpeed", speedOf(b["Current Speed"])}, {"ExtClock", speedOf(b["External Clock"])}});
                break;
            case 16: {
                if (b["Use"] != "System Memory") break;
                const std::string bytes = sizeInBytes(b["Maximum Capacity"]);
                const std::string kb = bytes.empty() ? "Not Specified" : std::to_string(std::stoull(bytes) / 1024);
                arrays.push_back({{"MaxCapacity", kb}, {"MemoryDevices", b["Number Of Devices"]}});
                break;
            }
            case 17: {
                const auto use = arrayUse.find(b["Array Handle"]);
                if (b["Size"] == "No Module Installed" || (use != arrayUse.end() && use->second != "System Memory"))
                    break;
                const std::string bytes = sizeInBytes(b["Size"]);
                modules.push_back({{"Capacity", bytes.empty() ? "Not Specified" : bytes}, {"DeviceLocator", str("Locator")},
                                   {"MemoryType", memoryTypeOf(b["Type"])}, {"Speed", speedOf(b["Speed"])}});
                break;
            }
            default: break;
        }
    }
    expectRows("Win32_Bios", bios);
    expectRows("Win32_Baseboard", boards);
    expectRows("Win32_PhysicalMemoryArray", arrays);
    expectRows("Win32_PhysicalMemory", modules);
    if (!system.empty()) {
        expectRows("Win32_ComputerSystem", system);
        expectRows("Win32_ComputerSystemProduct", product);
    }
    if (!processors.empty()) expectRows("Win32_Processor", processors);
    return checked;
}

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(DmidecodeReference, RealMachinesDecodeAsDmidecodeDecodesThem) {
    if (!fs::is_directory(TAVRIX_SMBIOS_DUMPS)) GTEST_SKIP() << "no dumps at " << TAVRIX_SMBIOS_DUMPS;
    int dumps = 0;
    for (const auto& entry : fs::directory_iterator(TAVRIX_SMBIOS_DUMPS)) {
        if (entry.path().extension() != ".bin") continue;
        const fs::path decoded = entry.path().string() + ".dmidecode.txt";
        if (!fs::exists(decoded)) continue;
        EXPECT_GT(compareWithDmidecode(entry.path().string(), contentsOf(decoded)), 10) << entry.path();
        ++dumps;
    }
    EXPECT_GT(dumps, 0);
}

// dmidecode's decoding of a dump file by a live `dmidecode --from-dump`; empty when it cannot run.
std::string liveDmidecode(const std::string& dumpFile) {
    const char* dmidecode = fs::exists("/usr/sbin/dmidecode") ? "/usr/sbin/dmidecode" : "dmidecode";
    FILE* pipe = popen((std::string(dmidecode) + " --from-dump '" + dumpFile + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return "";
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    return pclose(pipe) == 0 ? output : "";
}

TEST(DmidecodeReference, SyntheticTablesDecodeAsLiveDmidecodeDecodesThem) {
    for (const auto& [name, dump] : syntheticDumps()) {
        const std::string file = std::string(TAVRIX_TEST_DATA) + "/smbios/" + name;
        const std::string output = liveDmidecode(file);
        if (output.empty()) GTEST_SKIP() << "dmidecode cannot run";
        EXPECT_GT(compareWithDmidecode(file, output), 20) << output;
    }
}

// TAVRIX_WRITE_SAMPLES=1 rewrites tests/data/smbios from synthetic_tables.h.
TEST(DmidecodeReference, SyntheticTableFilesAreWhatTheWriterWrites) {
    for (const auto& [name, dump] : syntheticDumps()) {
        const fs::path file = fs::path(TAVRIX_TEST_DATA) / "smbios" / name;
        if (std::getenv("TAVRIX_WRITE_SAMPLES")) {
            fs::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << dump;
        }
        EXPECT_EQ(contentsOf(file), dump) << file << ": run the test with TAVRIX_WRITE_SAMPLES=1";
    }
}

}  // namespace
