#pragma once

#include <memory>
#include <string>

#include "scan/management_query.h"

namespace tavrix {

// Windows Management Instrumentation through its scripting interface (ISWbemServices), reached
// by moniker. Each connection initialises COM for the calling thread and must be used, with its
// result sets and rows, on that thread. A property the class does not have reads as absent;
// every other COM failure throws ManagementServiceError naming the call and its HRESULT.
class WmiProvider : public ManagementProvider {
public:
    std::unique_ptr<ManagementConnection> openConnection(const std::string& moniker) override;
};

}  // namespace tavrix
