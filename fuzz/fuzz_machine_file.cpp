// Feeds arbitrary bytes to the machine file parser and, when they parse, runs the whole scan
// over them: no input may crash, leak or trip a sanitizer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "hardware_scan.h"
#include "machine_file.h"
#include "recording_sink.h"
#include "scan_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrix;
    try {
        DescriptionProvider provider(MachineFile::parse(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz"));
        RecordingSink sink;
        HardwareScan scan(provider, sink, TextForm(","));
        scan.getTavrix();
    } catch (const ScanError&) {
    }
    return 0;
}
