#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "scan/regular_file.h"

namespace tavrix {
namespace {

// A folder holding root/ (the root a scan is given) and, beside it, a secret the root's links aim at.
struct RootWithLinks {
    RootWithLinks() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrix-beneath-XXXXXX").string();
        top = mkdtemp(pattern.data());
        for (const auto& [path, contents] : {std::pair{"secret", "outside"}, {"root/secret", "inside"},
                                             {"root/sys/devices/virtual/dmi/id/sys_vendor", "Acme\n"}}) {
            std::filesystem::create_directories((top / path).parent_path());
            std::ofstream(top / path, std::ios::binary) << contents;
        }
        std::filesystem::create_directories(top / "root/sys/class/dmi");
        std::filesystem::create_directories(top / "root/sys/up");
        for (const auto& [target, path] :
             {std::pair<std::string, const char*>{"../../devices/virtual/dmi/id", "root/sys/class/dmi/id"},
              {top.string() + "/secret", "root/sys/absolute"}, {"../../secret", "root/sys/relative"},
              {"up/../../../secret", "root/sys/chain"}, {"loop-b", "root/sys/loop-a"}, {"loop-a", "root/sys/loop-b"}}) {
            std::filesystem::create_symlink(target, top / path);
        }
        ::mkfifo((top / "root/fifo").c_str(), 0600);
    }
    ~RootWithLinks() { std::filesystem::remove_all(top); }
    std::string root() const { return (top / "root").string(); }
    std::filesystem::path top;
};

std::string outcome(const RegularFile& file) {
    if (file.bytes) return *file.bytes;
    return (file.missing ? "missing: " : "") + file.why;
}

// The kernel resolution is openat2 on any Linux since 5.6; the walk is what runs where it is not.
TEST(RegularFile, APathBeneathTheRootNeverLeadsOutOfIt) {
    alarm(20);  // a FIFO that blocks ends the test here
    const RootWithLinks files;
    const std::pair<std::string, std::string> cases[] = {
        {"/sys/class/dmi/id/sys_vendor", "Acme\n"},  // a link that stays inside
        {"/sys/devices/virtual/dmi/id/sys_vendor", "Acme\n"},
        {"/sys/absolute", "missing: cannot open: No such file or directory"},  // its target, beneath the root
        {"/sys/relative", "inside"},                                            // ".." stops at the root
        {"/sys/chain", "inside"},
        {"/../../secret", "inside"},
        {"/sys/loop-a", "cannot open: Too many levels of symbolic links"},
        {"/fifo", "not a regular file"},
        {"/sys/class/dmi/id", "not a regular file"},
        {"/sys/no-such-file", "missing: cannot open: No such file or directory"},
        {"/secret/below", "missing: cannot open: Not a directory"},
    };
    for (const RootResolution resolution : {RootResolution::kernel, RootResolution::walk}) {
        for (const auto& [path, expected] : cases) {
            EXPECT_EQ(outcome(RegularFile::readBeneath(files.root(), path, 1024, LongerFile::refused, resolution)),
                      expected)
                << path << (resolution == RootResolution::walk ? " by the walk" : " by the kernel");
        }
        EXPECT_EQ(outcome(RegularFile::readBeneath(files.root() + "/", "/secret", 3, LongerFile::refused, resolution)),
                  "larger than 3 bytes");
        EXPECT_EQ(outcome(RegularFile::readBeneath(files.root(), "/secret", 3, LongerFile::firstBytes, resolution)),
                  "ins");
    }
    EXPECT_EQ(outcome(RegularFile::readBeneath("/", files.root() + "/sys/relative", 1024)), "outside");
    alarm(0);
}

}  // namespace
}  // namespace tavrix
