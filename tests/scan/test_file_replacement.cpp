// A saved file replaces the old one whole or not at all, and never writes through a link.
#include "scan/file_replacement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
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

TEST_F(FileReplacement, ReplacesWhatIsAtThePathAndNeverFollowsALink) {
    const fs::path target = folder_ / "target", other = folder_ / "other";
    const struct {
        const char* what;
        std::function<void()> plant;
        const char* failure;  // empty: the save succeeds
        std::set<std::string> namesAfter;
    } cases[] = {
        {"no file", [] {}, "", {"target"}},
        {"an old file", [&] { writeFile(target, "old"), fs::permissions(target, fs::perms(0600)); }, "", {"target"}},
        {"a link to another file", [&] { writeFile(other, "not yours"), fs::create_symlink(other, target); }, "",
         {"target", "other"}},
        {"a dangling link", [&] { fs::create_symlink(other, target); }, "", {"target"}},
        {"a folder", [&] { fs::create_directory(target), writeFile(target / "inside", "kept"); }, "cannot replace: ",
         {"target"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.plant();
        const std::string why = replaceFile(target.string(), "new bytes");
        if (*c.failure == '\0') {
            EXPECT_EQ(why, "");
            EXPECT_FALSE(fs::is_symlink(target));
            EXPECT_EQ(contentsOf(target), "new bytes");
            EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));  // 0666 less the umask 027
        } else {
            EXPECT_THAT(why, HasSubstr(c.failure));
            EXPECT_EQ(contentsOf(target / "inside"), "kept");
        }
        EXPECT_TRUE(!fs::exists(other) || contentsOf(other) == "not yours");
        EXPECT_EQ(namesIn(folder_), c.namesAfter);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    EXPECT_THAT(replaceFile((folder_ / "missing" / "target").string(), "x"), HasSubstr("cannot write: "));
    EXPECT_TRUE(fs::is_empty(folder_));
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
