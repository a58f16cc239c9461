#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrix {

// What reading a file longer than the limit gives.
enum class LongerFile { refused, firstBytes };

// How a path beneath a root is resolved: by the kernel (Linux's openat2 with RESOLVE_IN_ROOT) where
// it can, else by the walk; or always by the walk, one component at a time.
enum class RootResolution { kernel, walk };

// The bytes of a regular file, or why it could not be read.
struct RegularFile {
    // Reads the whole file at path when it is a regular file of at most limit bytes; a longer file
    // is refused, or gives its first limit bytes. Never blocks on a FIFO or a device: anything but
    // a regular file is refused before a byte is read.
    static RegularFile read(const std::string& path, std::size_t limit, LongerFile longer = LongerFile::refused);
    // The same for the absolute path beneath the root folder, resolved as if the root were "/": a
    // link (absolute or relative) and ".." never lead out of it. An empty root is "/" itself.
    static RegularFile readBeneath(const std::string& root, const std::string& path, std::size_t limit,
                                   LongerFile longer = LongerFile::refused,
                                   RootResolution resolution = RootResolution::kernel);

    std::optional<std::string> bytes;  // nullopt: not read, for the reason in why
    std::string why;                   // "cannot open: No such file or directory", "not a regular file", ...
    bool missing = false;              // the path names nothing
};

// A size in bytes as people write it: "16 MiB", "4 KiB", "100 bytes".
std::string sizeText(std::size_t bytes);

// The path as it may be shown on a terminal: invalid UTF-8 and the bytes of control and invisible
// characters (text_characters.h) appear as \xHH.
std::string shownPath(std::string_view path);

// A value as a message quotes it: shown as shownPath shows it, in quotes unless told; a text longer
// than 64 characters is cut after them, and a note after it says so and gives the whole size:
// "12345678...12345678..." (cut; 16 MiB in all).
std::string shownValue(std::string_view text, bool quoted = true);

}  // namespace tavrix
