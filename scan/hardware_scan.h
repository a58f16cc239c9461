#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scan/machine_description.h"
#include "scan/management_query.h"
#include "scan/scan_values.h"
#include "scan/text_form.h"

namespace tavrix {

class ScanSink;

inline constexpr const char* lookupBaseAddress = "http://www.quorvane.com";

// The moniker of the local computer's root\cimv2 namespace, built from its four pieces.
std::string localMoniker();

// The classes the scan queries, in its order, with the properties it reads of each: all that a
// machine file must keep for it, and the spelling a saved machine file gives each name.
const std::vector<ClassProperties>& scannedClasses();

// The hardware scan of one main window: its values, its connection and its lookup address,
// which stay for the window's lifetime.
class HardwareScan {
public:
    HardwareScan(ManagementProvider& provider, ScanSink& sink, TextForm textForm = TextForm());

    // Runs the whole scan and returns "Success". Throws ScanError at the failing step, keeping
    // what was written before it. A second call continues the count and the accumulated texts.
    std::string getTavrix();

    ScanValues& values() { return values_; }
    const ScanValues& values() const { return values_; }
    const std::string& lookupAddress() const { return lookupAddress_; }

private:
    void readComputerSystem();
    void readMemoryArrays();
    void readModules();
    void readProcessors();
    void readBios();
    void readProduct();
    void readBaseboard();
    void showValues();

    ManagementProvider& provider_;
    ScanSink& sink_;
    TextForm text_;
    ScanValues values_;
    std::unique_ptr<ManagementConnection> connection_;
    std::string lookupAddress_;
};

}  // namespace tavrix
