#pragma once

#include <string>

#include "scan/machine_description.h"

namespace tavrix {

// Writes a computer's rows as a machine file that MachineFile reads back to the same rows.
class MachineFileWriter {
public:
    // The file's text: UTF-8, LF line ends, one "[Class]" header per row and its properties in
    // their order, absent ones left out. Throws ScanError naming the class and property when a
    // value cannot be held so that it reads back the same (a control character, invalid UTF-8).
    static std::string text(const MachineDescription& machine);
    // Writes text(machine) to the path, replacing any file or link there whole (replaceFile).
    // Throws ScanError naming the path when it cannot, with the old file left as it was.
    static void save(const MachineDescription& machine, const std::string& path);
};

}  // namespace tavrix
