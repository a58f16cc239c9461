#include "cli/report_command.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "scan/utf16_text.h"
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
    if (options->request != ProgramRequest::run) {
        outcome.out = options->request == ProgramRequest::help ? ProgramOptions::help(Program::tavrixReport)
                                                               : ProgramOptions::version(Program::tavrixReport);
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
// Windows the C library's EINVAL (or EPIPE) over a pipe, the only way a write to one fails.
#ifdef _WIN32
bool outputWasClosed(int error, std::FILE* out) {
    return (error == EPIPE || error == EINVAL) &&
           GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)))) == FILE_TYPE_PIPE;
}

// Writes the text; to a console as UTF-16, so that it shows as UTF-8 text whatever the console's
// code page, else as its bytes.
bool writeText(const std::string& text, std::FILE* to) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to)));
    DWORD mode = 0;
    if (text.empty() || GetFileType(handle) != FILE_TYPE_CHAR || !GetConsoleMode(handle, &mode))
        return std::fwrite(text.data(), 1, text.size(), to) == text.size() && std::fflush(to) == 0;
    std::fflush(to);
    const std::wstring wide = utf16Of(text);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
}
#else
bool outputWasClosed(int error, std::FILE*) { return error == EPIPE; }

bool writeText(const std::string& text, std::FILE* to) {
    return std::fwrite(text.data(), 1, text.size(), to) == text.size() && std::fflush(to) == 0;
}
#endif

}  // namespace

int writeReportOutcome(const ReportOutcome& outcome, std::FILE* out, std::FILE* err) {
    int status = outcome.status;
    writeText(outcome.err, err);
    errno = 0;
    if (!writeText(outcome.out, out)) {
        const int error = errno;
        // A reader that has gone wants no more, as a POSIX tool ends on SIGPIPE: quietly.
        if (!outputWasClosed(error, out))
            std::fprintf(err, "tavrix-report: cannot write the report: %s\n", error != 0 ? std::strerror(error) : "write error");
        status = 1;
    }
    std::fflush(err);
    return status;
}

}  // namespace tavrix
