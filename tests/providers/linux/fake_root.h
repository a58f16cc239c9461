#pragma once

// A temporary directory standing in for "/", with the files a test puts there.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tavrix::testing {

class FakeRoot {
public:
    FakeRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrix-root-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~FakeRoot() { std::filesystem::remove_all(path_); }
    FakeRoot(const FakeRoot&) = delete;
    FakeRoot& operator=(const FakeRoot&) = delete;

    // Writes the file at the path below the root, creating its folders.
    void write(const std::string& path, const std::string& contents) const {
        const auto full = path_ / path.substr(path.front() == '/' ? 1 : 0);
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << contents;
    }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

}  // namespace tavrix::testing
