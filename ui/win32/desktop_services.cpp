#include "ui/win32/desktop_services.h"

#include <shellapi.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "forms/program_texts.h"
#include "scan/utf16_text.h"

namespace tavrix::win32 {

namespace {

std::runtime_error lastError(const std::string& what) {
    return std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

class SystemClipboard : public Clipboard {
public:
    void replaceText(HWND owner, const std::string& utf8) override {
        if (!OpenClipboard(owner)) throw lastError("The clipboard cannot be opened");
        struct Closer {
            ~Closer() { CloseClipboard(); }
        } closer;
        if (!EmptyClipboard()) throw lastError("The clipboard cannot be cleared");
        const std::wstring text = utf16Of(utf8);
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!memory) throw lastError("No memory for the clipboard text");
        void* target = GlobalLock(memory);
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) {
            GlobalFree(memory);
            throw lastError("The clipboard text cannot be set");
        }
    }
};

class SystemLauncher : public ProcessLauncher {
public:
    void start(const std::wstring& program, const std::wstring& commandLine, int showWindow) override {
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showWindow);
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &started))
            throw lastError("The program cannot be started");
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }

    void openInBrowser(const std::string& address) override {
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", utf16Of(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result <= 32)
            throw std::runtime_error("No browser opens " + address + " (error " + std::to_string(result) + ")");
    }
};

class SystemMessageBoxes : public MessageBoxes {
public:
    void show(HWND owner, const std::string& utf8) override {
        MessageBoxW(owner, utf16Of(utf8).c_str(), utf16Of(forms::applicationTitle).c_str(), MB_OK);
    }
};

}  // namespace

DesktopServices systemDesktopServices() {
    static SystemClipboard clipboard;
    static SystemLauncher launcher;
    static SystemMessageBoxes messageBox;
    return {clipboard, launcher, messageBox};
}

}  // namespace tavrix::win32
