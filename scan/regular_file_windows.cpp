#include <windows.h>

#include "scan/regular_file.h"
#include "scan/utf16_text.h"

namespace tavrix {

namespace {

// "cannot open: The system cannot find the path specified", from the system's own text.
std::string failure(const char* step, DWORD error) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                  0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) --length;
    if (length == 0) return std::string(step) + ": error " + std::to_string(error);
    return std::string(step) + ": " + std::string(text, length);
}

}  // namespace

// The path is UTF-8 and opened through the wide calls, so that any name the user can type is read.
RegularFile RegularFile::read(const std::string& path, std::size_t limit, LongerFile longer) {
    RegularFile file;
    const HANDLE handle = CreateFileW(utf16Of(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        file.missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        file.why = file.missing ? "cannot open: No such file or directory" : failure("cannot open", error);
        return file;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        file.why = "not a regular file";
        return file;
    }
    std::string bytes;
    char buffer[16384];
    DWORD count = 0;
    BOOL read = FALSE;
    while ((read = ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) && count > 0) {
        bytes.append(buffer, count);
        if (bytes.size() > limit && longer == LongerFile::firstBytes) {
            bytes.resize(limit);
            break;
        }
        if (bytes.size() > limit) {
            file.why = "larger than " + sizeText(limit);
            break;
        }
    }
    if (!read && file.why.empty()) file.why = failure("cannot read", GetLastError());
    CloseHandle(handle);
    if (file.why.empty()) file.bytes = std::move(bytes);
    return file;
}

// Windows programs take no root folder: the path is read as it is, after the root.
RegularFile RegularFile::readBeneath(const std::string& root, const std::string& path, std::size_t limit,
                                     LongerFile longer, RootResolution) {
    return read(root + path, limit, longer);
}

}  // namespace tavrix
