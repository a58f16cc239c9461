// Each tests/data/machines/NAME.machine comes with the exact report (NAME.report), lookup address
// (NAME.address), window contents (NAME.window) and JSON document (NAME.json) that tavrix-report
// must print for it, and nothing on standard error; the shipped examples/NAME.machine have theirs in
// tests/data/examples.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/report_command.h"
#include "scan/regular_file.h"

namespace {

namespace fs = std::filesystem;

// The file's bytes, or why they cannot be read.
std::string contentsOf(const fs::path& path) {
    const auto file = tavrix::RegularFile::read(path.string(), 64 << 20);
    return file.bytes ? *file.bytes : "unreadable: " + file.why;
}

// Checks every machine file in the folder against its expected outputs; returns how many it checked.
int checkMachines(const fs::path& machines, const fs::path& expectations) {
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(machines)) {
        if (entry.path().extension() != ".machine") continue;
        ++checked;
        for (const auto& [option, extension] : {std::pair{"", ".report"}, {"--address", ".address"}, {"--window", ".window"}, {"--json", ".json"}}) {
            fs::path expected = expectations / entry.path().filename();
            expected.replace_extension(extension);
            std::vector<std::string> arguments = {"--machine", entry.path().string()};
            if (*option) arguments.emplace_back(option);
            const tavrix::ReportOutcome outcome = tavrix::runReportCommand(arguments);
            EXPECT_EQ(outcome.status, 0) << entry.path() << outcome.err;
            EXPECT_EQ(outcome.out, contentsOf(expected)) << expected;
            EXPECT_EQ(outcome.err, "") << expected;
        }
    }
    return checked;
}

TEST(GoldenFiles, ReportAddressAndWindowMatchForEveryMachine) {
    EXPECT_GE(checkMachines(TAVRIX_TEST_DATA "/machines", TAVRIX_TEST_DATA "/machines"), 6);
    EXPECT_GE(checkMachines(TAVRIX_SOURCE_DIR "/examples", TAVRIX_TEST_DATA "/examples"), 1);
}

}  // namespace
