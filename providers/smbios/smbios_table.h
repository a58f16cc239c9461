#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "providers/smbios/smbios_structures.h"

namespace tavrix {

// One SMBIOS structure: its formatted area and its strings, with bounds-checked field reads.
struct SmbiosStructure {
    std::uint8_t type = 0;
    std::uint16_t handle = 0;
    std::string_view formatted;  // the whole formatted area, header included
    std::string_view stringSet;  // the strings, each ending in NUL, without the set's final NUL

    std::size_t length() const { return formatted.size(); }
    // The field at the offset; nullopt when the structure is too short to hold it.
    std::optional<std::uint8_t> byte(std::size_t offset) const { return field<std::uint8_t>(offset); }
    std::optional<std::uint16_t> word(std::size_t offset) const { return field<std::uint16_t>(offset); }
    std::optional<std::uint32_t> dword(std::size_t offset) const { return field<std::uint32_t>(offset); }
    std::optional<std::uint64_t> qword(std::size_t offset) const { return field<std::uint64_t>(offset); }
    // The string whose index is at the offset, every byte outside printable ASCII shown as ".";
    // nullopt for index 0, an index past the string set, or a structure too short for the field.
    std::optional<std::string> string(std::size_t offset) const;

private:
    // A little-endian field of the type's size at the offset.
    template <typename Unsigned>
    std::optional<Unsigned> field(std::size_t offset) const {
        if (offset > formatted.size() || formatted.size() - offset < sizeof(Unsigned)) return std::nullopt;
        Unsigned value = 0;
        for (std::size_t i = sizeof(Unsigned); i-- > 0;) {
            value = static_cast<Unsigned>((std::uint64_t{value} << 8) | static_cast<unsigned char>(formatted[offset + i]));
        }
        return value;
    }
};

// The SMBIOS structure table, decoded as far as it is sound. Parsing is separate from getting
// the bytes: from the kernel's two sysfs files, or from a `dmidecode --dump-bin` file.
class SmbiosTable {
public:
    // Decodes an entry point ("_SM_", "_SM3_" or "_DMI_") and the structure table it describes.
    // Throws ScanError when the entry point is not one of those.
    static SmbiosTable fromEntryPoint(std::string_view entryPoint, std::string table);
    // A dump: entry point at offset 0, structure table at offset 32 whatever address it names.
    // Throws ScanError naming the file when it holds no entry point.
    static SmbiosTable fromDump(std::string_view dump, const std::string& fileName);
    // Reads and decodes a `dmidecode --dump-bin` file, adding to the warnings what is wrong with
    // its entry point or table, each naming the file. Throws ScanError when the file cannot be
    // read or holds no entry point.
    static SmbiosTable readDump(const std::string& path, std::vector<std::string>& warnings);

    // Real tables hold some hundred KiB at most; a larger one is refused unread.
    static constexpr std::size_t maximumSize = 4 * 1024 * 1024;

    int majorVersion() const { return major_; }
    int minorVersion() const { return minor_; }
    const std::vector<SmbiosStructure>& structures() const { return structures_; }
    // What made decoding stop before the end of the table, naming the offset; empty for a sound table.
    const std::string& problem() const { return problem_; }
    // What is wrong with the entry point's length or checksums; empty for a sound entry point.
    const std::vector<std::string>& entryPointProblems() const { return entryPointProblems_; }
    // The structures of one type, in table order.
    std::vector<const SmbiosStructure*> ofType(smbios::StructureType type) const;

    SmbiosTable(const SmbiosTable&) = delete;
    SmbiosTable& operator=(const SmbiosTable&) = delete;
    SmbiosTable(SmbiosTable&&) = default;
    SmbiosTable& operator=(SmbiosTable&&) = default;

private:
    SmbiosTable() : bytes_(std::make_unique<std::string>()) {}
    void decode(std::size_t maximumLength, std::optional<std::size_t> structureCount);

    std::unique_ptr<std::string> bytes_;  // owns what the structures view; on the heap, so a move keeps the views
    int major_ = 0;
    int minor_ = 0;
    std::vector<SmbiosStructure> structures_;
    std::string problem_;
    std::vector<std::string> entryPointProblems_;
};

}  // namespace tavrix
