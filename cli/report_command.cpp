#include "report_command.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>

#include "hardware_scan.h"
#include "machine_file.h"
#include "machine_file_writer.h"
#include "machine_recorder.h"
#include "platform_provider.h"
#include "recording_sink.h"
#include "report_json.h"

namespace tavrix {

namespace {

constexpr const char* usage = "usage: tavrix-report [--machine FILE] [--dump FILE] [--root DIR] [--save-machine FILE] [--address | --window | --json]";

enum class Output { report, address, window, json };

struct Options {
    std::string machineFile;
    std::string saveMachine;  // where to write what the queries answered; empty: nowhere
    PlatformSources sources;
    Output output = Output::report;
};

// Parses the arguments into options; returns false (after writing why to err) on a usage error.
bool parseArguments(const std::vector<std::string>& arguments, Options& options, std::string& err) {
    bool outputChosen = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto valueOf = [&](std::string& target) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                err += "tavrix-report: " + argument + " needs a value\n";
                return false;
            }
            target = arguments[++i];
            return true;
        };
        if (argument == "--machine") {
            if (!valueOf(options.machineFile)) return false;
        } else if (argument == "--dump") {
            if (!valueOf(options.sources.dumpFile)) return false;
        } else if (argument == "--save-machine") {
            if (!valueOf(options.saveMachine)) return false;
        } else if (argument == "--root") {
            if (!valueOf(options.sources.root)) return false;
        } else if (argument == "--address" || argument == "--window" || argument == "--json") {
            if (outputChosen) {
                err += "tavrix-report: --address, --window and --json exclude each other\n";
                return false;
            }
            outputChosen = true;
            options.output = argument == "--address" ? Output::address
                             : argument == "--window" ? Output::window
                                                      : Output::json;
        } else {
            err += "tavrix-report: unknown argument: " + argument + "\n";
            return false;
        }
    }
    if (!options.machineFile.empty() && (!options.sources.dumpFile.empty() || options.sources.root != "/")) {
        err += "tavrix-report: --machine excludes --dump and --root\n";
        return false;
    }
    return true;
}

}  // namespace

ReportOutcome runReportCommand(const std::vector<std::string>& arguments) {
    ReportOutcome outcome;
    std::string& err = outcome.err;
    Options options;
    if (!parseArguments(arguments, options, err)) {
        err += std::string(usage) + "\n";
        outcome.status = 2;
        return outcome;
    }
    const WarningSink warn = [&err](const std::string& warning) { err += "tavrix-report: warning: " + warning + "\n"; };
    try {
        std::unique_ptr<ManagementProvider> provider = options.machineFile.empty()
                                                           ? makePlatformProvider(options.sources, warn)
                                                           : makeMachineFileProvider(options.machineFile);
        MachineRecorder recorder(*provider);
        RecordingSink sink;
        const bool record = !options.saveMachine.empty() || options.output == Output::json;
        HardwareScan scan(record ? recorder : *provider, sink, userTextForm());
        scan.getTavrix();
        if (!options.saveMachine.empty()) MachineFileWriter::save(recorder.recorded(), options.saveMachine);
        switch (options.output) {
        case Output::report: outcome.out = scan.values().reportText; break;
        case Output::address: outcome.out = scan.lookupAddress() + "\n"; break;
        case Output::window: outcome.out = sink.windowText(); break;
        case Output::json: outcome.out = reportJson(scan, sink, recorder.recorded(), TAVRIX_VERSION); break;
        }
    } catch (const std::exception& failure) {
        err += "tavrix-report: " + std::string(failure.what()) + "\n";
        outcome.status = 1;
    }
    return outcome;
}

int writeReportOutcome(const ReportOutcome& outcome, std::FILE* out, std::FILE* err) {
    int status = outcome.status;
    std::fwrite(outcome.err.data(), 1, outcome.err.size(), err);
    errno = 0;
    if (std::fwrite(outcome.out.data(), 1, outcome.out.size(), out) != outcome.out.size() || std::fflush(out) != 0) {
        const int error = errno;
        std::fprintf(err, "tavrix-report: cannot write the report: %s\n", error != 0 ? std::strerror(error) : "write error");
        status = 1;
    }
    std::fflush(err);
    return status;
}

}  // namespace tavrix
