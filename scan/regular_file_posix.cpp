#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "regular_file.h"

namespace tavrix {

namespace {

RegularFile failed(std::string why) {
    RegularFile file;
    file.why = std::move(why);
    return file;
}

}  // namespace

RegularFile RegularFile::read(const std::string& path, std::size_t limit, LongerFile longer) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        const int error = errno;
        RegularFile file = failed(std::string("cannot open: ") + std::strerror(error));
        file.missing = error == ENOENT || error == ENOTDIR;
        return file;
    }
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) return failed(std::string("cannot read: ") + std::strerror(errno));
    if (!S_ISREG(status.st_mode)) return failed("not a regular file");
    if (longer == LongerFile::refused && static_cast<unsigned long long>(status.st_size) > limit) {
        return failed("larger than " + sizeText(limit));
    }
    std::string bytes;
    // sysfs and procfs files report a size of 0 or 4096 whatever they hold: read until the end.
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            return failed(std::string("cannot read: ") + std::strerror(errno));
        }
        if (count == 0) break;
        if (bytes.size() + static_cast<std::size_t>(count) > limit) {
            if (longer == LongerFile::refused) return failed("larger than " + sizeText(limit));
            bytes.append(buffer, limit - bytes.size());
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    RegularFile file;
    file.bytes = std::move(bytes);
    return file;
}

}  // namespace tavrix
