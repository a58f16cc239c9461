#pragma once

// The project's own synthetic SMBIOS tables, in the `dmidecode --dump-bin` layout: the cases real
// machines' dumps may lack. tests/data/smbios holds them as files (for dmidecode, the fuzzer's
// seeds and the benchmarks); a test checks that those files are what this header writes.
#include <string>
#include <utility>
#include <vector>

#include "tests/providers/smbios/smbios_writer.h"

namespace tavrix::testing {

// Two processors (one socket empty), three arrays (one of them flash, one past 2 TB), six devices:
// extended size and speed, an empty slot, a KB-sized device, an unknown size, missing strings.
inline std::string serverTable() {
    SmbiosWriter w;
    w.structure(0, 0x18, 0x00).string(0x04, "Synthetic BIOS").string(0x05, "S1.0");
    w.structure(1, 0x1B, 0x01).string(0x04, "Synthetic Systems").string(0x05, "Model 7").string(0x07, "ABC123");
    w.structure(2, 0x0F, 0x02).string(0x04, "Board Co").byte(0x05, 7);  // a string index past the set
    w.structure(4, 0x2A, 0x03).byte(0x05, 0x03).string(0x07, "CPU Maker").string(0x10, "Fast CPU").word(0x12, 133)
        .word(0x16, 2800).byte(0x18, 0x41);
    w.structure(4, 0x2A, 0x04).byte(0x05, 0x03).string(0x07, "CPU Maker").byte(0x18, 0x00);
    w.structure(16, 0x17, 0x10).byte(0x05, 0x03).dword(0x07, 0x80000000u).word(0x0D, 3).qword(0x0F, 2ull << 40);
    w.structure(16, 0x17, 0x11).byte(0x05, 0x03).dword(0x07, 8u << 20).word(0x0D, 2);
    w.structure(16, 0x0F, 0x12).byte(0x05, 0x04).dword(0x07, 2048).word(0x0D, 1);
    w.structure(17, 0x5C, 0x20).word(0x04, 0x10).word(0x0C, 0x7FFF).dword(0x1C, 40960).string(0x10, "DIMM 0")
        .byte(0x12, 0x1A).word(0x15, 0xFFFF).dword(0x54, 7200);
    w.structure(17, 0x28, 0x21).word(0x04, 0x10).word(0x0C, 0).string(0x10, "DIMM 1").byte(0x12, 0x02);
    w.structure(17, 0x28, 0x22).word(0x04, 0x10).word(0x0C, 0x8000 | 768).string(0x10, "DIMM 2").byte(0x12, 0x18)
        .word(0x15, 1600);
    w.structure(17, 0x22, 0x23).word(0x04, 0x11).word(0x0C, 2048).byte(0x12, 0x13).word(0x15, 0);
    w.structure(17, 0x22, 0x24).word(0x04, 0x11).word(0x0C, 0xFFFF).string(0x10, "Slot\x7F").byte(0x12, 0x22)
        .word(0x15, 4800);
    w.structure(17, 0x1B, 0x25).word(0x04, 0x12).word(0x0C, 2).string(0x10, "SPI").byte(0x12, 0x09);
    return w.table();
}

// An old machine behind a legacy "_DMI_" entry point: structures as short as their first versions
// allowed, 0x7FFF as a plain size in a structure without the extended field, hostile strings.
inline std::string oldMachineTable() {
    SmbiosWriter w;
    w.structure(0, 0x12, 0x00).string(0x04, "Old\tBIOS\x80\xFF").string(0x05, " 1.0  ");
    w.structure(1, 0x08, 0x01).string(0x04, "Old Systems").string(0x05, "Box\r\n").byte(0x06, 0).byte(0x07, 9);
    w.structure(2, 0x08, 0x02).string(0x04, "Old Boards").string(0x05, "OB-1");
    w.structure(4, 0x1A, 0x03).byte(0x05, 0x03).string(0x07, "Intel").string(0x10, "Pentium").word(0x12, 66)
        .word(0x16, 233).byte(0x18, 0x41);
    w.structure(4, 0x1A, 0x04).byte(0x05, 0x04).string(0x10, "Math").word(0x16, 100).byte(0x18, 0x41);  // no CPU
    w.structure(16, 0x0F, 0x10).byte(0x05, 0x03).dword(0x07, 786432).word(0x0D, 4);
    w.structure(17, 0x15, 0x20).word(0x04, 0x10).word(0x0C, 256).string(0x10, "SIMM1").byte(0x12, 0x07);
    w.structure(17, 0x17, 0x21).word(0x04, 0x10).word(0x0C, 0x8000 | 640).string(0x10, "SIMM2").byte(0x12, 0x0F)
        .word(0x15, 66);
    w.structure(17, 0x1B, 0x22).word(0x04, 0x10).word(0x0C, 0x7FFF).string(0x10, "DIMM\x1B[31m").byte(0x12, 0x12)
        .word(0x15, 0xFFFF);
    w.structure(17, 0x1B, 0x23).word(0x04, 0xFFFE).word(0x0C, 0).string(0x10, "SIMM4").byte(0x12, 0x02);
    return w.table();
}

// A desktop with a system-memory array of four slots, a flash array and five memory devices; kept
// in no file.
inline std::string desktopTable() {
    SmbiosWriter w;
    w.structure(0, 0x18, 0x00).string(0x04, "Acme BIOS Inc.").string(0x05, "F12 ");
    w.structure(1, 0x1B, 0x01).string(0x04, "Acme").string(0x05, "Tower 5").string(0x06, "v2").string(0x07, "SN-42");
    w.structure(2, 0x0F, 0x02).string(0x04, "Acme Boards").string(0x05, "B550M");
    w.structure(4, 0x30, 0x03).byte(0x05, 0x03).string(0x07, "AMD").string(0x10, "Ryzen 5 5600");
    w.word(0x12, 100).word(0x16, 3500).byte(0x18, 0x41);
    w.structure(4, 0x30, 0x04).byte(0x05, 0x03).word(0x16, 3500).byte(0x18, 0x00);  // empty socket
    w.structure(16, 0x17, 0x10).byte(0x05, 0x03).dword(0x07, 0x80000000u).word(0x0D, 4).qword(0x0F, 256ull << 30);
    w.structure(16, 0x17, 0x11).byte(0x05, 0x04).dword(0x07, 16384).word(0x0D, 1);  // flash memory
    w.structure(17, 0x28, 0x20).word(0x04, 0x10).word(0x0C, 8192).string(0x10, "DIMM_A1").byte(0x12, 0x1A);
    w.word(0x15, 3200);
    w.structure(17, 0x28, 0x21).word(0x04, 0x10).word(0x0C, 0).string(0x10, "DIMM_A2").byte(0x12, 0x02);  // empty
    w.structure(17, 0x5C, 0x22).word(0x04, 0x10).word(0x0C, 0x7FFF).dword(0x1C, 65536).string(0x10, "DIMM_B1");
    w.byte(0x12, 0x22).word(0x15, 0xFFFF).dword(0x54, 8000);
    w.structure(17, 0x1B, 0x23).word(0x04, 0x10).word(0x0C, 0x8000 | 512).string(0x10, "DIMM_B2").byte(0x12, 0x18);
    w.structure(17, 0x28, 0x24).word(0x04, 0x11).word(0x0C, 16).string(0x10, "BIOS ROM").byte(0x12, 0x09);
    w.structure(17, 0x28, 0x25).word(0x04, 0xFFFE).word(0x0C, 0xFFFF).byte(0x12, 0x12).word(0x15, 400);
    return w.table();
}

// Every synthetic dump by file name.
inline std::vector<std::pair<std::string, std::string>> syntheticDumps() {
    const std::string server = serverTable();
    const std::string old = oldMachineTable();
    return {
        {"synthetic-3.x.bin", SmbiosWriter::dump(SmbiosWriter::entryPoint3(server.size(), 3, 3), server)},
        {"synthetic-2.x.bin", SmbiosWriter::dump(SmbiosWriter::entryPoint2(server.size(), 15, 2, 7), server)},
        {"synthetic-legacy.bin", SmbiosWriter::dump(SmbiosWriter::entryPointLegacy(old.size(), 11, 0x20), old)},
    };
}

}  // namespace tavrix::testing
