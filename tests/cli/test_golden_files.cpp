// Each tests/data/machines/NAME.machine comes with the exact report (NAME.report), lookup address
// (NAME.address) and window contents (NAME.window) that tavrix-report must print for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "report_command.h"

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(GoldenFiles, ReportAddressAndWindowMatchForEveryMachine) {
    int machines = 0;
    for (const auto& entry : fs::directory_iterator(TAVRIX_TEST_DATA "/machines")) {
        if (entry.path().extension() != ".machine") continue;
        ++machines;
        for (const auto& [option, extension] : {std::pair{"", ".report"}, {"--address", ".address"}, {"--window", ".window"}}) {
            fs::path expected = entry.path();
            expected.replace_extension(extension);
            ASSERT_TRUE(fs::exists(expected)) << expected;
            std::vector<std::string> arguments = {"--machine", entry.path().string()};
            if (*option) arguments.emplace_back(option);
            std::ostringstream out, err;
            EXPECT_EQ(tavrix::runReportCommand(arguments, out, err), 0) << entry.path() << err.str();
            EXPECT_EQ(out.str(), contentsOf(expected)) << expected;
        }
    }
    EXPECT_GE(machines, 5);
}

}  // namespace
