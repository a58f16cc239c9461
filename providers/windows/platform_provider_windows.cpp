#include "platform_provider.h"

#include <windows.h>

#include "com_text.h"
#include "wmi_provider.h"

namespace tavrix {

// On Windows the scan asks WMI; the sources only point the Linux provider at its files.
std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources&, WarningSink) {
    return std::make_unique<WmiProvider>();
}

// The user's own separator from the regional settings; "." when none can be read.
TextForm userTextForm() {
    wchar_t separator[LOCALE_NAME_MAX_LENGTH] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, LOCALE_NAME_MAX_LENGTH);
    if (length <= 1) return TextForm(".");
    BSTR text = SysAllocStringLen(separator, static_cast<UINT>(length - 1));
    std::string utf8 = utf8Of(text);
    SysFreeString(text);
    return TextForm(utf8);
}

}  // namespace tavrix

namespace tavrix {

// WMI needs no privilege worth giving up: it is asked live, as ever.
std::unique_ptr<ManagementProvider> makePlatformSnapshot(const PlatformSources& sources, WarningSink warn) {
    return makePlatformProvider(sources, std::move(warn));
}

}  // namespace tavrix
