#pragma once

#include <string>
#include <string_view>

#include "scan/hardware_scan.h"
#include "scan/machine_description.h"
#include "scan/recording_sink.h"

namespace tavrix {

// The version of the document's shape (docs/tavrix-report.schema.json); a change that drops or
// retypes a member raises it.
inline constexpr int reportJsonFormat = 1;

// A JSON string holding the text: quotes, backslashes and control characters escaped, as are the
// invisible characters (text_characters.h) so that none hides in a terminal; a byte that is not
// well-formed UTF-8 becomes U+FFFD.
std::string jsonString(std::string_view text);

// The scan as one JSON document ending in a line feed: the rows the scan read (answered), what the
// window shows (sink), the figures and texts it derived, the lookup address and the version.
std::string reportJson(const HardwareScan& scan, const RecordingSink& sink, const MachineDescription& answered,
                       std::string_view programVersion);

}  // namespace tavrix
