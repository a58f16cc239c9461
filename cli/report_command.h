#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tavrix {

// What the command gives: its exit status and the texts for standard output and standard error.
struct ReportOutcome {
    int status = 0;
    std::string out;
    std::string err;
};

// `tavrix-report [--machine FILE] [--dump FILE] [--root DIR] [--save-machine FILE] [--address | --window | --json]`
// (ProgramOptions): runs the scan without a window and gives the report, the lookup address, what
// the window would show or all of it as one JSON document; --save-machine also writes what the
// queries answered as a machine file that replays the same.
// The status is 0 for success, 1 for a failed scan, 2 for a usage error.
ReportOutcome runReportCommand(const std::vector<std::string>& arguments);

// Writes the outcome and returns the exit status: 1 when out cannot take it all, with the reason on
// err unless the reader closed it (a pipe into `head`). On Windows a console gets the text as UTF-16. Plain C streams: the command starts no C++ stream machinery, as it is run often and briefly.
int writeReportOutcome(const ReportOutcome& outcome, std::FILE* out, std::FILE* err);

}  // namespace tavrix
