// tavrix_probe.exe: looks at a running tavrix.exe from another process under the same Wine
// server, for the end-to-end test.
//   tavrix_probe window NAME        the client area of the window (Dialog, frmSplash, Form1): x y w h
//   tavrix_probe centre CONTROL     the screen point at the centre of a control of a shown window
//   tavrix_probe values             Form1's value labels and list rows, as tavrix-report --window prints them
//   tavrix_probe clipboard          the clipboard's CF_UNICODETEXT as UTF-8, unchanged
//   tavrix_probe message TITLE      the text of the message box with that title, then closes it
//   tavrix_probe close NAME         asks the window to close, as its close box does
// Copied to ...\Internet Explorer\iexplore.exe it writes its own command line to command_line.txt
// beside itself, so the test sees what the chat launch started.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "forms/dialog_form.h"
#include "forms/form1_form.h"
#include "forms/splash_form.h"
#include "scan/scan_sink.h"
#include "scan/utf16_text.h"
#include "ui/win32/form_builder.h"

namespace {

using tavrix::forms::WindowDescription;

std::string utf8(const std::wstring& text) { return tavrix::utf8Of(std::wstring_view(text)); }

std::wstring textOf(HWND window) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1);
    const int length = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return {buffer.data(), static_cast<std::size_t>(length)};
}

int indexOf(const WindowDescription& window, const char* name) {
    int index = 0;
    for (const auto& control : window.controls) {
        if (std::strcmp(control.name, name) == 0) return index;
        ++index;
    }
    return -1;
}

struct Search {
    const WindowDescription* description;
    HWND found = nullptr;
};

// A shown window of tavrix.exe is told apart by its class and by its number of controls.
BOOL CALLBACK findWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wcscmp(className, L"TavrixWindow") != 0 || !IsWindowVisible(window)) return TRUE;
    const int count = static_cast<int>(search->description->controls.size());
    if (!GetDlgItem(window, tavrix::win32::firstControlId + count - 1)) return TRUE;
    if (GetDlgItem(window, tavrix::win32::firstControlId + count)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND shownWindow(const WindowDescription& description) {
    Search search{&description};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The shown window of that name (Dialog, frmSplash, Form1), or null.
HWND shownWindow(const std::string& name) {
    for (const WindowDescription* window :
         {&tavrix::forms::dialogForm(), &tavrix::forms::splashForm(), &tavrix::forms::form1Form()})
        if (name == window->name) return shownWindow(*window);
    return nullptr;
}

HWND controlOf(HWND window, const WindowDescription& description, const char* name) {
    const int index = indexOf(description, name);
    return window && index >= 0 ? GetDlgItem(window, tavrix::win32::firstControlId + index) : nullptr;
}

int printWindow(const std::string& name) {
    HWND window = shownWindow(name);
    if (!window) return 1;
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("%ld %ld %ld %ld\n", client.left, client.top, client.right - client.left, client.bottom - client.top);
    return 0;
}

int printCentre(const std::string& name) {
    for (const WindowDescription* description : {&tavrix::forms::dialogForm(), &tavrix::forms::form1Form()}) {
        if (indexOf(*description, name.c_str()) < 0) continue;
        HWND control = controlOf(shownWindow(*description), *description, name.c_str());
        if (!control) return 1;
        RECT place{};
        GetWindowRect(control, &place);
        std::printf("%ld %ld\n", (place.left + place.right) / 2, (place.top + place.bottom) / 2);
        return 0;
    }
    return 1;
}

int closeWindow(const std::string& name) {
    HWND window = shownWindow(name);
    return window && PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
}

int printValues() {
    const WindowDescription& form1 = tavrix::forms::form1Form();
    HWND window = shownWindow(form1);
    if (!window) return 1;
    auto control = [&](std::string_view name) { return controlOf(window, form1, std::string(name).c_str()); };
    std::string text;
    auto line = [&](std::string_view name, const std::wstring& value) {
        text.append(name).append("=").append(utf8(value)).append("\n");
    };
    for (int i = 0; i < tavrix::valueLabelCount; ++i) {
        const auto label = static_cast<tavrix::ValueLabel>(i);
        line(tavrix::controlName(label), textOf(control(tavrix::controlName(label))));
    }
    for (const auto list :
         {tavrix::ModuleList::slotsLst, tavrix::ModuleList::memoryLst, tavrix::ModuleList::speedLst}) {
        HWND box = control(tavrix::controlName(list));
        for (LRESULT row = 0, rows = SendMessageW(box, LB_GETCOUNT, 0, 0); row < rows; ++row) {
            std::vector<wchar_t> buffer(static_cast<std::size_t>(SendMessageW(box, LB_GETTEXTLEN, row, 0)) + 1);
            const auto length = SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(buffer.data()));
            line(tavrix::controlName(list), {buffer.data(), static_cast<std::size_t>(length)});
        }
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int printClipboard() {
    if (!OpenClipboard(nullptr)) return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    int status = 1;
    if (data) {
        const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
        const std::string bytes = utf8(text);
        GlobalUnlock(data);
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        status = 0;
    }
    CloseClipboard();
    return status;
}

int printMessage(const std::string& title) {
    HWND box = FindWindowW(L"#32770", tavrix::utf16Of(title).c_str());
    if (!box) return 1;
    std::wstring longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        if (_wcsicmp(className, L"Static") == 0 && textOf(child).size() > longest.size()) longest = textOf(child);
    }
    std::printf("%s\n", utf8(longest).c_str());
    std::fflush(stdout);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
}

// As the chat's browser: the command line it was started with, in command_line.txt beside it.
bool recordCommandLine() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* name = std::wcsrchr(path, L'\\');
    if (!name || _wcsicmp(name + 1, L"iexplore.exe") != 0) return false;
    std::wcscpy(name + 1, L"command_line.txt");
    if (FILE* file = _wfopen(path, L"wb")) {
        const std::string line = utf8(GetCommandLineW());
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (recordCommandLine()) return 0;
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc > 1 ? argv[1] : "";
    const std::string argument = argc > 2 ? argv[2] : "";
    if (command == "window") return printWindow(argument);
    if (command == "centre") return printCentre(argument);
    if (command == "values") return printValues();
    if (command == "clipboard") return printClipboard();
    if (command == "message") return printMessage(argument);
    if (command == "close") return closeWindow(argument);
    std::fprintf(
        stderr, "usage: tavrix_probe window NAME | centre CONTROL | values | clipboard | message TITLE | close NAME\n");
    return 2;
}
