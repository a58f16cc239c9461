#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "scan/file_replacement.h"

namespace tavrix {

namespace {

std::string failure(const char* step, int error) { return std::string(step) + ": " + std::strerror(error); }

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace

std::string replaceFile(const std::string& path, std::string_view bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);

    std::random_device random;
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".tavrix-save-%08x%08x", random(), random());
        temporary = prefix + name;
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (descriptor < 0 && errno != EEXIST) return failure("cannot write", errno);
    }
    if (descriptor < 0) return failure("cannot write", EEXIST);

    std::string why;
    if (!writeAll(descriptor, bytes)) {
        why = failure("cannot write", errno);
    } else if (::fsync(descriptor) != 0) {
        why = failure("cannot write", errno);
    }
    if (::close(descriptor) != 0 && why.empty()) why = failure("cannot write", errno);
    if (why.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) why = failure("cannot replace", errno);
    if (!why.empty()) {
        ::unlink(temporary.c_str());
        return why;
    }
    // The rename itself reaches the disk with the folder's entry; a folder that cannot be synced
    // (some file systems refuse) leaves the file replaced all the same.
    const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    return {};
}

}  // namespace tavrix
