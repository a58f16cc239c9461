#pragma once

#include <exception>
#include <string>

namespace tavrix::win32 {

// The text of the standard error report: for a failure of this computer's management service,
// one plain sentence saying so, then the technical detail on a line of its own; any other failure
// as it names itself.
std::string failureReportText(const std::exception& failure);

// The standard error report: a message box under the application title naming the failure (and the
// same text, "tavrix: " first, on standard error), then the process ends with the status, 1 unless
// told (2 for a usage error). From here on no handler of the program runs.
[[noreturn]] void reportFailureAndExit(const std::string& failure, int status = 1);
[[noreturn]] void reportFailureAndExit(const std::exception& failure);

// Whether the error report is on screen.
bool failureReported();

}  // namespace tavrix::win32
