#pragma once

#include <string>

namespace tavrix::win32 {

// The standard error report: a message box under the application title naming the failure, then
// the process ends with status 1. From here on no handler of the program runs.
[[noreturn]] void reportFailureAndExit(const std::string& failure);

// Whether the error report is on screen.
bool failureReported();

}  // namespace tavrix::win32
