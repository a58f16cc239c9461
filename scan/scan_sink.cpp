#include "scan/scan_sink.h"

#include <array>

namespace tavrix {

std::string_view controlName(ValueLabel label) {
    static constexpr std::array<std::string_view, valueLabelCount> names = {
        "Label35", "Label36", "Label21", "Label22", "Label24", "Label25", "Label26", "Label27", "Label28",
        "Label41", "Label29", "Label30", "Label31", "Label32", "Label33", "Label34", "Label37",
    };
    return names.at(static_cast<std::size_t>(label));
}

std::string_view controlName(ModuleList list) {
    static constexpr std::array<std::string_view, 3> names = {"slotsLst", "memoryLst", "speedLst"};
    return names.at(static_cast<std::size_t>(list));
}

}  // namespace tavrix
