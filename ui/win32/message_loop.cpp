#include "ui/win32/message_loop.h"

#include "ui/win32/browser_host.h"
#include "ui/win32/top_level_window.h"

namespace tavrix::win32 {

void dispatchMessage(MSG& message) {
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (BrowserHost* page = key ? BrowserHost::containing(message.hwnd) : nullptr) {
        if (page->translateKey(message)) return;
    } else if (message.hwnd) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && TopLevelWindow::handlesDialogKeys(root) && IsDialogMessageW(root, &message)) {
            if (message.message == WM_KEYDOWN && message.wParam == VK_TAB)
                if (BrowserHost* entered = BrowserHost::containing(GetFocus())) entered->enteredByTab(message);
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int runMessageLoop(const std::function<bool()>& ended, const std::function<void()>& afterEach) {
    MSG message{};
    while (!ended()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        dispatchMessage(message);
        if (afterEach) afterEach();
    }
    return 0;
}

void processPendingMessages(const std::function<void()>& afterEach) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatchMessage(message);
        if (afterEach) afterEach();
    }
}

}  // namespace tavrix::win32
