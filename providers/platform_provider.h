#pragma once

#include <memory>
#include <string>

#include "management_query.h"
#include "text_form.h"

namespace tavrix {

// Where the platform provider reads this computer's description.
struct PlatformSources {
    std::string root = "/";  // every system path is read under this directory
    std::string dumpFile;    // a `dmidecode --dump-bin` file to read the SMBIOS tables from; empty: the live tables
};

// The provider that scans this computer: WMI on Windows, the SMBIOS tables, /proc and /sys on Linux.
std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources& sources = {});

// The text form of the user's regional settings: on Windows the decimal separator the user chose
// (Windows keeps it per user), elsewhere the C library's locale (after setlocale(LC_ALL, "")).
TextForm userTextForm();

}  // namespace tavrix
