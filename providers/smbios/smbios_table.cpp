#include "providers/smbios/smbios_table.h"

#include <algorithm>
#include <cstdint>

#include "scan/ascii_text.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"

namespace tavrix {

namespace {

using namespace smbios;

// Where a `dmidecode --dump-bin` file's structure table starts, after the entry point and its padding.
constexpr std::size_t dumpTableOffset = 32;

std::uint64_t littleEndian(std::string_view bytes, std::size_t offset, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

std::string hex(std::size_t offset) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[offset % 16]);
        offset /= 16;
    } while (offset != 0);
    return "offset 0x" + text;
}

// The low byte of the sum of the bytes; 0 when their checksum byte is right.
unsigned byteSum(std::string_view bytes) {
    unsigned sum = 0;
    for (const char c : bytes) sum += static_cast<unsigned char>(c);
    return sum % 256;
}

std::string hexByte(unsigned value) {
    static constexpr char digits[] = "0123456789abcdef";
    return {'0', 'x', digits[(value >> 4) & 0xF], digits[value & 0xF]};
}

// A warning that a checksum is wrong, such as "the _DMI_ entry point's checksum is wrong (its 15
// bytes sum to 0x03, not 0); decoded anyway".
std::string wrongChecksum(const std::string& checksum, const std::string& bytes, unsigned sum) {
    return "the " + checksum + " is wrong (" + bytes + " sum to " + hexByte(sum) + ", not 0); decoded anyway";
}

// What is wrong with an entry point's length (the byte at lengthOffset, from shortest up to 32
// bytes) and its checksum, which covers that length; nothing when both are sound. The kernel hands
// the table over whatever they say, so these are warnings, not reasons to stop.
std::vector<std::string> lengthAndChecksumProblems(std::string_view entry, std::string_view anchor,
                                                   std::size_t lengthOffset, std::size_t shortest) {
    const std::string name = std::string(anchor) + " entry point";
    const std::size_t length = static_cast<unsigned char>(entry[lengthOffset]);
    if (length < shortest || length > 32) {
        return {"the " + name + " gives its length as " + std::to_string(length) + " bytes, where it has " +
                std::to_string(shortest) + " to 32; decoded anyway"};
    }
    if (length > entry.size()) {
        return {"the " + name + " gives its length as " + std::to_string(length) + " bytes, but only " +
                std::to_string(entry.size()) + " are there; decoded anyway"};
    }
    if (const unsigned sum = byteSum(entry.substr(0, length)); sum != 0) {
        return {wrongChecksum(name + "'s checksum", "its " + std::to_string(length) + " bytes", sum)};
    }
    return {};
}

// A 2.x structure count; 0 means as many as the table's length holds, as decoders read it.
std::optional<std::size_t> structureCount(std::string_view entry, std::size_t offset) {
    const auto count = static_cast<std::size_t>(littleEndian(entry, offset, 2));
    if (count == 0) return std::nullopt;
    return count;
}

// Where the pair of NULs that ends a string set starts, at or after the offset; npos when there is none.
std::size_t endOfStrings(std::string_view table, std::size_t offset) {
    return table.find(std::string_view("\0\0", 2), offset);
}

}  // namespace

std::optional<std::string> SmbiosStructure::string(std::size_t offset) const {
    const auto index = byte(offset);
    if (!index || *index == 0) return std::nullopt;
    std::string_view rest = stringSet;
    for (std::uint8_t i = 1; i < *index; ++i) {
        if (rest.empty() || rest.front() == '\0') return std::nullopt;
        rest.remove_prefix(rest.find('\0') + 1);
    }
    if (rest.empty() || rest.front() == '\0') return std::nullopt;
    return printable(rest.substr(0, rest.find('\0')));
}

SmbiosTable SmbiosTable::fromEntryPoint(std::string_view entry, std::string table) {
    SmbiosTable decoded;
    *decoded.bytes_ = std::move(table);
    auto byteAt = [&entry](std::size_t offset) { return static_cast<unsigned char>(entry[offset]); };
    if (entry.size() >= entryPoint3::shortest && entry.substr(0, 5) == "_SM3_") {
        decoded.entryPointProblems_ =
            lengthAndChecksumProblems(entry, "_SM3_", entryPoint3::length, entryPoint3::shortest);
        decoded.major_ = byteAt(entryPoint3::majorVersion);
        decoded.minor_ = byteAt(entryPoint3::minorVersion);
        decoded.decode(static_cast<std::size_t>(littleEndian(entry, entryPoint3::maximumTableLength, 4)), std::nullopt);
    } else if (entry.size() >= entryPoint2::size && entry.substr(0, 4) == "_SM_") {
        decoded.entryPointProblems_ =
            lengthAndChecksumProblems(entry, "_SM_", entryPoint2::length, entryPoint2::shortest);
        if (const unsigned sum = byteSum(entry.substr(entryPoint2::intermediateAnchor, legacyEntryPoint::length));
            sum != 0) {
            decoded.entryPointProblems_.push_back(
                wrongChecksum("_SM_ entry point's intermediate checksum", "the 15 bytes from _DMI_", sum));
        }
        decoded.major_ = byteAt(entryPoint2::majorVersion);
        decoded.minor_ = byteAt(entryPoint2::minorVersion);
        decoded.decode(static_cast<std::size_t>(littleEndian(entry, entryPoint2::tableLength, 2)),
                       structureCount(entry, entryPoint2::structureCount));
    } else if (entry.size() >= legacyEntryPoint::length && entry.substr(0, 5) == "_DMI_") {
        if (const unsigned sum = byteSum(entry.substr(0, legacyEntryPoint::length)); sum != 0) {
            decoded.entryPointProblems_.push_back(wrongChecksum("_DMI_ entry point's checksum", "its 15 bytes", sum));
        }
        const auto revision = byteAt(legacyEntryPoint::bcdRevision);
        decoded.major_ = revision >> 4;
        decoded.minor_ = revision & 0x0F;
        decoded.decode(static_cast<std::size_t>(littleEndian(entry, legacyEntryPoint::tableLength, 2)),
                       structureCount(entry, legacyEntryPoint::structureCount));
    } else {
        throw ScanError("no SMBIOS entry point (_SM_, _SM3_ or _DMI_)");
    }
    return decoded;
}

SmbiosTable SmbiosTable::fromDump(std::string_view dump, const std::string& fileName) {
    try {
        return fromEntryPoint(dump.substr(0, std::min(dump.size(), dumpTableOffset)),
                              std::string(dump.substr(std::min(dump.size(), dumpTableOffset))));
    } catch (const ScanError& failure) {
        throw ScanError(fileName + ": " + failure.what());
    }
}

SmbiosTable SmbiosTable::readDump(const std::string& path, std::vector<std::string>& warnings) {
    const std::string shown = shownPath(path);
    const RegularFile dump = RegularFile::read(path, dumpTableOffset + maximumSize);
    if (!dump.bytes) throw ScanError(shown + ": cannot read the dump file: " + dump.why);
    SmbiosTable tables = fromDump(*dump.bytes, shown);
    for (const auto& problem : tables.entryPointProblems()) warnings.push_back(shown + ": " + problem);
    if (!tables.problem().empty()) warnings.push_back(shown + ": " + tables.problem());
    return tables;
}

void SmbiosTable::decode(std::size_t maximumLength, std::optional<std::size_t> structureCount) {
    const std::string_view table = std::string_view(*bytes_).substr(0, std::min(bytes_->size(), maximumLength));
    std::size_t offset = 0;
    bool ended = false;
    while (offset + 4 <= table.size() && (!structureCount || structures_.size() < *structureCount)) {
        const auto type = static_cast<unsigned>(static_cast<unsigned char>(table[offset]));
        const auto length = static_cast<unsigned char>(table[offset + 1]);
        if (length < 4) {
            problem_ = "structure type " + std::to_string(type) + " at " + hex(offset) + " is " +
                       std::to_string(length) + " bytes, shorter than its header";
            break;
        }
        if (offset + length > table.size()) {
            problem_ =
                "structure type " + std::to_string(type) + " at " + hex(offset) + " runs past the end of the table";
            break;
        }
        const std::size_t terminator = endOfStrings(table, offset + length);
        if (terminator == std::string_view::npos) {
            problem_ = "structure type " + std::to_string(type) + " at " + hex(offset) + " has no end to its strings";
            break;
        }
        SmbiosStructure structure;
        structure.type = static_cast<std::uint8_t>(type);
        structure.handle = static_cast<std::uint16_t>(littleEndian(table, offset + 2, 2));
        structure.formatted = table.substr(offset, length);
        // No strings: the set is the two NULs alone. Otherwise the last string's NUL is the first of the pair.
        structure.stringSet = terminator == offset + length
                                  ? std::string_view()
                                  : table.substr(offset + length, terminator + 1 - offset - length);
        structures_.push_back(structure);
        if (type == static_cast<unsigned>(StructureType::endOfTable)) {
            ended = true;
            break;
        }
        offset = terminator + 2;
    }
    if (problem_.empty() && !ended && offset < maximumLength && offset + 4 > table.size() &&
        (!structureCount || structures_.size() < *structureCount)) {
        problem_ = "the structure table ends at " + hex(offset) + ", short of the " + std::to_string(maximumLength) +
                   " bytes its entry point gives";
    }
}

std::vector<const SmbiosStructure*> SmbiosTable::ofType(smbios::StructureType type) const {
    std::vector<const SmbiosStructure*> found;
    for (const auto& structure : structures_) {
        if (structure.type == static_cast<std::uint8_t>(type)) found.push_back(&structure);
    }
    return found;
}

}  // namespace tavrix
