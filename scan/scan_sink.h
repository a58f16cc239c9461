#pragma once

#include <string>
#include <string_view>

namespace tavrix {

// The three module lists of the main window.
enum class ModuleList { slotsLst, memoryLst, speedLst };

// The seventeen value labels of the main window, in the order the scan sets their captions.
enum class ValueLabel {
    Label35, Label36, Label21, Label22, Label24, Label25, Label26, Label27, Label28,
    Label41, Label29, Label30, Label31, Label32, Label33, Label34, Label37,
};

inline constexpr int valueLabelCount = 17;

// The control's name, such as "Label35" or "slotsLst".
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
    virtual void navigate(const std::string& address) = 0;
};

}  // namespace tavrix
