#pragma once

#include <array>
#include <string>
#include <vector>

#include "scan/scan_sink.h"

namespace tavrix {

// A sink that keeps what the scan shows: captions, list rows and the address it navigated to.
class RecordingSink : public ScanSink {
public:
    void clearList(ModuleList list) override;
    void appendRow(ModuleList list, const std::string& row) override;
    void setCaption(ValueLabel label, const std::string& caption) override;
    void navigate(const std::string& address) override;

    const std::string& caption(ValueLabel label) const;
    const std::vector<std::string>& rows(ModuleList list) const;
    // The navigated addresses, the first scan's first.
    const std::vector<std::string>& navigations() const { return navigations_; }

    // One "Name=value" line per item, each ending in LF: the captions in the order the scan sets
    // them, then the rows of slotsLst, memoryLst and speedLst.
    std::string windowText() const;

private:
    std::array<std::string, valueLabelCount> captions_;
    std::array<std::vector<std::string>, 3> rows_;
    std::vector<std::string> navigations_;
};

}  // namespace tavrix
