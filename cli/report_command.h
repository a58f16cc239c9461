#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavrix {

// `tavrix-report [--machine FILE] [--dump FILE] [--root DIR] [--save-machine FILE] [--address | --window]`:
// runs the scan without a window and prints the report, the lookup address or what the window would
// show; --save-machine also writes what the queries answered as a machine file that replays the same.
// Returns the exit status: 0 success, 1 a failed scan, 2 a usage error.
int runReportCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tavrix
