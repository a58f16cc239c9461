#include "cli/report_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/program_options.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace fs = std::filesystem;
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

TEST(ReportCommand, HelpAndVersionGoToStandardOutputWithStatusZero) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--help"}, tavrix::ProgramOptions::help(tavrix::Program::tavrixReport)},
        {{"--json", "--help", "--bogus"}, tavrix::ProgramOptions::help(tavrix::Program::tavrixReport)},
        {{"--version"}, "tavrix-report " TAVRIX_TEST_VERSION "\n"},
    };
    for (const auto& [arguments, out] : cases) {
        const Outcome result = runReport(arguments);
        EXPECT_EQ(result.status, 0) << arguments[0];
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
    }
}

// What a message repeats from the command line or a file is shown escaped, and cut when long.
TEST(ReportCommand, MessagesEscapeAndCutWhatTheyRepeat) {
    const std::string many(100000, '7');
    const std::string cut = std::string(64, '7') + "...";
    const fs::path machine = fs::temp_directory_path() / ("tavrix-long-" + std::to_string(::getpid()) + ".machine");
    std::ofstream(machine) << "[Win32_PhysicalMemory]\nCapacity=8 GB" << many << "\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"bogus\nline\x1b[2J"}, "tavrix-report: unknown argument: bogus\\x0aline\\x1b[2J\n"},
        {{"--machine", acme, "x" + many}, "tavrix-report: unknown argument: x" + cut.substr(1) + " (cut; 100001 bytes in all)\n"},
        {{"--machine", machine.string()},
         "tavrix-report: Win32_PhysicalMemory property \"Capacity\" is not a number: \"8 GB" + cut.substr(4) +
             "\" (cut; 100004 bytes in all)\n"},
    };
    for (const auto& [arguments, err] : cases) {
        const Outcome result = runReport(arguments);
        EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), err);
    }
    fs::remove(machine);
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
    // A reader that has gone ends the command quietly, as SIGPIPE would.
    const std::pair<std::FILE*, std::string> outputs[] = {
        {std::fopen("/dev/full", "w"), "tavrix-report: cannot write the report: No space left on device\n"},
        {::fdopen(pipeEnds[1], "w"), ""},
    };
    for (const auto& [out, reason] : outputs) {
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(out && err);
        EXPECT_EQ(tavrix::writeReportOutcome(tavrix::runReportCommand({"--machine", acme}), out, err), 1);
        std::rewind(err);
        char said[200] = {};
        said[std::fread(said, 1, sizeof said - 1, err)] = '\0';
        EXPECT_EQ(said, reason);
        std::fclose(out);
        std::fclose(err);
    }
    std::signal(SIGPIPE, previous);
    std::filesystem::remove_all(folder);
}

}  // namespace
