// The whole process `tavrix-report --dump FILE` against `dmidecode --from-dump FILE -t 0,1,2,4,16,17`,
// both writing to /dev/null, run alternately on the same dumps; prints each one's median wall time
// and their ratio (at most 1.0 means ours is no slower). Then the peak memory of `tavrix-report`
// over hostile machine files at the 16 MiB cap, as a multiple of the file; exits 1 when the
// report's passes 8.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/hostile_machines.h"

extern char** environ;

namespace {

constexpr int runs = 201;

// One run's wall time in microseconds and peak resident memory in bytes; both negative when the
// program could not run or failed.
struct Run {
    double microseconds;
    double peakBytes;
};

Run runOnce(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const auto& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, -1};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {-1, -1};
    return {std::chrono::duration<double, std::micro>(elapsed).count(), static_cast<double>(usage.ru_maxrss) * 1024};
}

constexpr std::size_t fileCap = 16 * 1024 * 1024;

// Repeats the piece as often as fits in the cap.
std::string filled(const std::string& piece) {
    std::string text;
    while (text.size() + piece.size() <= fileCap) text += piece;
    return text;
}

// The modules at their cap, each with a value as long as fills the file.
std::string modulesWithLongValues() {
    const std::string row = "[Win32_PhysicalMemory]\nCapacity=1\nDeviceLocator=";
    const std::size_t valueSize = fileCap / 32767 - row.size() - 1;
    std::string text;
    for (int i = 0; i < 32767; ++i) text += row + std::string(valueSize, 'x') + "\n";
    return text;
}

// Rows of 4096 unread properties, the most a row may hold.
std::string unreadProperties() {
    std::string row = "[Win32_Bios]\n";
    for (int i = 0; i < 4096; ++i) row += "p=\n";
    return filled(row);
}

// Peak memory of the report, the JSON document and a save over each hostile file.
bool machineFilePeaks() {
    const struct {
        const char* name;
        std::function<std::string()> text;
    } files[] = {
        {"one short row, for the floor", [] { return std::string("[Win32_Bios]\nManufacturer=Acme\n"); }},
        {"empty rows of an unread class", [] { return filled("[A]\n"); }},
        {"unread properties", unreadProperties},
        {"every read class at its row cap", everyReadClassAtItsRowCap},
        {"modules with long values", modulesWithLongValues},
    };
    char folderTemplate[] = "/tmp/bench-machine-XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr) return false;
    const std::filesystem::path folder = folderTemplate;
    std::printf("\n%-34s %8s %18s %18s %18s\n", "machine file (peak MB, x file)", "file MB", "report", "--json",
                "--save-machine");
    bool withinTarget = true;
    for (const auto& file : files) {
        const std::string path = (folder / "hostile.machine").string();
        // Written by a child of its own: a spawned process counts the memory of the one that spawned
        // it into its peak, so this one never holds a large file.
        const pid_t writer = fork();
        if (writer == 0) {
            std::ofstream(path, std::ios::binary) << file.text();
            _exit(0);
        }
        int status = 0;
        if (writer < 0 || waitpid(writer, &status, 0) != writer || status != 0) return false;
        const double size = static_cast<double>(std::filesystem::file_size(path));
        std::printf("%-34s %8.1f", file.name, size / 1048576);
        const std::vector<std::vector<std::string>> commands = {
            {TAVRIX_REPORT, "--machine", path},
            {TAVRIX_REPORT, "--json", "--machine", path},
            {TAVRIX_REPORT, "--machine", path, "--save-machine", (folder / "saved.machine").string()},
        };
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const double peak = runOnce(commands[i]).peakBytes;
            if (size < 1048576) {
                std::printf(" %9.1f %8s", peak / 1048576, "");  // the program's own floor, not a multiple
            } else {
                std::printf(" %9.1f (%5.1fx)", peak / 1048576, peak / size);
            }
            if (i == 0 && size >= 1048576 && (peak < 0 || peak > 8 * size)) withinTarget = false;
        }
        std::printf("\n");
    }
    std::filesystem::remove_all(folder);
    if (!withinTarget) std::printf("bench_report_process: a report's peak passed 8 times its file\n");
    return withinTarget;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const std::string dmidecode = DMIDECODE;
    if (dmidecode.empty() || access(dmidecode.c_str(), X_OK) != 0) {
        std::printf("bench_report_process: dmidecode not found, no times measured\n");
        return machineFilePeaks() ? 0 : 1;
    }
    std::vector<std::filesystem::path> dumps;
    for (const char* folder : {TAVRIX_SOURCE_DIR "/tests/data/smbios", TAVRIX_SOURCE_DIR "/../shared/smbios-dumps"}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".bin") dumps.push_back(entry.path());
        }
    }
    std::sort(dumps.begin(), dumps.end());
    std::printf("%-40s %12s %12s %7s\n", "dump (medians of 201 runs, alternated)", "tavrix us", "dmidecode us",
                "ratio");
    std::vector<double> ratios;
    for (const auto& dump : dumps) {
        std::vector<double> ours, theirs;
        for (int i = 0; i < runs; ++i) {
            ours.push_back(runOnce({TAVRIX_REPORT, "--dump", dump.string()}).microseconds);
            theirs.push_back(runOnce({dmidecode, "--from-dump", dump.string(), "-t", "0,1,2,4,16,17"}).microseconds);
            if (ours.back() < 0 || theirs.back() < 0) {
                std::printf("%s: a run failed\n", dump.filename().c_str());
                return 1;
            }
        }
        const double ratio = median(ours) / median(theirs);
        ratios.push_back(ratio);
        std::printf("%-40s %12.0f %12.0f %7.2f\n", dump.filename().c_str(), median(ours), median(theirs), ratio);
    }
    if (!ratios.empty()) std::printf("%-40s %12s %12s %7.2f\n", "median ratio", "", "", median(ratios));
    return machineFilePeaks() ? 0 : 1;
}
