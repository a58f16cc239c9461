#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scan/machine_description.h"

namespace tavrix {

// A machine file: one computer described as WMI would report it, one "[Class]" header per row
// followed by "Name=value" lines. UTF-8 (with or without a byte-order mark) or UTF-16LE with one.
class MachineFile {
public:
    // Parses a file's bytes, keeping every row; fileName names it in errors. Throws ScanError such
    // as "acme.machine:7: expected [Class] or Name=value".
    static MachineDescription parse(std::string_view bytes, const std::string& fileName);
    // The same, keeping only the rows of the kept classes, at most 32767 of each, with only their
    // listed properties; the rest of the file is checked as strictly and then dropped.
    static MachineDescription parse(std::string_view bytes, const std::string& fileName,
                                    const std::vector<ClassProperties>& kept);
    // Reads and parses a file, keeping what the scan reads. Throws ScanError naming the file and
    // the reason when it cannot.
    static MachineDescription read(const std::string& path);
};

// A provider that answers the queries from a machine file, read once here.
std::unique_ptr<ManagementProvider> makeMachineFileProvider(const std::string& path);

}  // namespace tavrix
