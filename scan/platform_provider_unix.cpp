#include "platform_provider.h"

#include "scan_error.h"

namespace tavrix {

namespace {

class UnavailableProvider : public ManagementProvider {
public:
    std::unique_ptr<ManagementConnection> openConnection(const std::string&) override {
        throw ScanError("this computer cannot be scanned yet: use --machine FILE");
    }
};

}  // namespace

std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources&) {
    return std::make_unique<UnavailableProvider>();
}

}  // namespace tavrix
