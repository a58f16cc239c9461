#include "failure_report.h"

#include <windows.h>

#include <cstdio>

#include "com_text.h"
#include "program_texts.h"

namespace tavrix::win32 {

namespace {

bool reported = false;

}  // namespace

void reportFailureAndExit(const std::string& failure) {
    reported = true;
    MessageBoxW(nullptr, utf16Of(failure).c_str(), utf16Of(forms::applicationTitle).c_str(), MB_OK | MB_SETFOREGROUND);
    std::fflush(nullptr);
    ExitProcess(1);
}

bool failureReported() { return reported; }

}  // namespace tavrix::win32
