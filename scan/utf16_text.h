#pragma once

#include <string>
#include <string_view>

namespace tavrix {

// Text between UTF-8, the program's own, and UTF-16, Windows' (Windows only).

// UTF-8 text as UTF-16; invalid sequences become U+FFFD.
std::wstring utf16Of(std::string_view utf8);

// UTF-16 text (embedded NULs kept) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8Of(std::wstring_view utf16);

}  // namespace tavrix
