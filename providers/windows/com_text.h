#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace tavrix {

// An owned BSTR made from UTF-8 text, freed when destroyed.
class ComText {
public:
    explicit ComText(std::string_view utf8);
    ComText(const ComText&) = delete;
    ComText& operator=(const ComText&) = delete;
    ~ComText();

    BSTR get() const { return text_; }

private:
    BSTR text_ = nullptr;
};

// UTF-16 text (a BSTR with its own length, embedded NULs kept) as UTF-8; an unpaired surrogate
// becomes U+FFFD, a null BSTR the empty text.
std::string utf8Of(BSTR text);

// UTF-8 text as UTF-16; invalid sequences become U+FFFD.
std::wstring utf16Of(std::string_view utf8);

}  // namespace tavrix
