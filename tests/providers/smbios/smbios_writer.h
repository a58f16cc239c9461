#pragma once

// Builds small synthetic SMBIOS tables for tests: structures with their string sets, an entry
// point for 2.x or 3.x, and the `dmidecode --dump-bin` layout.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavrix::testing {

class SmbiosWriter {
public:
    // Starts a structure of the type and formatted length (header included), zero-filled.
    SmbiosWriter& structure(std::uint8_t type, std::uint8_t length, std::uint16_t handle) {
        flush();
        current_.assign(length, '\0');
        current_[0] = static_cast<char>(type);
        current_[1] = static_cast<char>(length);
        put(2, handle, 2);
        strings_.clear();
        return *this;
    }
    SmbiosWriter& byte(std::size_t offset, std::uint64_t value) { return put(offset, value, 1); }
    SmbiosWriter& word(std::size_t offset, std::uint64_t value) { return put(offset, value, 2); }
    SmbiosWriter& dword(std::size_t offset, std::uint64_t value) { return put(offset, value, 4); }
    SmbiosWriter& qword(std::size_t offset, std::uint64_t value) { return put(offset, value, 8); }
    // Adds a string and stores its index at the offset.
    SmbiosWriter& string(std::size_t offset, const std::string& text) {
        strings_.push_back(text);
        return byte(offset, strings_.size());
    }
    // The structure table, ending with a type 127 structure.
    std::string table() {
        structure(127, 4, 0xFEFF);
        flush();
        return std::exchange(table_, std::string());
    }

    static std::string entryPoint3(std::size_t tableLength, int major = 3, int minor = 2) {
        std::string entry(0x18, '\0');
        entry.replace(0, 5, "_SM3_");
        entry[0x06] = 0x18;
        entry[0x07] = static_cast<char>(major);
        entry[0x08] = static_cast<char>(minor);
        setLittleEndian(entry, 0x0C, tableLength, 4);
        setLittleEndian(entry, 0x10, 0x20, 8);
        entry[0x05] = checksum(entry, 0, 0x18);
        return entry;
    }
    // A legacy "_DMI_" entry point; bcdRevision 0x21 is version 2.1. Address is where it says the
    // table lies (dmidecode's dumps say 0x20).
    static std::string entryPointLegacy(std::size_t tableLength, std::size_t count, int bcdRevision,
                                        std::uint32_t address = 0x20) {
        std::string entry(0x0F, '\0');
        entry.replace(0, 5, "_DMI_");
        setLittleEndian(entry, 0x06, tableLength, 2);
        setLittleEndian(entry, 0x08, address, 4);
        setLittleEndian(entry, 0x0C, count, 2);
        entry[0x0E] = static_cast<char>(bcdRevision);
        entry[0x05] = checksum(entry, 0, 0x0F);
        return entry;
    }
    // A 2.x entry point: its own 16 bytes, then a "_DMI_" one (revision 2.8) as its intermediate part.
    static std::string entryPoint2(std::size_t tableLength, std::size_t count, int major = 2, int minor = 8,
                                   std::uint32_t address = 0x20) {
        std::string entry(0x10, '\0');
        entry.replace(0, 4, "_SM_");
        entry[0x05] = 0x1F;
        entry[0x06] = static_cast<char>(major);
        entry[0x07] = static_cast<char>(minor);
        entry += entryPointLegacy(tableLength, count, 0x28, address);
        entry[0x04] = checksum(entry, 0, 0x1F);
        return entry;
    }
    // The layout `dmidecode --dump-bin` writes: entry point padded to 32 bytes, then the table.
    static std::string dump(std::string entry, const std::string& table) {
        entry.resize(32, '\0');
        return entry + table;
    }

private:
    // The byte that makes the range sum to zero, as readers verify.
    static char checksum(const std::string& bytes, std::size_t offset, std::size_t length) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < length; ++i) sum += static_cast<unsigned char>(bytes[offset + i]);
        return static_cast<char>((256 - sum % 256) % 256);
    }
    static void setLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    SmbiosWriter& put(std::size_t offset, std::uint64_t value, std::size_t size) {
        setLittleEndian(current_, offset, value, size);
        return *this;
    }
    void flush() {
        if (current_.empty()) return;
        table_ += current_;
        for (const auto& s : strings_) table_ += s + '\0';
        if (strings_.empty()) table_ += '\0';
        table_ += '\0';
        current_.clear();
    }

    std::string table_;
    std::string current_;
    std::vector<std::string> strings_;
};

}  // namespace tavrix::testing
