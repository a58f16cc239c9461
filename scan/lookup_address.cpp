#include "scan/lookup_address.h"

#include "scan/hardware_scan.h"

namespace tavrix {

std::string encodeAddressValue(std::string_view value) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool reserved = c == '%' || c == '&' || c == '=' || c == '#' || c == '+';
        if (reserved || byte < 0x20 || byte >= 0x7F) {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0F];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

std::string composeLookupAddress(const ScanValues& v, const TextForm& text) {
    std::string address = lookupBaseAddress;
    address += "/mc/tavrix.asp?manufacturer = ";
    address += encodeAddressValue(text(v.sysManufacturer));
    address += "&mdlname=";
    address += encodeAddressValue(text(v.sysModel));
    address += "&bName=";
    address += encodeAddressValue(text(v.boardProduct));
    address += "&maxmemory=";
    address += encodeAddressValue(v.maximumMemoryText);
    address += "&totalslots=";
    address += encodeAddressValue(v.slotsText);
    address += "&memoryspeeds=";
    address += encodeAddressValue(v.moduleSpeeds);
    address += "&memorysize=";
    address += encodeAddressValue(v.moduleCapacities);
    address += "&processorspeed=";
    address += encodeAddressValue(text(v.cpuSpeed));
    address += "&site=quorvane";
    return address;
}

}  // namespace tavrix
