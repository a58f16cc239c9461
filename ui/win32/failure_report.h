#pragma once

#include <string>

namespace tavrix::win32 {

// The standard error report: a message box under the application title naming the failure (and the
// same line, "tavrix: " first, on standard error), then the process ends with the status, 1 unless
// told (2 for a usage error). From here on no handler of the program runs.
[[noreturn]] void reportFailureAndExit(const std::string& failure, int status = 1);

// Whether the error report is on screen.
bool failureReported();

}  // namespace tavrix::win32
