#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "cli/program_arguments.h"
#else
#include <csignal>
#endif

#include "cli/report_command.h"

int main(int argc, char** argv) {
    // Only the decimal separator follows the user's regional settings.
    std::setlocale(LC_NUMERIC, "");
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // the report's CR LF must reach the output unchanged
    (void)argc, (void)argv;                // the UTF-16 command line holds what the ANSI one cannot
    const std::vector<std::string> arguments = tavrix::programArguments();
#else
    // A file-size limit then fails the write with a message, and the half-written file is removed.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#endif
    return tavrix::writeReportOutcome(tavrix::runReportCommand(arguments), stdout, stderr);
}
