#include "cli/report_command.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/program_options.h"
#include "cli/report_json.h"
#include "scan/hardware_scan.h"
#include "scan/machine_file_writer.h"
#include "scan/machine_recorder.h"
#include "scan/recording_sink.h"

namespace tavrix {

ReportOutcome runReportCommand(const std::vector<std::string>& arguments) {
    ReportOutcome outcome;
    std::string& err = outcome.err;
    std::string usageError;
    const std::optional<ProgramOptions> options = ProgramOptions::parse(Program::tavrixReport, arguments, usageError);
    if (!options) {
        err += usageError + "\n" + ProgramOptions::usage(Program::tavrixReport) + "\n";
        outcome.status = 2;
        return outcome;
    }
    const WarningSink warn = [&err](const std::string& warning) { err += "tavrix-report: warning: " + warning + "\n"; };
    try {
        const std::unique_ptr<ManagementProvider> provider = options->provider(warn);
        MachineRecorder recorder(*provider);
        RecordingSink sink;
        const bool record = !options->saveMachine.empty() || options->output == ReportOutput::json;
        HardwareScan scan(record ? recorder : *provider, sink, userTextForm());
        scan.getTavrix();
        if (!options->saveMachine.empty()) MachineFileWriter::save(recorder.recorded(), options->saveMachine);
        switch (options->output) {
        case ReportOutput::report: outcome.out = scan.values().reportText; break;
        case ReportOutput::address: outcome.out = scan.lookupAddress() + "\n"; break;
        case ReportOutput::window: outcome.out = sink.windowText(); break;
        case ReportOutput::json: outcome.out = reportJson(scan, sink, recorder.recorded(), TAVRIX_VERSION); break;
        }
    } catch (const std::exception& failure) {
        err += "tavrix-report: " + std::string(failure.what()) + "\n";
        outcome.status = 1;
    }
    return outcome;
}

namespace {

// Whether a write failed because the reader closed the output (a pipe into `head`): EPIPE, or on
// Windows the C library's EINVAL over a pipe that has no reader any more (Windows says
// ERROR_NO_DATA, Wine ERROR_PIPE_NOT_CONNECTED).
#ifdef _WIN32
bool outputWasClosed(int error, unsigned long systemError) {
    return (error == EPIPE || error == EINVAL) && (systemError == ERROR_NO_DATA || systemError == ERROR_BROKEN_PIPE ||
                                                   systemError == ERROR_PIPE_NOT_CONNECTED);
}
unsigned long lastSystemError() { return GetLastError(); }
#else
bool outputWasClosed(int error, unsigned long) { return error == EPIPE; }
unsigned long lastSystemError() { return 0; }
#endif

}  // namespace

int writeReportOutcome(const ReportOutcome& outcome, std::FILE* out, std::FILE* err) {
    int status = outcome.status;
    std::fwrite(outcome.err.data(), 1, outcome.err.size(), err);
    errno = 0;
    if (std::fwrite(outcome.out.data(), 1, outcome.out.size(), out) != outcome.out.size() || std::fflush(out) != 0) {
        const int error = errno;
        const unsigned long systemError = lastSystemError();
        const char* reason = outputWasClosed(error, systemError) ? "the output was closed"
                             : error != 0                         ? std::strerror(error)
                                                                  : "write error";
        std::fprintf(err, "tavrix-report: cannot write the report: %s\n", reason);
        status = 1;
    }
    std::fflush(err);
    return status;
}

}  // namespace tavrix
