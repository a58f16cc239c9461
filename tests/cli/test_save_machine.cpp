// tavrix-report --save-machine writes what the queries answered; replaying the file with --machine
// must print the same report, address and window, and saving the replay must give the same bytes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <tuple>

#include "cli/report_command.h"
#include "scan/regular_file.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// The file's bytes, or why they cannot be read.
std::string contentsOf(const fs::path& path) {
    const auto file = tavrix::RegularFile::read(path.string(), 64 << 20);
    return file.bytes ? *file.bytes : "unreadable: " + file.why;
}

using Outcome = tavrix::ReportOutcome;
constexpr auto runReport = tavrix::runReportCommand;

// The files of the folder with the extension, or none when the folder does not exist.
std::vector<fs::path> filesIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> found;
    if (!fs::is_directory(folder)) return found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) found.push_back(entry.path());
    }
    return found;
}

class SaveMachine : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tavrix-save-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Saves from the source (e.g. {"--dump", FILE}), replays the saved file, and compares.
    void checkRoundTrip(const std::vector<std::string>& source, const std::string& name) {
        const std::string saved = (folder_ / (name + ".machine")).string();
        const std::string again = (folder_ / (name + ".again.machine")).string();
        for (const char* option : {"", "--address", "--window"}) {
            std::vector<std::string> original = source;
            original.insert(original.end(), {"--save-machine", saved});
            std::vector<std::string> replay = {"--machine", saved, "--save-machine", again};
            if (*option) original.emplace_back(option), replay.emplace_back(option);
            const Outcome first = runReport(original);
            ASSERT_EQ(first.status, 0) << name << ": " << first.err;
            const Outcome second = runReport(replay);
            ASSERT_EQ(second.status, 0) << name << ": " << second.err;
            EXPECT_EQ(second.out, first.out) << name << " " << option;
            EXPECT_EQ(contentsOf(again), contentsOf(saved)) << name;
        }
    }

    fs::path folder_;
};

TEST_F(SaveMachine, ReplaysEveryTestMachineAndDumpTheSame) {
    int checked = 0;  // real computers' tables count too, when the shared collection is there
    for (const auto& [folder, option, extension] :
         {std::tuple{TAVRIX_TEST_DATA "/machines", "--machine", ".machine"},
          {TAVRIX_SOURCE_DIR "/examples", "--machine", ".machine"},
          {TAVRIX_TEST_DATA "/smbios", "--dump", ".bin"}, {TAVRIX_TEST_DATA "/smbios/fuzz", "--dump", ".bin"},
          {TAVRIX_SOURCE_DIR "/../shared/smbios-dumps", "--dump", ".bin"}}) {
        for (const fs::path& file : filesIn(folder, extension)) {
            checkRoundTrip({option, file.string()}, file.stem().string());
            ++checked;
        }
    }
    EXPECT_GE(checked, 12);
}

TEST_F(SaveMachine, WritesTheDocumentedFormatInTheScansOrder) {
    const std::string saved = (folder_ / "server.machine").string();
    ASSERT_EQ(runReport({"--machine", TAVRIX_TEST_DATA "/machines/server.machine", "--save-machine", saved}).status, 0);
    const std::string text = contentsOf(saved);
    EXPECT_THAT(text,
                HasSubstr("\n[Win32_ComputerSystem]\nManufacturer=Dell Inc.\nModel=PowerEdge R740\n"
                          "TotalPhysicalMemory=270212689920\nSystemType=x64-based PC\n\n"
                          "[Win32_PhysicalMemoryArray]\nMaxCapacity=3221225472\nManufacturer= \nMemoryDevices=24\n"));
    std::size_t previous = 0;
    for (const char* name : {"Win32_ComputerSystem", "Win32_PhysicalMemoryArray", "Win32_PhysicalMemory",
                             "Win32_Processor", "Win32_Bios", "Win32_ComputerSystemProduct", "Win32_Baseboard"}) {
        const std::size_t at = text.find(std::string("\n[") + name + "]\n");
        EXPECT_TRUE(at != std::string::npos && at > previous) << name << " out of the scan's order";
        previous = at;
    }
}

}  // namespace
