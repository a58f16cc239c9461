#pragma once

#include <string>
#include <string_view>

namespace tavrix {

// Replaces the file at path by one that holds bytes, so that a reader sees the old file or the
// new one, never a part: the bytes go to a new file beside it (created exclusively, never through
// a link, with the mode the umask gives), are flushed to the disk and the new file is renamed
// over the path. A link at the path is replaced, never followed. Returns empty on success;
// otherwise why ("cannot write: File too large"), with the new file removed and the old one kept.
std::string replaceFile(const std::string& path, std::string_view bytes);

}  // namespace tavrix
