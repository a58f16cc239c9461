// tavrix.exe: the disclaimer, the scanning splash and the main window as native Win32 windows over
// the WMI scan or, with --machine FILE or --dump FILE, over a machine file or a table dump.
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "cli/program_arguments.h"
#include "cli/program_options.h"
#include "forms/program_texts.h"
#include "providers/platform_provider.h"
#include "scan/utf16_text.h"
#include "ui/win32/browser_host.h"
#include "ui/win32/failure_report.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/program_windows.h"

namespace {

// --help, --version and /?: the text on standard output and in a message box, then status 0.
[[noreturn]] void answerAndExit(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    MessageBoxW(nullptr, tavrix::utf16Of(text).c_str(), tavrix::utf16Of(tavrix::forms::applicationTitle).c_str(),
                MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    ExitProcess(0);
}

}  // namespace

int main() {
    using tavrix::Program;
    using tavrix::ProgramOptions;
    using tavrix::ProgramRequest;
    std::string usageError;
    const auto options = ProgramOptions::parse(Program::tavrix, tavrix::programArguments(), usageError);
    // The box says it without the program's name, which standard error's line puts first.
    if (!options)
        tavrix::win32::reportFailureAndExit(
            usageError.substr(usageError.find(": ") + 2) + "\n" + ProgramOptions::usage(Program::tavrix), 2);
    if (options->request == ProgramRequest::help) answerAndExit(ProgramOptions::help(Program::tavrix));
    if (options->request == ProgramRequest::version) answerAndExit(ProgramOptions::version(Program::tavrix));
    // Held while the program runs, so that the uninstaller can tell; the system releases it at exit.
    CreateMutexW(nullptr, FALSE, L"Quorvane.Tavrix.Running");
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
