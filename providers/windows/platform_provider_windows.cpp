#include "providers/platform_provider.h"

#include <windows.h>

#include "providers/smbios/smbios_classes.h"
#include "providers/windows/com_text.h"
#include "providers/windows/wmi_provider.h"

namespace tavrix {

// On Windows the scan asks WMI, or a table dump's tables alone, decoded as on Linux (read now, so
// that a bad dump fails before any window). The root is a Linux option the command line refuses.
std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources& sources, WarningSink warn) {
    if (sources.dumpFile.empty()) return std::make_unique<WmiProvider>();
    std::vector<std::string> warnings;
    const SmbiosTable tables = SmbiosTable::readDump(sources.dumpFile, warnings);
    if (warn) {
        for (const auto& warning : warnings) warn(warning);
    }
    return std::make_unique<DescriptionProvider>(describeTables(tables));
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
