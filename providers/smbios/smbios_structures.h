#pragma once

// The SMBIOS entry points, the structure types the provider reads and the fields it takes from
// each, as DMTF's SMBIOS standard (DSP0134) numbers them: offsets into the entry point or into a
// structure's formatted area (header included), with the standard's section beside each. A field
// that a later version added comes with the structure length from which it is there.
#include <cstddef>
#include <cstdint>

namespace tavrix::smbios {

/* 5.2.2 SMBIOS 3.0 (64-bit) Entry Point, anchor "_SM3_" */
namespace entryPoint3 {
constexpr std::size_t length = 0x06;              // byte, 0x18 and on
constexpr std::size_t majorVersion = 0x07;        // byte
constexpr std::size_t minorVersion = 0x08;        // byte
constexpr std::size_t maximumTableLength = 0x0C;  // dword
constexpr std::size_t shortest = 0x18;            // its size and least length
}  // namespace entryPoint3

/* 5.2.1 SMBIOS 2.1 (32-bit) Entry Point, anchor "_SM_", with a legacy one inside at 10h */
namespace entryPoint2 {
constexpr std::size_t length = 0x05;              // byte, 0x1F; 2.1 misprinted it as 0x1E
constexpr std::size_t majorVersion = 0x06;        // byte
constexpr std::size_t minorVersion = 0x07;        // byte
constexpr std::size_t intermediateAnchor = 0x10;  // "_DMI_", the legacy entry point's 15 bytes
constexpr std::size_t tableLength = 0x16;         // word
constexpr std::size_t structureCount = 0x1C;      // word
constexpr std::size_t size = 0x1F;
constexpr std::size_t shortest = 0x1E;  // the least length accepted
}  // namespace entryPoint2

/* The legacy DMI entry point, anchor "_DMI_": alone before 2.1, inside the 2.1 one after */
namespace legacyEntryPoint {
constexpr std::size_t tableLength = 0x06;     // word
constexpr std::size_t structureCount = 0x0C;  // word
constexpr std::size_t bcdRevision = 0x0E;     // byte, 0x21 for 2.1
constexpr std::size_t length = 0x0F;          // its size, all of it checksummed
}  // namespace legacyEntryPoint

enum class StructureType : std::uint8_t {
    bios = 0,            // 7.1 BIOS Information
    system = 1,          // 7.2 System Information
    baseboard = 2,       // 7.3 Baseboard (or Module) Information
    processor = 4,       // 7.5 Processor Information
    memoryArray = 16,    // 7.17 Physical Memory Array
    memoryDevice = 17,   // 7.18 Memory Device
    mappedAddress = 19,  // 7.20 Memory Array Mapped Address
    endOfTable = 127,    // 7.45 End-of-Table
};

/* 7.1 BIOS Information */
namespace bios {
constexpr std::size_t vendor = 0x04;   // string
constexpr std::size_t version = 0x05;  // string
}  // namespace bios

/* 7.2 System Information */
namespace system {
constexpr std::size_t manufacturer = 0x04;  // string
constexpr std::size_t productName = 0x05;   // string
constexpr std::size_t version = 0x06;       // string
constexpr std::size_t serialNumber = 0x07;  // string
}  // namespace system

/* 7.3 Baseboard (or Module) Information */
namespace baseboard {
constexpr std::size_t manufacturer = 0x04;  // string
constexpr std::size_t product = 0x05;       // string
}  // namespace baseboard

/* 7.5 Processor Information */
namespace processor {
constexpr std::size_t type = 0x05;           // byte, 7.5.1
constexpr std::size_t manufacturer = 0x07;   // string
constexpr std::size_t version = 0x10;        // string
constexpr std::size_t externalClock = 0x12;  // word, MHz; 0 unknown
constexpr std::size_t currentSpeed = 0x16;   // word, MHz; 0 unknown
constexpr std::size_t status = 0x18;         // byte

constexpr std::uint8_t centralProcessor = 0x03;  // type
constexpr std::uint8_t socketPopulated = 0x40;   // status bit
}  // namespace processor

/* 7.17 Physical Memory Array */
namespace memoryArray {
constexpr std::size_t use = 0x05;                      // byte, 7.17.2
constexpr std::size_t maximumCapacity = 0x07;          // dword, KiB
constexpr std::size_t numberOfMemoryDevices = 0x0D;    // word
constexpr std::size_t extendedMaximumCapacity = 0x0F;  // qword, bytes; 2.7 on
constexpr std::size_t lengthWithExtendedCapacity = 0x17;

constexpr std::uint8_t systemMemory = 0x03;                    // use
constexpr std::uint32_t capacityInExtendedField = 0x80000000;  // maximum capacity
}  // namespace memoryArray

/* 7.18 Memory Device */
namespace memoryDevice {
constexpr std::size_t memoryArrayHandle = 0x04;  // word
constexpr std::size_t size = 0x0C;               // word
constexpr std::size_t deviceLocator = 0x10;      // string
constexpr std::size_t memoryType = 0x12;         // byte, 7.18.2
constexpr std::size_t speed = 0x15;              // word, MT/s; 2.3 on
constexpr std::size_t extendedSize = 0x1C;       // dword, MiB in bits 30:0; 2.7 on
constexpr std::size_t extendedSpeed = 0x54;      // dword, MT/s; 3.3 on
constexpr std::size_t lengthWithSpeed = 0x17;
constexpr std::size_t lengthWithExtendedSize = 0x20;
constexpr std::size_t lengthWithExtendedSpeed = 0x5C;

constexpr std::uint16_t sizeUnknown = 0xFFFF;
constexpr std::uint16_t sizeInExtendedField = 0x7FFF;
constexpr std::uint16_t sizeInKilobytes = 0x8000;  // bit 15; MiB when clear
constexpr std::uint16_t sizeValue = 0x7FFF;        // the bits below it
constexpr std::uint32_t extendedSizeValue = 0x7FFFFFFF;
constexpr std::uint16_t speedInExtendedField = 0xFFFF;
}  // namespace memoryDevice

/* 7.20 Memory Array Mapped Address */
namespace mappedAddress {
constexpr std::size_t startingAddress = 0x04;          // dword, KiB
constexpr std::size_t endingAddress = 0x08;            // dword, KiB, the last one in the range
constexpr std::size_t extendedStartingAddress = 0x0F;  // qword, bytes; 2.7 on
constexpr std::size_t extendedEndingAddress = 0x17;    // qword, bytes, the last one in the range
constexpr std::size_t lengthWithExtendedAddresses = 0x1F;

constexpr std::uint32_t addressInExtendedField = 0xFFFFFFFF;  // either address
}  // namespace mappedAddress

}  // namespace tavrix::smbios
