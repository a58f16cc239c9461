#include "message_loop.h"

#include "top_level_window.h"

namespace tavrix::win32 {

void dispatchMessage(MSG& message) {
    if (message.hwnd) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && TopLevelWindow::handlesDialogKeys(root) && IsDialogMessageW(root, &message)) return;
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
