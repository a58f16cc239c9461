// Feeds arbitrary bytes to the machine file parser and, when they parse, runs the whole scan
// over them: no input may crash, leak or trip a sanitizer. Keeping only what the scan reads must
// not change what it shows, and what the scan read, saved as a machine file and read back, must
// scan to the same report, window and address; and the scan's --json document must lie within
// docs/tavrix-report.schema.json.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "cli/report_json.h"
#include "fuzz/json_schema.h"
#include "scan/hardware_scan.h"
#include "scan/machine_file.h"
#include "scan/machine_file_writer.h"
#include "scan/machine_recorder.h"
#include "scan/recording_sink.h"
#include "scan/scan_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrix;
    MachineDescription recorded;
    RecordingSink sink;
    std::string report, address, json;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string everyRowReport;
    try {
        DescriptionProvider everyRow(MachineFile::parse(bytes, "fuzz"));
        RecordingSink everyRowSink;
        HardwareScan everyRowScan(everyRow, everyRowSink, TextForm(","));
        everyRowScan.getTavrix();
        everyRowReport = everyRowScan.values().reportText + everyRowSink.windowText();
    } catch (const ScanError&) {
        everyRowReport = "failed";
    }
    try {
        DescriptionProvider provider(MachineFile::parse(bytes, "fuzz", scannedClasses()));
        MachineRecorder recorder(provider);
        HardwareScan scan(recorder, sink, TextForm(","));
        scan.getTavrix();
        report = scan.values().reportText;
        address = scan.lookupAddress();
        recorded = recorder.recorded();
        json = reportJson(scan, sink, recorded, "1.0.0");
    } catch (const ScanError&) {
        if (everyRowReport != "failed") __builtin_trap();
        return 0;
    }
    if (everyRowReport != report + sink.windowText()) __builtin_trap();
    static const JsonSchema schema = JsonSchema::load(TAVRIX_SOURCE_DIR "/docs/tavrix-report.schema.json");
    if (const std::string why = schema.violation(json); !why.empty()) {
        std::fprintf(stderr, "the --json document leaves its schema: %s\n", why.c_str());
        __builtin_trap();
    }
    const std::string saved = MachineFileWriter::text(recorded);  // a parsed file's values always fit one
    DescriptionProvider replay(MachineFile::parse(saved, "saved"));
    RecordingSink replaySink;
    HardwareScan again(replay, replaySink, TextForm(","));
    again.getTavrix();
    if (again.values().reportText != report || again.lookupAddress() != address ||
        replaySink.windowText() != sink.windowText()) {
        __builtin_trap();
    }
    return 0;
}
