// A saved file replaces the old one whole or not at all, and never writes through a link.
#include "scan/file_replacement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "scan/regular_file.h"

namespace {

namespace fs = std::filesystem;
using tavrix::replaceFile;
using tavrix::SaveStep;
using ::testing::HasSubstr;

// The file's bytes, or why they cannot be read.
std::string contentsOf(const fs::path& path) {
    const auto file = tavrix::RegularFile::read(path.string(), 64 << 20);
    return file.bytes ? *file.bytes : "unreadable: " + file.why;
}

void writeFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

class FileReplacement : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tavrix-replace-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        oldMask_ = ::umask(027);
    }
    void TearDown() override {
        ::umask(oldMask_);
        fs::remove_all(folder_);
    }
    fs::path folder_;
    mode_t oldMask_ = 0;
};

TEST_F(FileReplacement, ReplacesAFileOrALinkAndNeverFollowsALink) {
    const fs::path target = folder_ / "target", other = folder_ / "other";
    const struct {
        const char* what;
        std::function<bool()> plant;  // false: this kind cannot be made here (a device, without root)
        const char* failure;          // empty: the save succeeds
        std::set<std::string> namesAfter;
    } cases[] = {
        {"no file", [] { return true; }, "", {"target"}},
        {"an old file", [&] { return writeFile(target, "old"), fs::permissions(target, fs::perms(0600)), true; }, "",
         {"target"}},
        {"a link to another file", [&] { return writeFile(other, "not yours"), fs::create_symlink(other, target), true; },
         "", {"target", "other"}},
        {"a dangling link", [&] { return fs::create_symlink(other, target), true; }, "", {"target"}},
        {"a folder", [&] { return fs::create_directory(target), writeFile(target / "inside", "kept"), true; },
         "cannot replace: it is a folder, not a regular file or a link", {"target"}},
        {"a FIFO", [&] { return ::mkfifo(target.c_str(), 0600) == 0; },
         "cannot replace: it is a FIFO, not a regular file or a link", {"target"}},
        {"a socket", [&] { return ::mknod(target.c_str(), S_IFSOCK | 0600, 0) == 0; },
         "cannot replace: it is a socket, not a regular file or a link", {"target"}},
        {"a device", [&] { return ::mknod(target.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; },
         "cannot replace: it is a character device, not a regular file or a link", {"target"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.plant()) continue;
        const fs::file_type typeBefore = fs::symlink_status(target).type();
        const std::string why = replaceFile(target.string(), "new bytes");
        if (*c.failure == '\0') {
            EXPECT_EQ(why, "");
            EXPECT_FALSE(fs::is_symlink(target));
            EXPECT_EQ(contentsOf(target), "new bytes");
            EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));  // 0666 less the umask 027
        } else {
            EXPECT_EQ(why, c.failure);
            EXPECT_EQ(fs::symlink_status(target).type(), typeBefore);
            if (fs::is_directory(target)) {
                EXPECT_EQ(contentsOf(target / "inside"), "kept");
            }
        }
        EXPECT_TRUE(!fs::exists(other) || contentsOf(other) == "not yours");
        EXPECT_EQ(namesIn(folder_), c.namesAfter);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    EXPECT_THAT(replaceFile((folder_ / "missing" / "target").string(), "x"), HasSubstr("cannot write: "));
    EXPECT_TRUE(fs::is_empty(folder_));
}

// A save killed at either step leaves the old file and no other: a new file without a name goes
// with the process, and SIGINT, SIGTERM and SIGHUP remove a named one before they end it (SIGKILL
// cannot be caught, so only the unnamed file escapes it). The child stops at the step and tells
// the parent, which then kills it: no timing involved.
TEST_F(FileReplacement, AKilledSaveLeavesTheOldFileAndNoOther) {
    const fs::path target = folder_ / "target";
    const int probe = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (probe >= 0) ::close(probe);
    for (const bool unnamedFirst : {true, false}) {
        for (const SaveStep step : {SaveStep::written, SaveStep::named}) {
            const bool hasName = !unnamedFirst || step == SaveStep::named || probe < 0;
            for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
                if (signal == SIGKILL && hasName) continue;
                SCOPED_TRACE(std::string(unnamedFirst ? "unnamed first" : "named") + ", step " +
                             std::to_string(static_cast<int>(step)) + ", signal " + std::to_string(signal));
                writeFile(target, "old");
                int ready[2];
                ASSERT_EQ(::pipe(ready), 0);
                const pid_t child = ::fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    for (const int ending : {SIGINT, SIGTERM, SIGHUP}) std::signal(ending, SIG_DFL);
                    ::close(ready[0]);
                    const tavrix::SaveWay way{unnamedFirst, [&](SaveStep reached) {
                                                  if (reached != step) return;
                                                  if (::write(ready[1], "!", 1) != 1) ::_exit(2);
                                                  for (;;) ::pause();
                                              }};
                    replaceFile(target.string(), std::string(1 << 20, 'n'), way);
                    ::_exit(3);
                }
                ::close(ready[1]);
                char byte = 0;
                const bool stopped = ::read(ready[0], &byte, 1) == 1;
                ::close(ready[0]);
                if (stopped) {
                    EXPECT_EQ(namesIn(folder_).size(), hasName ? 2u : 1u);
                    ::kill(child, signal);
                }
                int status = 0;
                ASSERT_EQ(::waitpid(child, &status, 0), child);
                EXPECT_TRUE(stopped);
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
                EXPECT_EQ(contentsOf(target), "old");
                EXPECT_EQ(namesIn(folder_), std::set<std::string>{"target"});
            }
        }
    }
}

// A write that fails part-way (here the file-size limit, as a full disk would) keeps the old file.
TEST_F(FileReplacement, AFailedWriteLeavesTheOldFileAndNoOther) {
    const fs::path target = folder_ / "target";
    writeFile(target, "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024 * 1024, 1024 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string why = replaceFile(target.string(), std::string(3 * 1024 * 1024, 'x'));
        ::_exit(why.find("cannot write: File too large") == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(contentsOf(target), "old");
    EXPECT_EQ(namesIn(folder_), std::set<std::string>{"target"});
}

TEST_F(FileReplacement, ReadersSeeTheOldFileOrTheNewOneNeverAPart) {
    const fs::path target = folder_ / "target";
    const std::string small(100, 's');
    const std::string large(256 * 1024, 'L');
    writeFile(target, small);
    std::atomic<bool> stop = false;
    std::thread saver([&] {
        for (int i = 0; !stop; ++i) replaceFile(target.string(), i % 2 == 0 ? large : small);
    });
    int seenSmall = 0, seenLarge = 0, seenOther = 0;
    for (int i = 0; i < 300 || seenSmall == 0 || seenLarge == 0; ++i) {
        const std::string bytes = contentsOf(target);  // a file that cannot be read counts as another
        seenSmall += bytes == small;
        seenLarge += bytes == large;
        seenOther += bytes != small && bytes != large;
        if (i > 100000) break;
    }
    stop = true;
    saver.join();
    EXPECT_EQ(seenOther, 0);
    EXPECT_GT(seenSmall, 0);
    EXPECT_GT(seenLarge, 0);
}

}  // namespace
