#pragma once

#include <string>
#include <string_view>

#include "scan/scan_values.h"
#include "scan/text_form.h"

namespace tavrix {

// The retailer's memory lookup address for a scan (after the model fallback). Values are written
// as they are, except that "%", "&", "=", "#", "+", control characters and non-ASCII bytes are
// percent-encoded so that no value can change or cut the query.
std::string composeLookupAddress(const ScanValues& values, const TextForm& text);

// One value as it goes into the lookup address.
std::string encodeAddressValue(std::string_view value);

}  // namespace tavrix
