// The whole process `tavrix-report --dump FILE` against `dmidecode --from-dump FILE -t 0,1,2,4,16,17`,
// both writing to /dev/null, run alternately on the same dumps; prints each one's median wall time
// and their ratio (at most 1.0 means ours is no slower).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int runs = 201;

// Wall time of one run in microseconds; negative when the program could not run or failed.
double timeRun(const std::vector<std::string>& command) {
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
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::micro>(elapsed).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const std::string dmidecode = DMIDECODE;
    if (dmidecode.empty() || access(dmidecode.c_str(), X_OK) != 0) {
        std::printf("bench_report_process: dmidecode not found, nothing measured\n");
        return 0;
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
            ours.push_back(timeRun({TAVRIX_REPORT, "--dump", dump.string()}));
            theirs.push_back(timeRun({dmidecode, "--from-dump", dump.string(), "-t", "0,1,2,4,16,17"}));
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
    return 0;
}
