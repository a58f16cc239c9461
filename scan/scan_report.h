#pragma once

#include <string>

#include "scan/scan_values.h"
#include "scan/text_form.h"

namespace tavrix {

// The 35-line plain-text report of a scan, every line ending in CR LF.
std::string buildScanReport(const ScanValues& values, const TextForm& text);

}  // namespace tavrix
