#include "providers/platform_provider.h"

#include "providers/linux/linux_hardware.h"

namespace tavrix {

namespace {

// Reads this computer afresh for every connection, as WMI answers live.
class LinuxProvider : public ManagementProvider {
public:
    LinuxProvider(PlatformSources sources, WarningSink warn) : sources_(std::move(sources)), warn_(std::move(warn)) {}

    std::unique_ptr<ManagementConnection> openConnection(const std::string&) override {
        const LinuxHardware hardware = LinuxHardware::read(sources_);
        if (warn_) {
            for (const auto& warning : hardware.warnings) warn_(warning);
        }
        return std::make_unique<DescriptionConnection>(std::make_shared<const MachineDescription>(hardware.describe()));
    }

private:
    PlatformSources sources_;
    WarningSink warn_;
};

}  // namespace

std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources& sources, WarningSink warn) {
    return std::make_unique<LinuxProvider>(sources, std::move(warn));
}

}  // namespace tavrix

namespace tavrix {

std::unique_ptr<ManagementProvider> makePlatformSnapshot(const PlatformSources& sources, WarningSink warn) {
    const LinuxHardware hardware = LinuxHardware::read(sources);
    if (warn) {
        for (const auto& warning : hardware.warnings) warn(warning);
    }
    return std::make_unique<DescriptionProvider>(hardware.describe());
}

TextForm userTextForm() { return TextForm::fromCurrentLocale(); }

}  // namespace tavrix
