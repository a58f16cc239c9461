#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "providers/platform_provider.h"
#include "scan/management_query.h"

namespace tavrix {

// The two programs, which share their options.
enum class Program { tavrix, tavrixReport };

// What tavrix-report writes: the report, the lookup address, what the window would show, or all of
// it as one JSON document.
enum class ReportOutput { report, address, window, json };

// What the command line asks for: the program's work, or only its help or its version.
enum class ProgramRequest { run, help, version };

// The command line of tavrix or of tavrix-report, checked: where the scan takes its answers from
// (this computer unless a machine file or a table dump is named) and, for tavrix-report, what it
// writes. tavrix takes --machine and --dump; tavrix-report also --root (not on Windows),
// --save-machine and one of --address, --window and --json. Each option may be given once. Both
// take --help and --version (and /? on Windows), which answer at once whatever follows them.
struct ProgramOptions {
    ProgramRequest request = ProgramRequest::run;
    std::string machineFile;  // --machine: a machine file; empty when not given
    PlatformSources sources;  // --dump FILE (a `dmidecode --dump-bin` file) and --root DIR
    std::string saveMachine;  // --save-machine: where to write what the queries answered; empty: nowhere
    ReportOutput output = ReportOutput::report;

    // The program's usage line on this platform, "usage: tavrix-report [--machine FILE] ...".
    static std::string usage(Program program);
    // The usage line, then one line per option saying what it does; ends in a line feed.
    static std::string help(Program program);
    // "tavrix-report 1.0.0" and a line feed.
    static std::string version(Program program);

    // The options, or nullopt after setting error to why, naming the program ("tavrix: --dump needs a
    // value"): a usage error. An argument echoed in the error is shown as shownValue shows it.
    static std::optional<ProgramOptions> parse(Program program, const std::vector<std::string>& arguments,
                                               std::string& error);

    // The provider for the scan. A named machine file or table dump is read and checked here, and
    // throws ScanError with the message that names the file; this computer is read when scanned.
    std::unique_ptr<ManagementProvider> provider(WarningSink warn = {}) const;
};

}  // namespace tavrix
