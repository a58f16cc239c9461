// Hostile input sizes: parsing a machine file and decoding an SMBIOS table must cost the same per
// property and per structure at a hundred thousand items as at ten million. Prints each size's cost
// per item and the peak memory of a process that builds and reads that input alone (also as a
// multiple of the input's size, the input included), and the spread
// between the cheapest and the dearest size per input kind; exits 1 when a spread passes 2, the
// sign of work that grows faster than the input.
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "providers/linux/linux_hardware.h"
#include "scan/hardware_scan.h"
#include "scan/machine_file.h"
#include "tests/providers/smbios/smbios_writer.h"

namespace {

using namespace tavrix;

// n properties in rows of 4,096, the most a row may hold: the shape that was quadratic, "p0000000="
// lines under one header.
std::string wideRows(std::size_t n) {
    std::string text;
    text.reserve(n * 10);
    char line[32];
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 4096 == 0) text += "[Win32_ComputerSystem]\n";
        text.append(line, std::snprintf(line, sizeof line, "p%07zu=\n", i));
    }
    return text;
}

// n rows of two properties each.
std::string manyRows(std::size_t n) {
    std::string text;
    text.reserve(n * 48);
    for (std::size_t i = 0; i < n; ++i) text += "[Win32_PhysicalMemory]\nCapacity=8589934592\nSpeed=3200\n";
    return text;
}

// n empty rows, the most rows a file of its size can hold.
std::string emptyRows(std::size_t n) {
    std::string text;
    text.reserve(n * 4);
    for (std::size_t i = 0; i < n; ++i) text += "[A]\n";
    return text;
}

// n system memory arrays, then n empty slots each naming an array: the shape whose device-to-array
// search was quadratic. Handles wrap at 16 bits as they would in so large a table.
std::string arraysAndSlots(std::size_t n) {
    testing::SmbiosWriter writer;
    for (std::size_t i = 0; i < n; ++i) {
        writer.structure(16, 0x17, static_cast<std::uint16_t>(i)).byte(0x05, 0x03).dword(0x07, 0x4000000).word(0x0D, 4);
    }
    for (std::size_t i = 0; i < n; ++i) {
        writer.structure(17, 0x22, static_cast<std::uint16_t>(n + i)).word(0x04, static_cast<std::uint16_t>(n - 1 - i));
    }
    const std::string table = writer.table();
    return testing::SmbiosWriter::dump(testing::SmbiosWriter::entryPoint3(table.size()), table);
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Kind {
    const char* name;
    const char* item;
    std::function<std::string(std::size_t)> input;
    std::function<std::size_t(const std::string&)> run;  // returns the rows built, so nothing is optimised away
    std::size_t itemsPer;                                // items in the input per unit of n
};

}  // namespace

int main() {
    // Freed memory stays mapped for the next run, so that each size is timed on memory already
    // mapped: mapping fresh pages costs the same per byte at every size and shows as peak memory.
    // -1 keeps even a heap past 2 GiB whole, which any finite threshold would hand back.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, -1);
    const std::vector<Kind> kinds = {
        {"machine file, wide rows", "property", wideRows,
         [](const std::string& text) { return MachineFile::parse(text, "wide.machine").rows().size(); }, 1},
        {"machine file, many rows", "row", manyRows,
         [](const std::string& text) { return MachineFile::parse(text, "rows.machine").rows().size(); }, 1},
        {"machine file, empty rows", "row", emptyRows,
         [](const std::string& text) { return MachineFile::parse(text, "empty.machine").rows().size(); }, 1},
        // The same rows read as the programs read a file, keeping only what the scan reads: the
        // dropped rows cost no memory. One row the scan reads closes the file.
        {"  read for the scan", "row", [](std::size_t n) { return emptyRows(n) + "[Win32_Bios]\n"; },
         [](const std::string& text) { return MachineFile::parse(text, "empty.machine", scannedClasses()).rows().size(); },
         1},
        {"SMBIOS arrays and slots", "structure", arraysAndSlots,
         [](const std::string& dump) {
             LinuxHardware hardware;
             hardware.tables.emplace(SmbiosTable::fromDump(dump, "big.bin"));
             return hardware.describe().rows().size();
         },
         2},
    };
    // From the sizes that once took seconds (100,000 properties in a row; 50,000 arrays and 50,000
    // slots) to 100 times them.
    const std::vector<std::size_t> sizes = {100000, 1000000, 10000000};
    bool linear = true;
    std::printf("%-26s %10s %14s %14s %14s\n", "input", "items", "ns per item", "peak MB", "peak / input");
    for (const Kind& kind : kinds) {
        std::vector<double> perItem;
        for (const std::size_t size : sizes) {
            // Each size in a process of its own, so that its peak memory is its own.
            int pipeEnds[2];
            if (pipe(pipeEnds) != 0) return 1;
            const pid_t child = fork();
            if (child < 0) return 1;
            if (child == 0) {
                const std::size_t n = size / kind.itemsPer;
                const std::string input = kind.input(n);
                const std::size_t items = n * kind.itemsPer;
                // The best of a few runs, fewer for the large inputs, so one slow run does not decide.
                const int runs = items <= 100000 ? 9 : 3;
                double best = 1e300;
                double peak = 0;  // after the first run: later ones may touch other memory that stays mapped
                for (int run = 0; run < runs; ++run) {
                    const auto start = std::chrono::steady_clock::now();
                    const std::size_t rows = kind.run(input);
                    const auto elapsed = std::chrono::steady_clock::now() - start;
                    if (rows == 0) _exit(1);
                    best = std::min(best, std::chrono::duration<double, std::nano>(elapsed).count());
                    if (run == 0) peak = peakMegabytes();
                }
                const double result[3] = {best / static_cast<double>(items), peak,
                                          peak * 1024 * 1024 / static_cast<double>(input.size())};
                _exit(write(pipeEnds[1], result, sizeof result) == sizeof result ? 0 : 1);
            }
            close(pipeEnds[1]);
            double result[3] = {0, 0, 0};
            const bool read = ::read(pipeEnds[0], result, sizeof result) == sizeof result;
            close(pipeEnds[0]);
            int status = 0;
            waitpid(child, &status, 0);
            if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::printf("%-26s %10zu failed\n", kind.name, size);
                return 1;
            }
            perItem.push_back(result[0]);
            std::printf("%-26s %10zu %14.1f %14.0f %14.1f\n", kind.name, size, result[0], result[1], result[2]);
        }
        const double spread = *std::max_element(perItem.begin(), perItem.end()) /
                              *std::min_element(perItem.begin(), perItem.end());
        std::printf("%-26s cost per %s varies %.2fx from %zu to %zu items (goal: at most 2x)\n\n", kind.name,
                    kind.item, spread, sizes.front(), sizes.back());
        linear = linear && spread <= 2.0;
    }
    return linear ? 0 : 1;
}
