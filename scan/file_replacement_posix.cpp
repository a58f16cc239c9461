#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
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

// What a file of this mode is, as a message names it.
const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    return "of an unknown kind";
}

// Empty when what is at the path may be replaced (nothing, a regular file or a link); otherwise
// why not. A path that cannot be examined is left to the steps that follow to report.
std::string refusal(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) return {};
    return std::string("cannot replace: it is ") + kindOf(status.st_mode) + ", not a regular file or a link";
}

struct Place {
    std::string folder;  // the target's folder, "." for a bare name
    std::string prefix;  // what goes before a new name beside the target: the folder and its slash, or empty
};

Place placeOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", ""};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(0, slash + 1)};
}

std::string temporaryName(const Place& place) {
    static std::random_device random;
    char name[40];
    std::snprintf(name, sizeof name, ".tavrix-save-%08x%08x", random(), random());
    return place.prefix + name;
}

// The name of the save's new file while it has one, for the signal handler; null otherwise.
std::atomic<const char*> pendingName{nullptr};
constexpr std::array<int, 3> endingSignals = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removePendingAndEnd(int number) {
    if (const char* name = pendingName.load()) ::unlink(name);
    ::signal(number, SIG_DFL);
    ::raise(number);  // held back until the handler returns, then ends the program as it would have
}

// While it lives, SIGINT, SIGTERM and SIGHUP remove the named new file before they end the
// program; the previous actions come back after. Only signals left at their default action are
// caught: one that the program ignores or handles itself does not end it, and the save then
// removes its file as usual. One save at a time holds the handlers.
class NamedFileGuard {
public:
    NamedFileGuard() : lock_(mutex()) {
        for (std::size_t i = 0; i < endingSignals.size(); ++i) {
            struct sigaction action {};
            action.sa_handler = removePendingAndEnd;
            sigemptyset(&action.sa_mask);
            caught_[i] = ::sigaction(endingSignals[i], nullptr, &previous_[i]) == 0 &&
                         previous_[i].sa_handler == SIG_DFL && ::sigaction(endingSignals[i], &action, nullptr) == 0;
        }
    }
    ~NamedFileGuard() {
        pendingName = nullptr;
        for (std::size_t i = 0; i < endingSignals.size(); ++i) {
            if (caught_[i]) ::sigaction(endingSignals[i], &previous_[i], nullptr);
        }
    }
    NamedFileGuard(const NamedFileGuard&) = delete;
    NamedFileGuard& operator=(const NamedFileGuard&) = delete;

    // Makes a new file under a fresh name beside the target with make(name) (false with errno
    // when it cannot), holding the signals back meanwhile so that a handler sees the name only
    // once the file has it. Returns the name, or empty with errno set.
    template <class Make>
    std::string name(const Place& place, Make make) {
        sigset_t ending, before;
        sigemptyset(&ending);
        for (int number : endingSignals) sigaddset(&ending, number);
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = temporaryName(place);
            ::pthread_sigmask(SIG_BLOCK, &ending, &before);
            const bool made = make(name_);
            const int error = errno;
            if (made) pendingName = name_.c_str();
            ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
            errno = error;
            if (made) return name_;
            if (error != EEXIST) return {};
        }
        return {};
    }
    // The name no longer exists: renamed over the target or removed.
    void forget() { pendingName = nullptr; }

private:
    static std::mutex& mutex() {
        static std::mutex one;
        return one;
    }
    std::unique_lock<std::mutex> lock_;
    std::array<struct sigaction, endingSignals.size()> previous_{};
    std::array<bool, endingSignals.size()> caught_{};
    std::string name_;
};

void reach(const SaveWay& way, SaveStep step) {
    if (way.reached) way.reached(step);
}

std::string writeAndFlush(int descriptor, std::string_view bytes, const SaveWay& way) {
    std::string why;
    if (!writeAll(descriptor, bytes) || ::fsync(descriptor) != 0) why = failure("cannot write", errno);
    if (why.empty()) reach(way, SaveStep::written);
    return why;
}

// Renames the named new file over the path, or removes it; then the rename reaches the disk with
// the folder's entry (a folder that cannot be synced, as some file systems refuse, leaves the file
// replaced all the same).
std::string renameOver(NamedFileGuard& guard, const std::string& temporary, const std::string& path, const Place& place,
                       const SaveWay& way) {
    reach(way, SaveStep::named);
    std::string why = refusal(path);
    if (why.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) why = failure("cannot replace", errno);
    if (!why.empty()) ::unlink(temporary.c_str());
    guard.forget();
    if (!why.empty()) return why;
    const int folderDescriptor = ::open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    return {};
}

// The save through a file that has no name until it is complete; nothing when the file system
// cannot make such a file or give it a name, and the save must take the named way.
std::optional<std::string> saveUnnamed(const std::string& path, const Place& place, std::string_view bytes,
                                       const SaveWay& way) {
#ifdef O_TMPFILE
    const int descriptor = ::open(place.folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) return std::nullopt;
    std::string why = writeAndFlush(descriptor, bytes, way);
    if (!why.empty()) {
        ::close(descriptor);
        return why;
    }
    NamedFileGuard guard;
    // Linking a descriptor itself needs a privilege; its /proc entry does not, where /proc is mounted.
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    const std::string temporary = guard.name(place, [&](const std::string& name) {
        return ::linkat(descriptor, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ||
               (errno != EEXIST && ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0);
    });
    const int linkError = errno;
    ::close(descriptor);
    if (temporary.empty()) return linkError == EEXIST ? std::optional(failure("cannot write", EEXIST)) : std::nullopt;
    return renameOver(guard, temporary, path, place, way);
#else
    (void)path, (void)place, (void)bytes, (void)way;
    return std::nullopt;
#endif
}

std::string saveNamed(const std::string& path, const Place& place, std::string_view bytes, const SaveWay& way) {
    NamedFileGuard guard;
    int descriptor = -1;
    const std::string temporary = guard.name(place, [&](const std::string& name) {
        descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        return descriptor >= 0;
    });
    if (temporary.empty()) return failure("cannot write", errno);
    std::string why = writeAndFlush(descriptor, bytes, way);
    if (::close(descriptor) != 0 && why.empty()) why = failure("cannot write", errno);
    if (!why.empty()) {
        ::unlink(temporary.c_str());
        guard.forget();
        return why;
    }
    return renameOver(guard, temporary, path, place, way);
}

}  // namespace

std::string replaceFile(const std::string& path, std::string_view bytes) { return replaceFile(path, bytes, SaveWay{}); }

std::string replaceFile(const std::string& path, std::string_view bytes, const SaveWay& way) {
    if (std::string why = refusal(path); !why.empty()) return why;
    const Place place = placeOf(path);
    if (way.unnamedFirst) {
        if (std::optional<std::string> why = saveUnnamed(path, place, bytes, way)) return *why;
    }
    return saveNamed(path, place, bytes, way);
}

}  // namespace tavrix
