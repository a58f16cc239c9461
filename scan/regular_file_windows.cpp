#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "scan/regular_file.h"

namespace tavrix {

RegularFile RegularFile::read(const std::string& path, std::size_t limit, LongerFile longer) {
    RegularFile file;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        file.why = "cannot open: No such file or directory";
        file.missing = true;
        return file;
    }
    if (!error && status.type() != std::filesystem::file_type::regular) {
        file.why = "not a regular file";
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.why = std::string("cannot open: ") + std::strerror(errno);
        return file;
    }
    std::string bytes;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > limit && longer == LongerFile::firstBytes) {
            bytes.resize(limit);
            break;
        }
        if (bytes.size() > limit) {
            file.why = "larger than " + sizeText(limit);
            return file;
        }
    }
    if (in.bad()) {
        file.why = std::string("cannot read: ") + std::strerror(errno);
        return file;
    }
    file.bytes = std::move(bytes);
    return file;
}

// Windows programs take no root folder: the path is read as it is, after the root.
RegularFile RegularFile::readBeneath(const std::string& root, const std::string& path, std::size_t limit,
                                     LongerFile longer, RootResolution) {
    return read(root + path, limit, longer);
}

}  // namespace tavrix
