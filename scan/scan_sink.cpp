#include "scan/scan_sink.h"

#include <array>

#include "scan/value_table.h"

namespace tavrix {

std::string_view controlName(ValueLabel label) { return valueEntry(label).labelName; }

std::string_view controlName(ModuleList list) {
    static constexpr std::array<std::string_view, 3> names = {"slotsLst", "memoryLst", "speedLst"};
    return names.at(static_cast<std::size_t>(list));
}

}  // namespace tavrix
