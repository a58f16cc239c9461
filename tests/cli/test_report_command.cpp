#include "cli/report_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using Outcome = tavrix::ReportOutcome;
constexpr auto runReport = tavrix::runReportCommand;

const std::string acme = TAVRIX_SOURCE_DIR "/examples/acme.machine";

TEST(ReportCommand, UsageErrorsExitWithTwoAndAUsageLine) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--machine"}, {"--address", "--window"}, {"--machine", acme, "--dump", "x.bin"}, {"-h"},
             {"--save-machine"}}) {
        const Outcome result = runReport(arguments);
        EXPECT_EQ(result.status, 2) << arguments[0];
        EXPECT_THAT(result.err, StartsWith("tavrix-report: "));
        EXPECT_THAT(result.err, HasSubstr("usage: tavrix-report [--machine FILE]"));
        EXPECT_TRUE(result.out.empty());
    }
}

// Failed scans, and failures of the surroundings that once ended silently or with a success status.
TEST(ReportCommand, SaysOnStandardErrorWhatWentWrongInOrAroundTheScan) {
    char pattern[] = "/tmp/tavrix-report-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string cut = folder + "/cut.bin";  // the synthetic dump cut short inside its last structure
    std::filesystem::copy_file(TAVRIX_TEST_DATA "/smbios/synthetic-3.x.bin", cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) - 3);
    const std::string fifo = folder + "/fifo";  // a save refuses it and leaves it as it is
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    };
    std::vector<Case> cases = {
        {{"--root", folder + "/no/such/dir"}, 1,
         "tavrix-report: " + folder + "/no/such/dir: cannot use as the root: No such file or directory\n"},
        {{"--machine", "/x/\x1b[2J"}, 1, "tavrix-report: /x/\\x1b[2J: cannot open: No such file or directory\n"},
        {{"--dump", cut}, 0, "tavrix-report: warning: " + cut + ": "},
        {{"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine", "--save-machine", fifo}, 1,
         "tavrix-report: " + fifo + ": cannot replace: it is a FIFO, not a regular file or a link\n"},
    };
    const std::string notANumber = TAVRIX_TEST_DATA "/malformed/capacity-not-a-number.machine";
    for (const char* output : {"--address", "--json"}) {  // --json reads through the recorder
        cases.push_back({{"--machine", notANumber, output}, 1,
                         "tavrix-report: Win32_PhysicalMemory property \"Capacity\" is not a number: \"8 GB\"\n"});
    }
    for (const auto& [arguments, status, err] : cases) {
        const Outcome result = runReport(arguments);
        EXPECT_EQ(result.status, status) << arguments[1];
        EXPECT_THAT(result.err, StartsWith(err));
        EXPECT_TRUE(status == 0 || result.out.empty()) << result.out;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
    }
    EXPECT_THAT(runReport({"--dump", cut}).err, HasSubstr("at offset 0x"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const std::pair<std::FILE*, std::string> outputs[] = {
        {std::fopen("/dev/full", "w"), "No space left on device"},
        {::fdopen(pipeEnds[1], "w"), "the output was closed"},
    };
    for (const auto& [out, reason] : outputs) {
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(out && err);
        EXPECT_EQ(tavrix::writeReportOutcome(tavrix::runReportCommand({"--machine", acme}), out, err), 1);
        std::rewind(err);
        char said[200] = {};
        said[std::fread(said, 1, sizeof said - 1, err)] = '\0';
        EXPECT_EQ(said, "tavrix-report: cannot write the report: " + reason + "\n");
        std::fclose(out);
        std::fclose(err);
    }
    std::signal(SIGPIPE, previous);
    std::filesystem::remove_all(folder);
}

}  // namespace
