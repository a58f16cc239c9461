#include "ui/win32/form_builder.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "scan/utf16_text.h"
#include "ui/win32/accessible_control.h"

namespace tavrix::win32 {

namespace {

using forms::ControlDescription;
using forms::ControlKind;

const wchar_t textBoxProcedureProperty[] = L"TavrixTextBoxProcedure";

// Text1 leaves Tab, Enter and Esc to the window: Tab moves on, Enter and Esc choose no button.
LRESULT CALLBACK textBoxProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(control, textBoxProcedureProperty));
    switch (message) {
        case WM_GETDLGCODE:
            return CallWindowProcW(original, control, message, wParam, lParam) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        case WM_KEYDOWN:
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == '\n') return 0;
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropW(control, textBoxProcedureProperty);
            break;
    }
    return CallWindowProcW(original, control, message, wParam, lParam);
}

struct NativeKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

NativeKind nativeKind(const ControlDescription& control) {
    const DWORD focus = control.takesFocus() ? WS_TABSTOP : 0;
    const DWORD notify = control.pointer == forms::Pointer::Hand ? SS_NOTIFY : 0;
    switch (control.kind) {
        case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::CaptionLabel:
        case ControlKind::ValueLabel:
        case ControlKind::LinkLabel: return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | notify, 0};
        case ControlKind::Picture: return {L"STATIC", SS_ICON | notify, 0};
        case ControlKind::TextBox:
            return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | focus, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | focus, WS_EX_CLIENTEDGE};
        case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | focus, 0};
        case ControlKind::Browser: break;
    }
    return {nullptr, 0, 0};
}

// The width of the text in the font, in pixels.
int textWidth(HFONT font, const std::wstring& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    DeleteDC(dc);
    return extent.cx;
}

// A fixed caption wider than its label (where the system's face is wider than the layout's) is
// set in the TrueType twin of the face with its letters condensed just enough to fit; null when
// it fits as it is.
HFONT condensedToFit(HFONT font, const ControlDescription& control, int available) {
    if (!control.isLabel() || control.kind == ControlKind::ValueLabel || !*control.caption) return nullptr;
    const std::wstring caption = utf16Of(control.caption);
    if (textWidth(font, caption) <= available) return nullptr;
    LOGFONTW shape{};
    GetObjectW(font, sizeof shape, &shape);
    shape.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    shape.lfWidth = 0;
    HFONT trueType = CreateFontIndirectW(&shape);
    if (!trueType) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, trueType);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    const int natural = textWidth(trueType, caption);
    DeleteObject(trueType);
    if (natural <= 0) return nullptr;
    for (int width = metrics.tmAveCharWidth * available / natural; width > 0; --width) {
        shape.lfWidth = width;
        HFONT condensed = CreateFontIndirectW(&shape);
        if (condensed && textWidth(condensed, caption) <= available) return condensed;
        if (condensed) DeleteObject(condensed);
    }
    return nullptr;
}

}  // namespace

int controlId(const forms::WindowDescription& window, std::string_view name) {
    for (std::size_t i = 0; i < window.controls.size(); ++i)
        if (name == window.controls[i].name) return firstControlId + static_cast<int>(i);
    throw std::out_of_range("the window has no control " + std::string(name));
}

BuiltForm::BuiltForm(BuiltForm&& other) noexcept { *this = std::move(other); }

BuiltForm& BuiltForm::operator=(BuiltForm&& other) noexcept {
    if (this != &other) {
        release();
        window_ = std::exchange(other.window_, nullptr);
        controls_ = std::move(other.controls_);
        tabOrder_ = std::move(other.tabOrder_);
        fonts_ = std::move(other.fonts_);
        hand_ = other.hand_;
    }
    return *this;
}

BuiltForm::~BuiltForm() { release(); }

// The controls are destroyed with their window; the fonts outlive them only until here.
void BuiltForm::release() {
    for (HWND control : controls_)
        if (IsWindow(control)) DestroyWindow(control);
    for (HFONT font : fonts_) DeleteObject(font);
    controls_.clear();
    tabOrder_.clear();
    fonts_.clear();
}

BuiltForm BuiltForm::build(const forms::WindowDescription& window, HWND handle, PixelScale scale, HCURSOR hand,
                           const ControlFactory& makeOther) {
    BuiltForm form;
    form.window_ = &window;
    form.hand_ = hand;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    int index = 0;
    for (const ControlDescription& control : window.controls) {
        const RECT place = scale.rect(window.placeInClientArea(control));
        const int id = firstControlId + index++;
        HWND made = nullptr;
        if (control.kind == ControlKind::Browser) {
            if (makeOther) made = makeOther(control, handle, place, id);
        } else {
            const NativeKind kind = nativeKind(control);
            made = CreateWindowExW(kind.exStyle, kind.className, utf16Of(control.caption).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, handle,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        }
        if (!made) throw std::runtime_error(std::string("cannot create the control ") + control.name);
        if (control.kind == ControlKind::TextBox) {
            SetPropW(made, textBoxProcedureProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(made, GWLP_WNDPROC)));
            SetWindowLongPtrW(made, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&textBoxProcedure));
        }
        // The browser keeps its own accessibility, reached through its window.
        if (control.kind != ControlKind::Browser)
            describeForScreenReaders(made, forms::accessibleDescription(window, control));
        form.controls_.push_back(made);
    }
    form.setFonts(scale, false);
    for (const ControlDescription* control : window.tabOrder()) form.tabOrder_.push_back(form.control(control->name));

    // The description's stacking, which is also the order IsDialogMessage's Tab follows.
    for (const ControlDescription* control : window.topToBottom())
        SetWindowPos(form.control(control->name), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return form;
}

// One GDI font for each distinct face, size and weight the window uses, and a condensed one for a
// caption that would not fit its label; the fonts the controls had before are freed after.
void BuiltForm::setFonts(PixelScale scale, bool redraw) {
    struct MadeFont {
        forms::FontDescription description;
        HFONT font;
    };
    std::vector<MadeFont> made;
    std::vector<HFONT> fonts;
    auto fontFor = [&](const forms::FontDescription& wanted) {
        for (const MadeFont& m : made)
            if (std::strcmp(m.description.face, wanted.face) == 0 && m.description.points == wanted.points &&
                m.description.weight == wanted.weight)
                return m.font;
        HFONT font = CreateFontW(scale.fontHeight(wanted.points), 0, 0, 0, wanted.weight, FALSE, FALSE, FALSE,
                                 ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, utf16Of(wanted.face).c_str());
        if (!font) {
            for (HFONT f : fonts) DeleteObject(f);
            throw std::runtime_error(std::string("cannot create the font ") + wanted.face);
        }
        made.push_back({wanted, font});
        fonts.push_back(font);
        return font;
    };
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlDescription& control = window_->controls[i];
        const RECT place = scale.rect(window_->placeInClientArea(control));
        HFONT font = fontFor(control.font);
        if (HFONT condensed = condensedToFit(font, control, place.right - place.left)) {
            fonts.push_back(condensed);
            font = condensed;
        }
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    for (HFONT font : fonts_) DeleteObject(font);
    fonts_ = std::move(fonts);
}

void BuiltForm::rescale(PixelScale scale) {
    if (!window_) return;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const RECT place = scale.rect(window_->placeInClientArea(window_->controls[i]));
        SetWindowPos(controls_[i], nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    setFonts(scale, true);
}

HWND BuiltForm::control(std::string_view name) const {
    if (window_) {
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (name == window_->controls[i].name) return controls_[i];
    }
    throw std::out_of_range("the window has no control " + std::string(name));
}

const forms::ControlDescription* BuiltForm::description(HWND control) const {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i] == control) return &window_->controls[i];
    return nullptr;
}

bool BuiltForm::colourStatic(HWND control, HDC dc, LRESULT& brush) const {
    const ControlDescription* described = description(control);
    if (!described || !described->textColour) return false;
    const forms::Rgb colour = *described->textColour;
    SetTextColor(dc, RGB(colour.red, colour.green, colour.blue));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    brush = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

bool BuiltForm::setCursor(HWND control) const {
    const ControlDescription* described = description(control);
    if (!described || described->pointer != forms::Pointer::Hand || !hand_) return false;
    SetCursor(hand_);
    return true;
}

WindowStyle windowStyle(const forms::WindowDescription& window) {
    DWORD style = WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    if (!window.titleBar) {
        style |= WS_POPUP | WS_DLGFRAME;
    } else {
        style |= (window.inTaskbar ? WS_OVERLAPPED : WS_POPUP) | WS_CAPTION;
        if (window.systemMenu) style |= WS_SYSMENU;
        if (window.minimizeButton) style |= WS_MINIMIZEBOX;
        if (window.maximizeButton) style |= WS_MAXIMIZEBOX;
    }
    if (window.border == forms::Border::FixedDialog) exStyle |= WS_EX_DLGMODALFRAME;
    if (window.inTaskbar) exStyle |= WS_EX_APPWINDOW;
    return {style, exStyle};
}

RECT windowRect(const forms::WindowDescription& window, PixelScale scale, int frameDpi) {
    RECT rect = scale.rect(window.clientArea);
    if (window.centred) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        rect.left = work.left + (work.right - work.left - width) / 2;
        rect.top = work.top + (work.bottom - work.top - height) / 2;
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
    }
    const WindowStyle style = windowStyle(window);
    // The frame at its monitor's dpi where the system can tell it (Windows 10 1607 and later).
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (frameDpi > 0 && adjustForDpi)
        adjustForDpi(&rect, style.style, FALSE, style.exStyle, static_cast<UINT>(frameDpi));
    else
        AdjustWindowRectEx(&rect, style.style, FALSE, style.exStyle);
    return rect;
}

}  // namespace tavrix::win32
