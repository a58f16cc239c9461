#include "ui/win32/top_level_window.h"

#include <exception>
#include <stdexcept>

#include "scan/utf16_text.h"
#include "ui/win32/accessible_control.h"
#include "ui/win32/failure_report.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/screen_fit.h"

namespace tavrix::win32 {

namespace {

const wchar_t windowClass[] = L"TavrixWindow";
const wchar_t dialogKeysProperty[] = L"TavrixDialogKeys";

HICON programIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TAVRIX_PROGRAM_ICON), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

// The hand cursor of res/, or the system's when the program carries none (tests).
HCURSOR handCursor() {
    if (auto own = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TAVRIX_HAND_CURSOR),
                                                   IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED)))
        return own;
    return LoadCursorW(nullptr, IDC_HAND);
}

void registerWindowClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = procedure;
    windowClassInfo.hInstance = GetModuleHandleW(nullptr);
    windowClassInfo.hIcon = programIcon(GetSystemMetrics(SM_CXICON));
    windowClassInfo.hIconSm = programIcon(GetSystemMetrics(SM_CXSMICON));
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    if (!RegisterClassExW(&windowClassInfo)) throw std::runtime_error("cannot register the window class");
    registered = true;
}

}  // namespace

// The window class's procedure: the window's object comes with WM_NCCREATE, so it sees every message.
LRESULT CALLBACK TopLevelWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<TopLevelWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created) created->handle_ = window;
    }
    auto* self = reinterpret_cast<TopLevelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || failureReported()) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception& failure) {
        reportFailureAndExit(failure);
    } catch (...) {
        reportFailureAndExit("Unknown failure");
    }
}

TopLevelWindow::~TopLevelWindow() { destroyWindow(); }

bool TopLevelWindow::handlesDialogKeys(HWND window) { return GetPropW(window, dialogKeysProperty) != nullptr; }

void TopLevelWindow::createWindow(HWND owner, const ControlFactory& makeOther) {
    if (handle_) return;
    registerWindowClass(&procedure);
    const WindowStyle style = windowStyle(description_);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    scale_ = fittingScale(description_, PixelScale::ofScreen(), work);
    const RECT outer = placedInside(windowRect(description_, scale_, PixelScale::ofScreen().dpi), work);
    HWND made = CreateWindowExW(style.exStyle, windowClass, utf16Of(description_.title).c_str(), style.style,
                                outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, owner,
                                nullptr, GetModuleHandleW(nullptr), this);
    if (!made) throw std::runtime_error(std::string("cannot create the window ") + description_.name);
    SendMessageW(made, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon(GetSystemMetrics(SM_CXICON))));
    SendMessageW(made, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon(GetSystemMetrics(SM_CXSMICON))));
    describeForScreenReaders(made, forms::accessibleDescription(description_));
    form_ = BuiltForm::build(description_, made, scale_, handCursor(), makeOther);
    if (!form_.tabOrder().empty()) SetPropW(made, dialogKeysProperty, reinterpret_cast<HANDLE>(1));
}

void TopLevelWindow::rescaleTo(int dpi, const RECT& suggested) {
    if (!handle_ || dpi <= 0) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    scale_ = fittingScale(description_, PixelScale{dpi}, monitor.rcWork);
    const RECT size = windowRect(description_, scale_, dpi);
    RECT outer = suggested;
    outer.right = outer.left + (size.right - size.left);
    outer.bottom = outer.top + (size.bottom - size.top);
    outer = placedInside(outer, monitor.rcWork);
    SetWindowPos(handle_, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    form_.rescale(scale_);
    onRescaled();
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TopLevelWindow::destroyWindow() {
    if (!handle_) return;
    HWND going = handle_;
    form_ = BuiltForm();
    RemovePropW(going, dialogKeysProperty);
    DestroyWindow(going);
    handle_ = nullptr;
}

void TopLevelWindow::showActive() {
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    SetActiveWindow(handle_);
    const HWND first = form_.tabOrder().empty() ? handle_ : form_.tabOrder().front();
    lastFocus_ = first;
    SetFocus(first);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    announceShownWindow(handle_, forms::accessibleDescription(description_));
}

void TopLevelWindow::onCommand(HWND, int, int) {}

void TopLevelWindow::onRescaled() {}

LRESULT TopLevelWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TopLevelWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            if (form_.colourStatic(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), brush)) return brush;
            break;
        }
        case WM_SETCURSOR:
            if (form_.setCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_ACTIVATE:
            // The focus goes back to the control that had it, not to the window.
            if (form_.tabOrder().empty()) break;
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (HWND focus = GetFocus(); focus && IsChild(handle_, focus)) lastFocus_ = focus;
            } else if (lastFocus_ && IsWindow(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            // Moved to a monitor of another dpi (or its dpi changed): laid out again there.
            rescaleTo(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_COMMAND:
            // IsDialogMessage turns Enter into IDOK and Esc into IDCANCEL: Enter chooses the focused
            // button, if any; there is no default and no cancel button.
            if (lParam == 0 || LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                if (LOWORD(wParam) != IDOK) return 0;
                const HWND focus = GetFocus();
                const forms::ControlDescription* focused = form_.description(focus);
                if (focused && focused->kind == forms::ControlKind::Button)
                    onCommand(focus, GetDlgCtrlID(focus), BN_CLICKED);
                return 0;
            }
            onCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return 0;
    }
    return onMessage(message, wParam, lParam);
}

}  // namespace tavrix::win32
