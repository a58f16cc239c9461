#include "program_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report_command.h"
#include "scan_error.h"

namespace {

using tavrix::ProgramOptions;

TEST(ProgramOptions, TakesAMachineFileOrADumpAndRejectsTheRest) {
    struct Case {
        std::vector<std::string> arguments;
        std::string machineFile, dumpFile, error;
    };
    const std::vector<Case> cases = {
        {{}, "", "", ""},
        {{"--machine", "a.machine"}, "a.machine", "", ""},
        {{"--dump", "t.bin"}, "", "t.bin", ""},
        {{"--machine"}, "", "", "tavrix: --machine needs a value"},
        {{"--dump", ""}, "", "", "tavrix: --dump needs a value"},
        {{"--machine", "a", "--dump", "b"}, "", "", "tavrix: --machine excludes --dump"},
        {{"--window"}, "", "", "tavrix: unknown argument: --window"},
        {{"a.machine"}, "", "", "tavrix: unknown argument: a.machine"},
    };
    for (const auto& [arguments, machineFile, dumpFile, error] : cases) {
        std::string why;
        const auto options = ProgramOptions::parse(arguments, why);
        EXPECT_EQ(why, error);
        ASSERT_EQ(options.has_value(), error.empty());
        if (!options) continue;
        EXPECT_EQ(options->machineFile, machineFile);
        EXPECT_EQ(options->dumpFile, dumpFile);
    }
}

// A bad file fails before any window, with the message tavrix-report prints after its name.
TEST(ProgramOptions, ABadFileFailsAtOnceWithTavrixReportsMessage) {
    const std::string missing = TAVRIX_TEST_DATA "/no-such-file";
    const std::string text = TAVRIX_TEST_DATA "/malformed/text-line.machine";
    for (const auto& [option, file] :
         {std::pair{"--machine", missing}, {"--machine", text}, {"--dump", missing}, {"--dump", text}}) {
        const tavrix::ReportOutcome outcome = tavrix::runReportCommand({option, file});
        EXPECT_EQ(outcome.status, 1);
        std::string why;
        const auto options = ProgramOptions::parse({option, file}, why);
        ASSERT_TRUE(options);
        try {
            options->provider();
            ADD_FAILURE() << option << " " << file << " was accepted";
        } catch (const tavrix::ScanError& failure) {
            EXPECT_EQ("tavrix-report: " + std::string(failure.what()) + "\n", outcome.err);
        }
    }
    std::string why;
    EXPECT_NE(ProgramOptions::parse({"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine"}, why)->provider(),
              nullptr);
}

}  // namespace
