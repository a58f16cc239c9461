#pragma once

#include <string>
#include <string_view>

namespace tavrix {

// The three module lists of the main window.
enum class ModuleList { slotsLst, memoryLst, speedLst };

// The seventeen value labels of the main window, named by what they show, in the order the scan
// sets their captions; value_table.h gives each one's control name, caption and texts.
enum class ValueLabel {
    installedMemory,
    maximumMemory,
    systemManufacturer,
    systemModel,
    systemVersion,
    identifyingNumber,
    systemType,
    processor,
    processorManufacturer,
    processorSpeed,
    processorFsb,
    motherboardManufacturer,
    motherboardModel,
    biosManufacturer,
    biosVersion,
    memoryManufacturer,
    memorySlots,
};

inline constexpr int valueLabelCount = 17;

// The control's name as the layout gives it, such as "slotsLst".
std::string_view controlName(ValueLabel label);
std::string_view controlName(ModuleList list);

// What the scan shows: the main window, or anything standing in for it.
class ScanSink {
public:
    virtual ~ScanSink() = default;
    virtual void clearList(ModuleList list) = 0;
    virtual void appendRow(ModuleList list, const std::string& row) = 0;
    virtual void setCaption(ValueLabel label, const std::string& caption) = 0;
    // Starts loading the address in the embedded browser; returns without waiting for the page.
    // Throws ScanError when the address cannot be loaded.
    virtual void navigate(const std::string& address) = 0;
};

}  // namespace tavrix
