#pragma once

#include <windows.h>

#include <functional>

namespace tavrix::win32 {

// Hands one message to its window: a key for the focus in WB to the page first (BrowserHost::
// translateKey); any other through IsDialogMessage for a window with a Tab order (Tab, Enter, Esc
// and Space as in a dialog); else translated and dispatched.
void dispatchMessage(MSG& message);

// Runs the thread's messages until WM_QUIT or until ended() says so, calling afterEach after every
// message; returns WM_QUIT's status, or 0.
int runMessageLoop(const std::function<bool()>& ended, const std::function<void()>& afterEach);

// Handles every message already queued, then returns (tests).
void processPendingMessages(const std::function<void()>& afterEach = {});

}  // namespace tavrix::win32
