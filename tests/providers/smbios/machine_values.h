#pragma once

// Reading a provider's rows in tests: one value as text, and a list of expected values.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "scan/machine_description.h"

namespace tavrix::testing {

// A value as text: numbers as "#N", absent as "<absent>", a missing row as "<no row>".
inline std::string value(const MachineDescription& machine, const std::string& className, std::size_t row,
                         const std::string& name) {
    const auto rows = machine.rowsOf("Win32_" + className);
    if (row >= rows.size()) return "<no row>";
    const ProviderValue v = rows[row]->readProperty(name);
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* n = std::get_if<std::int64_t>(&v)) return "#" + std::to_string(*n);
    return "<absent>";
}

struct Want {
    const char* className;  // without "Win32_"
    std::size_t row;
    const char* property;
    std::string value;
};

inline void expectValues(const MachineDescription& machine, std::initializer_list<Want> wants) {
    for (const Want& w : wants)
        EXPECT_EQ(value(machine, w.className, w.row, w.property), w.value) << w.className << w.row << "." << w.property;
}

}  // namespace tavrix::testing
