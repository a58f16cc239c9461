#include "program_options.h"

#include "hardware_scan.h"
#include "machine_file.h"
#include "platform_provider.h"

namespace tavrix {

std::optional<ProgramOptions> ProgramOptions::parse(const std::vector<std::string>& arguments, std::string& error) {
    ProgramOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument != "--machine" && argument != "--dump") {
            error = "tavrix: unknown argument: " + argument;
            return std::nullopt;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            error = "tavrix: " + argument + " needs a value";
            return std::nullopt;
        }
        (argument == "--machine" ? options.machineFile : options.dumpFile) = arguments[++i];
    }
    if (!options.machineFile.empty() && !options.dumpFile.empty()) {
        error = "tavrix: --machine excludes --dump";
        return std::nullopt;
    }
    return options;
}

std::unique_ptr<ManagementProvider> ProgramOptions::provider() const {
    if (!machineFile.empty()) return makeMachineFileProvider(machineFile);
    PlatformSources sources;
    sources.dumpFile = dumpFile;
    auto platform = makePlatformProvider(sources);
    if (!dumpFile.empty())
        platform->openConnection(localMoniker());  // reads the tables now, to fail before the windows
    return platform;
}

}  // namespace tavrix
