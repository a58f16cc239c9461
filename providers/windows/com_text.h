#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "scan/utf16_text.h"

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

}  // namespace tavrix
