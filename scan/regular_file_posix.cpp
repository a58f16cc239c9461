#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#if __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#endif

#include "scan/regular_file.h"

namespace tavrix {

namespace {

constexpr int readFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
// As many links as Linux follows in one path.
constexpr int maximumLinkHops = 40;

RegularFile failed(std::string why) {
    RegularFile file;
    file.why = std::move(why);
    return file;
}

RegularFile notOpened(int error) {
    RegularFile file = failed(std::string("cannot open: ") + std::strerror(error));
    file.missing = error == ENOENT || error == ENOTDIR;
    return file;
}

class Descriptor {
public:
    explicit Descriptor(int value = -1) : value_(value) {}
    Descriptor(Descriptor&& other) noexcept : value_(other.value_) { other.value_ = -1; }
    ~Descriptor() {
        if (value_ >= 0) ::close(value_);
    }
    int get() const { return value_; }
    bool valid() const { return value_ >= 0; }

private:
    int value_;
};

// The bytes of the open file, with the checks of RegularFile::read.
RegularFile readOpened(int descriptor, std::size_t limit, LongerFile longer) {
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

// The path's names, without empty ones and ".".
std::deque<std::string> componentsOf(const std::string& path) {
    std::deque<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        if (!name.empty() && name != ".") components.push_back(std::move(name));
        start = end + 1;
    }
    return components;
}

// Whether the open file is the one the status describes, not one put there since.
bool sameFile(int descriptor, const struct stat& status) {
    struct stat opened {};
    return ::fstat(descriptor, &opened) == 0 && opened.st_dev == status.st_dev && opened.st_ino == status.st_ino;
}

// Opens the path beneath the root folder for reading, or sets errno: openat2 with the root as
// the process's root; ENOSYS or EPERM (a seccomp filter) where the kernel cannot. The file is
// first opened as a mere path, so that anything but a regular file sets notRegular unopened.
int openByKernel(int root, const std::string& path, bool& notRegular) {
#if defined(SYS_openat2) && defined(RESOLVE_IN_ROOT)
    auto open = [&](std::uint64_t flags) {
        struct open_how how {};
        how.flags = flags;
        how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const long descriptor = ::syscall(SYS_openat2, root, path.c_str(), &how, sizeof how);
            // EAGAIN: a rename raced with a ".."; the kernel asks to try again.
            if (descriptor >= 0 || errno != EAGAIN) return static_cast<int>(descriptor);
        }
        return -1;
    };
    const Descriptor found(open(O_PATH | O_CLOEXEC));
    if (!found.valid()) return -1;
    struct stat status {};
    if (::fstat(found.get(), &status) != 0) return -1;
    if (!S_ISREG(status.st_mode)) {
        notRegular = true;
        return -1;
    }
    const int descriptor = open(readFlags);
    if (descriptor >= 0 && !sameFile(descriptor, status)) {
        ::close(descriptor);
        errno = EAGAIN;
        return -1;
    }
    return descriptor;
#else
    (void)root;
    (void)path;
    (void)notRegular;
    errno = ENOSYS;
    return -1;
#endif
}

// The target of the link open as entry (O_PATH), or false with errno set; an empty target is none.
bool readLink(int entry, std::string& target) {
    target.assign(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(entry, "", target.data(), target.size());
    if (length < 0) return false;
    if (length == 0 || static_cast<std::size_t>(length) == target.size()) {
        errno = length == 0 ? ENOENT : ENAMETOOLONG;
        return false;
    }
    target.resize(static_cast<std::size_t>(length));
    return true;
}

// Opens the walk's last name in its folder for reading when it is the regular file status says;
// anything else sets notRegular. Returns the descriptor, or -1 with errno set.
int openLast(int folder, const std::string& name, const struct stat& status, bool& notRegular) {
    if (!S_ISREG(status.st_mode)) {
        notRegular = true;
        return -1;
    }
    const int descriptor = ::openat(folder, name.c_str(), readFlags | O_NOFOLLOW);
    if (descriptor < 0) return -1;
    if (!sameFile(descriptor, status)) {
        ::close(descriptor);
        errno = EAGAIN;
        return -1;
    }
    return descriptor;
}

// Opens the path beneath the root folder for reading one name at a time, or sets errno. Each
// name is opened without following it; a link is read and its target walked from the root (when
// absolute) or from its folder; ".." at the root stays there. Anything but a regular file at the
// end sets notRegular and is never opened for reading.
int openByWalk(int root, const std::string& path, bool& notRegular) {
    std::vector<Descriptor> folders;  // the folders from the root down to the current one
    folders.emplace_back(::fcntl(root, F_DUPFD_CLOEXEC, 0));
    if (!folders.back().valid()) return -1;
    std::deque<std::string> remaining = componentsOf(path);
    int hops = 0;
    while (!remaining.empty()) {
        const std::string name = std::move(remaining.front());
        remaining.pop_front();
        if (name == "..") {
            if (folders.size() > 1) folders.pop_back();
            continue;
        }
        Descriptor entry(::openat(folders.back().get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!entry.valid()) return -1;
        struct stat status {};
        if (::fstat(entry.get(), &status) != 0) return -1;
        if (S_ISLNK(status.st_mode)) {
            if (++hops > maximumLinkHops) {
                errno = ELOOP;
                return -1;
            }
            std::string target;
            if (!readLink(entry.get(), target)) return -1;
            if (target.front() == '/') folders.resize(1);
            std::deque<std::string> followed = componentsOf(target);
            remaining.insert(remaining.begin(), followed.begin(), followed.end());
            continue;
        }
        if (remaining.empty()) return openLast(folders.back().get(), name, status, notRegular);
        if (!S_ISDIR(status.st_mode)) {
            errno = ENOTDIR;
            return -1;
        }
        folders.push_back(std::move(entry));
    }
    // The path ends in a folder (the root itself, or after "..").
    notRegular = true;
    return -1;
}

}  // namespace

RegularFile RegularFile::read(const std::string& path, std::size_t limit, LongerFile longer) {
    const Descriptor descriptor(::open(path.c_str(), readFlags));
    if (!descriptor.valid()) return notOpened(errno);
    return readOpened(descriptor.get(), limit, longer);
}

RegularFile RegularFile::readBeneath(const std::string& root, const std::string& path, std::size_t limit,
                                     LongerFile longer, RootResolution resolution) {
    std::string folder = root;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    if (folder.empty()) return read(path, limit, longer);
    const Descriptor rootFolder(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!rootFolder.valid()) return notOpened(errno);
    int opened = -1;
    int error = ENOSYS;
    bool notRegular = false;
    if (resolution == RootResolution::kernel) {
        opened = openByKernel(rootFolder.get(), path, notRegular);
        error = errno;
    }
    if (opened < 0 && !notRegular && (error == ENOSYS || error == EPERM)) {
        opened = openByWalk(rootFolder.get(), path, notRegular);
        error = errno;
    }
    if (notRegular) return failed("not a regular file");
    if (opened < 0) return notOpened(error);
    const Descriptor descriptor(opened);
    return readOpened(descriptor.get(), limit, longer);
}

}  // namespace tavrix
