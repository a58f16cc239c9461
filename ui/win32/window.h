#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavrix::win32 {

// A thin handle of one window or control; it owns nothing.
class NativeWindow {
public:
    NativeWindow(HWND handle = nullptr) : handle_(handle) {}
    operator HWND() const { return handle_; }
    HWND handle() const { return handle_; }

    // The text as UTF-8, and setting it from UTF-8 (invalid sequences shown as U+FFFD).
    std::string text() const;
    void setText(std::string_view utf8) const;
    int id() const { return GetDlgCtrlID(handle_); }
    bool isVisible() const { return IsWindowVisible(handle_) != FALSE; }
    RECT clientRect() const;
    // The client area's place on the screen.
    RECT clientRectOnScreen() const;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(handle_, message, wParam, lParam);
    }

private:
    HWND handle_;
};

// A single-selection list box.
class ListBox : public NativeWindow {
public:
    using NativeWindow::NativeWindow;
    int count() const { return static_cast<int>(send(LB_GETCOUNT)); }
    // The selected row; -1 when none is.
    int selectedRow() const { return static_cast<int>(send(LB_GETCURSEL)); }
    // Selects the row (-1: none) without notifying the list's parent.
    void selectRow(int row) const { send(LB_SETCURSEL, static_cast<WPARAM>(row)); }
    int topRow() const { return static_cast<int>(send(LB_GETTOPINDEX)); }
    std::string row(int index) const;
    void clear() const { send(LB_RESETCONTENT); }
    void append(std::string_view utf8) const;
};

}  // namespace tavrix::win32
