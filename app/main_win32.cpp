// tavrix.exe: the disclaimer, the scanning splash and the main window as native Win32 windows over
// the WMI scan or, with --machine FILE or --dump FILE, over a machine file or a table dump.
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "cli/program_options.h"
#include "providers/platform_provider.h"
#include "ui/win32/browser_host.h"
#include "ui/win32/failure_report.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/program_windows.h"

int main(int argc, char** argv) {
    using tavrix::Program;
    using tavrix::ProgramOptions;
    std::string usageError;
    const auto options = ProgramOptions::parse(Program::tavrix, std::vector<std::string>(argv + 1, argv + argc), usageError);
    // The box says it without the program's name, which standard error's line puts first.
    if (!options)
        tavrix::win32::reportFailureAndExit(
            usageError.substr(usageError.find(": ") + 2) + "\n" + ProgramOptions::usage(Program::tavrix), 2);
    if (FAILED(OleInitialize(nullptr))) tavrix::win32::reportFailureAndExit("OLE cannot be initialised");
    tavrix::win32::useCurrentDocumentMode();
    int status = 0;
    try {
        const auto provider = options->provider([](const std::string& warning) {
            std::fprintf(stderr, "tavrix: warning: %s\n", warning.c_str());
        });
        bool ended = false;
        tavrix::win32::ProgramWindows windows(*provider, tavrix::win32::systemDesktopServices(), tavrix::userTextForm(),
                                              [&ended] { ended = true; });
        windows.flow().start();
        status = tavrix::win32::runMessageLoop([&ended] { return ended; }, [&windows] { windows.collectUnloaded(); });
    } catch (const std::exception& failure) {
        tavrix::win32::reportFailureAndExit(failure);
    }
    OleUninitialize();
    return status;
}
