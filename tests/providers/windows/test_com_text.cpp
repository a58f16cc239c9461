#include <gtest/gtest.h>

#include "providers/windows/com_text.h"

namespace {

using tavrix::ComText;
using tavrix::utf8Of;

TEST(ComText, KeepsEveryCharacterThroughUtf16AndBack) {
    for (const std::string& text : {std::string("Select * from Win32_Bios"), std::string("Müller ™ Σ 🙂"),
                                   std::string("DIMM\0A", 6), std::string()}) {
        ComText wide(text);
        EXPECT_EQ(SysStringLen(wide.get()), tavrix::utf16Of(text).size());
        EXPECT_EQ(utf8Of(wide.get()), text);
    }
}

TEST(ComText, NullTextAndUnpairedSurrogatesGiveSoundText) {
    EXPECT_EQ(utf8Of(nullptr), "");
    const wchar_t lone[] = {L'A', 0xD800, L'B'};
    BSTR broken = SysAllocStringLen(lone, 3);
    EXPECT_EQ(utf8Of(broken), "A\xEF\xBF\xBD" "B");
    SysFreeString(broken);
}

}  // namespace
