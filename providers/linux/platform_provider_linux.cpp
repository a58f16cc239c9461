#include "platform_provider.h"

#include "linux_hardware.h"

namespace tavrix {

namespace {

// Reads this computer afresh for every connection, as WMI answers live.
class LinuxProvider : public ManagementProvider {
public:
    explicit LinuxProvider(PlatformSources sources) : sources_(std::move(sources)) {}

    std::unique_ptr<ManagementConnection> openConnection(const std::string&) override {
        return std::make_unique<DescriptionConnection>(
            std::make_shared<const MachineDescription>(LinuxHardware::read(sources_).describe()));
    }

private:
    PlatformSources sources_;
};

}  // namespace

std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources& sources) {
    return std::make_unique<LinuxProvider>(sources);
}

TextForm userTextForm() { return TextForm::fromCurrentLocale(); }

}  // namespace tavrix
