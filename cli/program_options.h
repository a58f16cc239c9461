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

// The command line of tavrix or of tavrix-report, checked: where the scan takes its answers from
// (this computer unless a machine file or a table dump is named) and, for tavrix-report, what it
// writes. tavrix takes --machine and --dump; tavrix-report also --root (not on Windows),
// --save-machine and one of --address, --window and --json. Each option may be given once.
struct ProgramOptions {
    std::string machineFile;  // --machine: a machine file; empty when not given
    PlatformSources sources;  // --dump FILE (a `dmidecode --dump-bin` file) and --root DIR
    std::string saveMachine;  // --save-machine: where to write what the queries answered; empty: nowhere
    ReportOutput output = ReportOutput::report;

    // The program's usage line on this platform, "usage: tavrix-report [--machine FILE] ...".
    static std::string usage(Program program);

    // The options, or nullopt after setting error to why, naming the program ("tavrix: --dump needs a
    // value"): a usage error.
    static std::optional<ProgramOptions> parse(Program program, const std::vector<std::string>& arguments,
                                               std::string& error);

    // The provider for the scan. A named machine file or table dump is read and checked here, and
    // throws ScanError with the message that names the file; this computer is read when scanned.
    std::unique_ptr<ManagementProvider> provider(WarningSink warn = {}) const;
};

}  // namespace tavrix
