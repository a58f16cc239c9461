#include "cli/program_options.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "scan/hardware_scan.h"
#include "scan/machine_file.h"

namespace tavrix {

namespace {

#ifdef _WIN32
constexpr bool rootAvailable = false;
#else
constexpr bool rootAvailable = true;
#endif

struct Option {
    std::string_view name;
    bool reportOnly;
    bool takesValue;
};

constexpr std::array<Option, 7> options{{
    {"--machine", false, true},
    {"--dump", false, true},
    {"--root", true, true},
    {"--save-machine", true, true},
    {"--address", true, false},
    {"--window", true, false},
    {"--json", true, false},
}};

const char* programName(Program program) { return program == Program::tavrix ? "tavrix" : "tavrix-report"; }

}  // namespace

std::string ProgramOptions::usage(Program program) {
    if (program == Program::tavrix) {
#ifdef _WIN32
        return "usage: tavrix [--machine FILE | --dump FILE]";
#else
        return "usage: tavrix [Qt options] [--machine FILE | --dump FILE]";
#endif
    }
    return std::string("usage: tavrix-report [--machine FILE] [--dump FILE]") + (rootAvailable ? " [--root DIR]" : "") +
           " [--save-machine FILE] [--address | --window | --json]";
}

std::optional<ProgramOptions> ProgramOptions::parse(Program program, const std::vector<std::string>& arguments,
                                                    std::string& error) {
    const std::string prefix = std::string(programName(program)) + ": ";
    auto fail = [&](const std::string& why) {
        error = prefix + why;
        return std::nullopt;
    };
    ProgramOptions parsed;
    std::vector<std::string_view> given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto option = std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.name == argument; });
        if (option == options.end() || (option->reportOnly && program == Program::tavrix))
            return fail("unknown argument: " + argument);
        if (option->name == "--root" && !rootAvailable)
            return fail("--root is an option of the Linux program; on Windows the scan reads WMI, which has no root");
        if (std::find(given.begin(), given.end(), option->name) != given.end())
            return fail(argument + " is given twice");
        given.push_back(option->name);
        std::string value;
        if (option->takesValue) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return fail(argument + " needs a value");
            value = arguments[++i];
        }
        if (option->name == "--machine") parsed.machineFile = value;
        if (option->name == "--dump") parsed.sources.dumpFile = value;
        if (option->name == "--root") parsed.sources.root = value;
        if (option->name == "--save-machine") parsed.saveMachine = value;
        if (option->name == "--address" || option->name == "--window" || option->name == "--json") {
            if (parsed.output != ReportOutput::report) return fail("--address, --window and --json exclude each other");
            parsed.output = option->name == "--address"  ? ReportOutput::address
                            : option->name == "--window" ? ReportOutput::window
                                                         : ReportOutput::json;
        }
    }
    auto has = [&given](std::string_view name) { return std::find(given.begin(), given.end(), name) != given.end(); };
    if (has("--machine") && has("--dump")) return fail("--machine excludes --dump");
    if (has("--machine") && has("--root")) return fail("--machine excludes --root");
    if (has("--dump") && has("--root")) return fail("--dump excludes --root: a dump is answered from its tables alone");
    return parsed;
}

std::unique_ptr<ManagementProvider> ProgramOptions::provider(WarningSink warn) const {
    if (!machineFile.empty()) return makeMachineFileProvider(machineFile);
    if (sources.dumpFile.empty()) return makePlatformProvider(sources, std::move(warn));
    return makePlatformSnapshot(sources, std::move(warn));
}

}  // namespace tavrix
