#include "platform_provider.h"

#include "wmi_provider.h"

namespace tavrix {

// On Windows the scan asks WMI; the sources only point the Linux provider at its files.
std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources&, WarningSink) {
    return std::make_unique<WmiProvider>();
}

}  // namespace tavrix

namespace tavrix {

// WMI needs no privilege worth giving up: it is asked live, as ever.
std::unique_ptr<ManagementProvider> makePlatformSnapshot(const PlatformSources& sources, WarningSink warn) {
    return makePlatformProvider(sources, std::move(warn));
}

}  // namespace tavrix
