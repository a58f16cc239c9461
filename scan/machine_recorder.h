#pragma once

#include <memory>
#include <string>

#include "scan/machine_description.h"
#include "scan/management_query.h"

namespace tavrix {

// A provider that passes every call to another one and keeps what it answered: one row per row
// visited, under the queried class, with each property read that was not absent, in the order read
// and under WMI's spelling of the names the scan reads.
class MachineRecorder : public ManagementProvider {
public:
    explicit MachineRecorder(ManagementProvider& provider);
    ~MachineRecorder() override;

    std::unique_ptr<ManagementConnection> openConnection(const std::string& moniker) override;

    // What the provider answered so far; valid while the recorder lives.
    const MachineDescription& recorded() const;

private:
    ManagementProvider& provider_;
    std::shared_ptr<MachineDescription> recorded_;
};

}  // namespace tavrix
