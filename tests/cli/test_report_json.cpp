// tavrix-report --json: the escaping of its strings, and how it combines with the other options.
#include "cli/report_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include "cli/report_command.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(ReportJson, EscapesWhatJsonNeedsAndEveryHiddenCharacter) {
    const std::pair<std::string, std::string> cases[] = {
        {"", R"("")"},
        {"Acme & Sons <x> / 'y'", R"("Acme & Sons <x> / 'y'")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\path\\", R"("C:\\path\\")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {std::string("a\0b", 3), R"("a\u0000b")"},
        {"\x01\x1F\x7F", R"("\u0001\u001F\u007F")"},
        {"\xC2\x85", R"("\u0085")"},                              // a C1 control
        {"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x92\xBE", "\"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x92\xBE\""},
        {"A\xE2\x80\x8F" "cme", R"("A\u200Fcme")"},               // right-to-left mark
        {"\xE2\x80\xAE\xE2\x80\xA8\xC2\xAD", R"("\u202E\u2028\u00AD")"},
        {"\xF3\xA0\x80\x81", R"("\uDB40\uDC01")"},                // a tag character, as a surrogate pair
        {"bad \xC3 \xFF\xED\xA0\x80", R"("bad \uFFFD \uFFFD\uFFFD\uFFFD\uFFFD")"},
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(tavrix::jsonString(text), json) << text;
}

TEST(ReportJson, CombinesWithTheSourcesAndSavingButNotWithTheOtherOutputs) {
    const std::string acme = TAVRIX_SOURCE_DIR "/examples/acme.machine";
    const tavrix::ReportOutcome json = tavrix::runReportCommand({"--machine", acme, "--json"});
    ASSERT_EQ(json.status, 0) << json.err;  // the document itself is a golden file

    const fs::path saved = fs::temp_directory_path() / ("tavrix-json-" + std::to_string(::getpid()) + ".machine");
    const tavrix::ReportOutcome saving = tavrix::runReportCommand({"--json", "--save-machine", saved.string(), "--machine", acme});
    EXPECT_EQ(saving.out, json.out);
    EXPECT_EQ(tavrix::runReportCommand({"--machine", saved.string(), "--json"}).out, json.out);
    fs::remove(saved);

    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char* message;
    };
    const Case failures[] = {
        {{"--json", "--address"}, 2, "--address, --window and --json exclude each other"},
        {{"--window", "--json"}, 2, "--address, --window and --json exclude each other"},
        {{"--json", "--json"}, 2, "--json is given twice"},
        {{"--json=yes"}, 2, "unknown argument: --json=yes"},
        {{"--json", "--machine", "/nonexistent/x.machine"}, 1, "tavrix-report: /nonexistent/x.machine: cannot open"},
        {{"--json", "--machine", TAVRIX_TEST_DATA "/malformed/text-line.machine"}, 1, "expected [Class] or Name=value"},
        {{"--json", "--machine", acme, "--save-machine", "/nonexistent/x.machine"}, 1, "cannot write"},
    };
    for (const Case& c : failures) {
        const tavrix::ReportOutcome outcome = tavrix::runReportCommand(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments[0];
        EXPECT_EQ(outcome.out, "") << c.arguments[0];
        EXPECT_THAT(outcome.err, HasSubstr(c.message));
    }
}

}  // namespace
