#include "scan/regular_file.h"

#include <algorithm>

#include "scan/text_characters.h"

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
    for (std::size_t i = 0; i < path.size();) {
        const Utf8Character c = decodeUtf8(path, i);
        if (c.length == 0) {
            escape(i, 1);
            ++i;
            continue;
        }
        if (isControlCharacter(c.value) || isInvisibleCharacter(c.value)) {
            escape(i, c.length);
        } else {
            shown.append(path.substr(i, c.length));
        }
        i += c.length;
    }
    return shown;
}

std::string shownValue(std::string_view text, bool quoted) {
    constexpr std::size_t shownCharacters = 64;
    std::size_t end = 0;
    for (std::size_t count = 0; end < text.size() && count < shownCharacters; ++count)
        end += std::max<std::size_t>(decodeUtf8(text, end).length, 1);
    const std::string quote = quoted ? "\"" : "";
    if (end == text.size()) return quote + shownPath(text) + quote;
    return quote + shownPath(text.substr(0, end)) + "..." + quote + " (cut; " + sizeText(text.size()) + " in all)";
}

}  // namespace tavrix
