#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavrix {

// Replaces the file at path by one that holds bytes, so that a reader sees the old file or the
// new one, never a part: the bytes go to a new file beside it (created exclusively, never through
// a link, with the mode the umask gives), are flushed to the disk and the new file is renamed
// over the path. A link at the path is replaced, never followed; anything else that is not a
// regular file (a folder, a FIFO, a device, a socket) is refused and left alone. Returns empty on
// success; otherwise why ("cannot write: File too large"), with the new file removed and the old
// one kept.
std::string replaceFile(const std::string& path, std::string_view bytes);

#ifndef _WIN32
// The points a save passes that a test may stop it at: its bytes are written and flushed; the new
// file has its name beside the target and is about to be renamed over it.
enum class SaveStep { written, named };

// How replaceFile goes about a save. On Linux the new file starts without a name (O_TMPFILE) and
// gets one only when complete, so a save that is killed leaves nothing; unnamedFirst = false
// takes the way of file systems that cannot do that, a named file from the start.
struct SaveWay {
    bool unnamedFirst = true;
    std::function<void(SaveStep)> reached;  // called at each step; empty: none
};

std::string replaceFile(const std::string& path, std::string_view bytes, const SaveWay& way);
#endif

}  // namespace tavrix
