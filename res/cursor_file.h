#pragma once

// Reads the hot spot of a Windows cursor (.cur) file: the x and y stored in the
// first directory entry (where an icon file keeps its planes and bit count).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace tavrix {

namespace cursor_file_detail {

inline std::uint32_t readLittle(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

}  // namespace cursor_file_detail

// The hot spot (x, y) of the first image of a cursor file, or nullopt when the
// bytes are not a cursor file: reserved word not 0, type not 2, no image, or a
// first entry (directory entry or the image data it points at) beyond the end.
inline std::optional<std::pair<int, int>> cursorHotSpot(std::string_view fileBytes) {
    using cursor_file_detail::readLittle;
    constexpr std::size_t headerSize = 6;
    constexpr std::size_t entrySize = 16;
    if (fileBytes.size() < headerSize + entrySize) return std::nullopt;
    if (readLittle(fileBytes, 0, 2) != 0) return std::nullopt;
    if (readLittle(fileBytes, 2, 2) != 2) return std::nullopt;
    if (readLittle(fileBytes, 4, 2) < 1) return std::nullopt;
    const std::size_t entry = headerSize;
    const std::uint64_t dataSize = readLittle(fileBytes, entry + 8, 4);
    const std::uint64_t dataOffset = readLittle(fileBytes, entry + 12, 4);
    if (dataSize == 0 || dataOffset < headerSize + entrySize ||
        dataOffset + dataSize > fileBytes.size())
        return std::nullopt;
    return std::pair<int, int>(int(readLittle(fileBytes, entry + 4, 2)),
                               int(readLittle(fileBytes, entry + 6, 2)));
}

}  // namespace tavrix
