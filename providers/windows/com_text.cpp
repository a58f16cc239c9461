#include "providers/windows/com_text.h"

#include <windows.h>

#include <new>

namespace tavrix {

std::string utf8Of(BSTR text) { return utf8Of(std::wstring_view(text, SysStringLen(text))); }

ComText::ComText(std::string_view utf8) {
    const std::wstring wide = utf16Of(utf8);
    text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (text_ == nullptr) throw std::bad_alloc();
}

ComText::~ComText() { SysFreeString(text_); }

}  // namespace tavrix
