#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "management_query.h"

namespace tavrix {

// `tavrix [--machine FILE | --dump FILE]`: where the window's scan takes its answers from, this
// computer unless one of them is given. Qt's own arguments are taken out before these are parsed.
struct ProgramOptions {
    std::string machineFile;  // --machine: a machine file; empty when not given
    std::string dumpFile;     // --dump: a `dmidecode --dump-bin` file; empty when not given

    static constexpr const char* usage = "usage: tavrix [Qt options] [--machine FILE | --dump FILE]";

    // The options, or nullopt after writing why to error (a usage error).
    static std::optional<ProgramOptions> parse(const std::vector<std::string>& arguments, std::string& error);

    // The provider for the scan. A named file is read and checked here, before any window, and
    // throws ScanError with the message tavrix-report gives for it.
    std::unique_ptr<ManagementProvider> provider() const;
};

}  // namespace tavrix
