#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrix {

// True when the texts are equal, the letters A to Z matching a to z and every other byte only itself.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// A hash that is the same for texts equal without regard to ASCII case.
std::uint64_t caseBlindHash(std::string_view text);

// The text with every byte outside printable ASCII (0x20 to 0x7E) shown as ".".
std::string printable(std::string_view text);

}  // namespace tavrix
