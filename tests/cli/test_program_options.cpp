#include "cli/program_options.h"

#include <gtest/gtest.h>

#include "cli/report_command.h"
#include "scan/scan_error.h"

namespace {

#ifdef _WIN32
#define WINDOWS_OR(windows, other) windows
#else
#define WINDOWS_OR(windows, other) other
#endif

using tavrix::Program;
using tavrix::ProgramOptions;

TEST(ProgramOptions, EachProgramTakesItsOwnOptionsOnceAndRejectsTheRest) {
    struct Case {
        Program program;
        std::vector<std::string> arguments;
        std::string error;  // empty: accepted
    };
    const Case cases[] = {
        {Program::tavrix, {}, ""},
        {Program::tavrix, {"--machine", "a.machine"}, ""},
        {Program::tavrix, {"--dump", "t.bin"}, ""},
        {Program::tavrix, {"--machine"}, "tavrix: --machine needs a value"},
        {Program::tavrix, {"--dump", ""}, "tavrix: --dump needs a value"},
        {Program::tavrix, {"--machine", "a", "--dump", "b"}, "tavrix: --machine excludes --dump"},
        {Program::tavrix, {"--machine", "a", "--machine", "b"}, "tavrix: --machine is given twice"},
        {Program::tavrix, {"--window"}, "tavrix: unknown argument: --window"},
        {Program::tavrix, {"--root", "/"}, "tavrix: unknown argument: --root"},
        {Program::tavrix, {"a.machine"}, "tavrix: unknown argument: a.machine"},
        {Program::tavrixReport, {"--save-machine", "x", "--window", "--dump", "t.bin"}, ""},
        {Program::tavrixReport, {"--address", "--address"}, "tavrix-report: --address is given twice"},
        {Program::tavrixReport, {"--address", "--window"}, "tavrix-report: --address, --window and --json exclude each other"},
        {Program::tavrixReport, {"--save-machine", "a", "--save-machine", "b"},
         "tavrix-report: --save-machine is given twice"},
        {Program::tavrixReport, {"--dump", "a", "--dump", "a"}, "tavrix-report: --dump is given twice"},
        {Program::tavrixReport, {"--machine", "a", "--root", "r"}, "tavrix-report: --machine excludes --root"},
#ifdef _WIN32
        {Program::tavrixReport, {"--root", "r"},
         "tavrix-report: --root is an option of the Linux program; on Windows the scan reads WMI, which has no root"},
#else
        {Program::tavrixReport, {"--root", "r"}, ""},
        {Program::tavrixReport, {"--dump", "a", "--root", "r"},
         "tavrix-report: --dump excludes --root: a dump is answered from its tables alone"},
#endif
        {Program::tavrixReport, {"-h"}, "tavrix-report: unknown argument: -h"},
        {Program::tavrix, {"/?"}, WINDOWS_OR("", "tavrix: unknown argument: /?")},
        {Program::tavrix, {"--bogus", "--help"}, "tavrix: unknown argument: --bogus"},
        {Program::tavrix, {"--help", "--bogus"}, ""},
        {Program::tavrixReport, {"--version", "--json", "--json"}, ""},
    };
    for (const Case& c : cases) {
        std::string why;
        const auto options = ProgramOptions::parse(c.program, c.arguments, why);
        EXPECT_EQ(why, c.error) << (c.arguments.empty() ? "" : c.arguments[0]);
        EXPECT_EQ(options.has_value(), c.error.empty()) << why;
    }
}

// --help and --version answer whatever follows; the help has a line for each option the program takes.
TEST(ProgramOptions, HelpHasALineForEachOptionOfTheProgram) {
    const std::pair<std::vector<std::string>, tavrix::ProgramRequest> requests[] = {
        {{"--help", "--machine"}, tavrix::ProgramRequest::help},
        {{"--version", "--bogus"}, tavrix::ProgramRequest::version},
        {{WINDOWS_OR("/?", "--help")}, tavrix::ProgramRequest::help},
        {{"--json"}, tavrix::ProgramRequest::run},
    };
    for (const auto& [arguments, request] : requests) {
        std::string why;
        EXPECT_EQ(ProgramOptions::parse(Program::tavrixReport, arguments, why)->request, request) << arguments[0];
    }
    const std::string all[] = {"--machine FILE", "--dump FILE", "--root DIR", "--save-machine FILE", "--address",
                               "--window", "--json", "--help", "--version"};
    for (const Program program : {Program::tavrix, Program::tavrixReport}) {
        const std::string help = ProgramOptions::help(program);
        EXPECT_EQ(help.substr(0, help.find('\n')), ProgramOptions::usage(program));
        for (const std::string& option : all) {
            const bool offered = ProgramOptions::usage(program).find(option.substr(0, option.find(' '))) != std::string::npos ||
                                 option == "--help" || option == "--version";
            EXPECT_EQ(help.find("\n  " + option + "  ") != std::string::npos, offered) << option << "\n" << help;
        }
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
        const auto options = ProgramOptions::parse(Program::tavrix, {option, file}, why);
        ASSERT_TRUE(options);
        try {
            options->provider();
            ADD_FAILURE() << option << " " << file << " was accepted";
        } catch (const tavrix::ScanError& failure) {
            EXPECT_EQ("tavrix-report: " + std::string(failure.what()) + "\n", outcome.err);
        }
    }
    std::string why;
    EXPECT_NE(ProgramOptions::parse(Program::tavrix, {"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine"}, why)
                  ->provider(),
              nullptr);
}

}  // namespace
