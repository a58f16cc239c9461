#include "ui/win32/window.h"

#include <stdexcept>
#include <vector>

#include "scan/utf16_text.h"

namespace tavrix::win32 {

namespace {

std::string utf8OfWide(const wchar_t* text, int length) { return utf8Of(std::wstring_view(text, static_cast<std::size_t>(length))); }

}  // namespace

std::string NativeWindow::text() const {
    const int length = GetWindowTextLengthW(handle_);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(handle_, buffer.data(), length + 1);
    return utf8OfWide(buffer.data(), copied);
}

void NativeWindow::setText(std::string_view utf8) const {
    if (!SetWindowTextW(handle_, utf16Of(utf8).c_str())) throw std::runtime_error("cannot set a control's text");
}

RECT NativeWindow::clientRect() const {
    RECT rect{};
    GetClientRect(handle_, &rect);
    return rect;
}

RECT NativeWindow::clientRectOnScreen() const {
    RECT rect = clientRect();
    MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ListBox::row(int index) const {
    const auto length = send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const auto copied = send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return utf8OfWide(buffer.data(), copied == LB_ERR ? 0 : static_cast<int>(copied));
}

void ListBox::append(std::string_view utf8) const {
    const auto added = send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(utf16Of(utf8).c_str()));
    if (added == LB_ERR || added == LB_ERRSPACE) throw std::runtime_error("cannot add a row to a list");
}

}  // namespace tavrix::win32
