#include <windows.h>

#include <cstdio>
#include <random>

#include "scan/file_replacement.h"
#include "scan/utf16_text.h"

namespace tavrix {

namespace {

std::string failure(const char* step, DWORD error) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) --length;
    if (length == 0) return std::string(step) + ": error " + std::to_string(error);
    return std::string(step) + ": " + std::string(text, length);
}

// Empty when what is at the path may be replaced (nothing, a file or a link); otherwise why not:
// a folder, a device (NUL, COM1) or a pipe. A path that cannot be opened to look is left to the
// steps that follow to report.
std::string refusal(const std::string& path) {
    const HANDLE existing =
        CreateFileW(utf16Of(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return {};
    const DWORD type = GetFileType(existing);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool folder = type == FILE_TYPE_DISK && GetFileInformationByHandle(existing, &information) &&
                        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    CloseHandle(existing);
    const char* kind = folder                   ? "a folder"
                       : type == FILE_TYPE_CHAR ? "a device"
                       : type == FILE_TYPE_PIPE ? "a pipe"
                                                : nullptr;
    if (kind == nullptr) return {};
    return std::string("cannot replace: it is ") + kind + ", not a regular file or a link";
}

}  // namespace

// The path is UTF-8; the files are named through the wide calls, so that any name the user can type works.
std::string replaceFile(const std::string& path, std::string_view bytes) {
    if (std::string why = refusal(path); !why.empty()) return why;
    const std::size_t slash = path.find_last_of("/\\:");
    const std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);

    std::random_device random;
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".tavrix-save-%08x%08x", random(), random());
        temporary = prefix + name;
        // CREATE_NEW fails on any existing name, a link included, so nothing is opened through one.
        file = CreateFileW(utf16Of(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return failure("cannot write", GetLastError());
    }
    if (file == INVALID_HANDLE_VALUE) return failure("cannot write", ERROR_FILE_EXISTS);

    std::string why;
    while (!bytes.empty() && why.empty()) {
        const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            why = failure("cannot write", GetLastError());
        } else {
            bytes.remove_prefix(written);
        }
    }
    if (why.empty() && !FlushFileBuffers(file)) why = failure("cannot write", GetLastError());
    if (!CloseHandle(file) && why.empty()) why = failure("cannot write", GetLastError());
    if (why.empty() &&
        !MoveFileExW(utf16Of(temporary).c_str(), utf16Of(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        why = failure("cannot replace", GetLastError());
    }
    if (!why.empty()) DeleteFileW(utf16Of(temporary).c_str());
    return why;
}

}  // namespace tavrix
