// tavrix.exe: the disclaimer, the scanning splash and the main window as native Win32 windows over
// the WMI scan. No arguments.
#include <ole2.h>
#include <windows.h>

#include <exception>

#include "browser_host.h"
#include "failure_report.h"
#include "message_loop.h"
#include "platform_provider.h"
#include "program_windows.h"

int main() {
    if (FAILED(OleInitialize(nullptr))) tavrix::win32::reportFailureAndExit("OLE cannot be initialised");
    tavrix::win32::useCurrentDocumentMode();
    int status = 0;
    try {
        const auto provider = tavrix::makePlatformProvider();
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
