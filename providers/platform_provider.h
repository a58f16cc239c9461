#pragma once

#include <functional>
#include <memory>
#include <string>

#include "scan/management_query.h"
#include "scan/text_form.h"

namespace tavrix {

// Where the platform provider reads this computer's description.
struct PlatformSources {
    std::string root = "/";  // every system path is read under this directory
    std::string dumpFile;    // a `dmidecode --dump-bin` file to read the SMBIOS tables from; empty: the live tables
};

// Told of each source that was damaged or refused while the scan went on without it.
using WarningSink = std::function<void(const std::string&)>;

// The provider that scans this computer: WMI on Windows, the SMBIOS tables, /proc and /sys on Linux.
// warn may be empty.
std::unique_ptr<ManagementProvider> makePlatformProvider(const PlatformSources& sources = {}, WarningSink warn = {});

// A provider that reads this computer once, now, and answers every connection from memory: for a
// program that must read while it still has privileges it is about to give up. Throws ScanError
// as a scan of the provider above would.
std::unique_ptr<ManagementProvider> makePlatformSnapshot(const PlatformSources& sources = {}, WarningSink warn = {});

// The text form of the user's regional settings: on Windows the decimal separator the user chose
// (Windows keeps it per user), elsewhere the C library's locale (after setlocale(LC_ALL, "")).
TextForm userTextForm();

}  // namespace tavrix
