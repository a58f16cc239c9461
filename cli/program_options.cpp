#include "cli/program_options.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "scan/hardware_scan.h"
#include "scan/machine_file.h"
#include "scan/regular_file.h"

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
    std::string_view value;  // what the option takes, as the help names it; empty: nothing
    std::string_view help;
};

constexpr std::array<Option, 9> options{{
    {"--machine", false, "FILE", "answer the scan's queries from a machine file instead of this computer"},
    {"--dump", false, "FILE", "answer them from an SMBIOS table dump (dmidecode --dump-bin) alone"},
    {"--root", true, "DIR", "read /sys, /proc and /run/udev beneath DIR instead of /"},
    {"--save-machine", true, "FILE", "also save what the queries answered as a machine file"},
    {"--address", true, "", "print the lookup address instead of the report"},
    {"--window", true, "", "print what the main window shows, one Name=value line each"},
    {"--json", true, "", "print the whole scan as one JSON document"},
    {"--help", false, "", "print this help and exit"},
    {"--version", false, "", "print the program's name and version and exit"},
}};

const char* programName(Program program) { return program == Program::tavrix ? "tavrix" : "tavrix-report"; }

bool offeredBy(const Option& option, Program program) {
    return !(option.reportOnly && program == Program::tavrix) && (option.name != "--root" || rootAvailable);
}

// The option an argument names; Windows' "/?" is --help.
const Option* optionNamed(std::string_view argument, Program program) {
#ifdef _WIN32
    if (argument == "/?") argument = "--help";
#endif
    const auto option = std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.name == argument; });
    if (option == options.end() || (option->reportOnly && program == Program::tavrix)) return nullptr;
    return &*option;
}

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

std::string ProgramOptions::help(Program program) {
    std::string text = usage(program) + "\n";
    const auto line = [&text](std::string name, std::string_view what) {
        name.resize(std::max<std::size_t>(name.size() + 2, 21), ' ');
        text += "  " + name + std::string(what) + "\n";
    };
    for (const Option& option : options) {
        if (offeredBy(option, program))
            line(std::string(option.name) + (option.value.empty() ? "" : " ") + std::string(option.value), option.help);
    }
#ifdef _WIN32
    line("/?", "the same as --help");
#else
    if (program == Program::tavrix) text += "Qt's own options (-platform, -display, ...) work as usual.\n";
#endif
    return text;
}

std::string ProgramOptions::version(Program program) { return std::string(programName(program)) + " " TAVRIX_VERSION "\n"; }

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
        const Option* option = optionNamed(argument, program);
        if (!option) return fail("unknown argument: " + shownValue(argument, false));
        if (option->name == "--help" || option->name == "--version") {
            parsed.request = option->name == "--help" ? ProgramRequest::help : ProgramRequest::version;
            return parsed;
        }
        if (option->name == "--root" && !rootAvailable)
            return fail("--root is an option of the Linux program; on Windows the scan reads WMI, which has no root");
        if (std::find(given.begin(), given.end(), option->name) != given.end())
            return fail(argument + " is given twice");
        given.push_back(option->name);
        std::string value;
        if (!option->value.empty()) {
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
