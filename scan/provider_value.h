#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace tavrix {

// A property the provider did not report.
struct Absent {
    bool operator==(const Absent&) const = default;
};

// One property of one row as a provider reports it: absent, a text, or a whole number.
using ProviderValue = std::variant<Absent, std::string, std::int64_t>;

inline bool isAbsent(const ProviderValue& value) { return std::holds_alternative<Absent>(value); }

}  // namespace tavrix
