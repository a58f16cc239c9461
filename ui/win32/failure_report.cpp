#include "ui/win32/failure_report.h"

#include <windows.h>

#include <cstdio>

#include "forms/program_texts.h"
#include "providers/windows/com_failure.h"
#include "scan/utf16_text.h"

namespace tavrix::win32 {

namespace {

bool reported = false;

}  // namespace

std::string failureReportText(const std::exception& failure) {
    if (dynamic_cast<const ManagementServiceError*>(&failure))
        return std::string(
                   "The hardware details could not be read from this computer's management service (WMI).\r\n") +
               failure.what();
    return failure.what();
}

void reportFailureAndExit(const std::exception& failure) { reportFailureAndExit(failureReportText(failure)); }

void reportFailureAndExit(const std::string& failure, int status) {
    reported = true;
    std::fprintf(stderr, "tavrix: %s\n", failure.c_str());
    MessageBoxW(nullptr, utf16Of(failure).c_str(), utf16Of(forms::applicationTitle).c_str(), MB_OK | MB_SETFOREGROUND);
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(status));
}

bool failureReported() { return reported; }

}  // namespace tavrix::win32
