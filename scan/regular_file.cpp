#include "regular_file.h"

namespace tavrix {

std::string sizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string shownPath(std::string_view path) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string shown;
    auto escape = [&](std::size_t from, std::size_t count) {
        for (std::size_t k = from; k < from + count; ++k) {
            const auto byte = static_cast<unsigned char>(path[k]);
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0x0F];
        }
    };
    std::size_t i = 0;
    while (i < path.size()) {
        const auto lead = static_cast<unsigned char>(path[i]);
        if (lead >= 0x20 && lead < 0x7F) {
            shown += path[i++];
            continue;
        }
        std::size_t length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        char32_t c = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= path.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(path[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= minimum[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        const bool invisible = c <= 0x9F || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
                               (c >= 0x2066 && c <= 0x2069);
        if (!valid) {
            escape(i, 1);
            ++i;
        } else {
            if (invisible) {
                escape(i, length);
            } else {
                shown.append(path.substr(i, length));
            }
            i += length;
        }
    }
    return shown;
}

}  // namespace tavrix
