// The Win32 windows in-process under Wine: layout in pixels, the keyboard rules (key messages
// posted to the focused control and handled by the program's own message dispatch), the lists,
// the commands with fake services, and the scan of every machine file shown in Form1.
#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "forms/dialog_form.h"
#include "forms/form1_form.h"
#include "forms/splash_form.h"
#include "scan/machine_file.h"
#include "ui/win32/browser_host.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/dialog.h"
#include "ui/win32/form1.h"
#include "ui/win32/frm_splash.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/program_windows.h"
#include "ui/win32/screen_fit.h"

namespace tavrix::win32 {
namespace {

struct FakeClipboard : Clipboard {
    std::vector<std::string> texts;
    void replaceText(HWND, const std::string& utf8) override { texts.push_back(utf8); }
};

struct FakeLauncher : ProcessLauncher {
    bool fails = false;
    std::vector<std::wstring> programs, commandLines;
    std::vector<int> showWindows;
    std::vector<std::string> opened;
    void start(const std::wstring& program, const std::wstring& commandLine, int showWindow) override {
        programs.push_back(program);
        commandLines.push_back(commandLine);
        showWindows.push_back(showWindow);
        if (fails) throw std::runtime_error("no such file");
    }
    void openInBrowser(const std::string& address) override {
        opened.push_back(address);
        if (fails) throw std::runtime_error("no browser");
    }
};

struct FakeMessageBoxes : MessageBoxes {
    std::vector<std::string> shown;
    void show(HWND, const std::string& utf8) override { shown.push_back(utf8); }
};

// The page's in-place active object as the loop sees it: records the keys pressed (WM_KEYDOWN)
// and takes those it is told to.
struct FakeActiveObject : IOleInPlaceActiveObject {
    std::vector<WPARAM> keys;
    std::vector<WPARAM> takes;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        const bool known = iid == IID_IUnknown || iid == IID_IOleWindow || iid == __uuidof(IOleInPlaceActiveObject);
        *object = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG message) override {
        if (message->message != WM_KEYDOWN) return S_FALSE;
        keys.push_back(message->wParam);
        return std::find(takes.begin(), takes.end(), message->wParam) != takes.end() ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void pump() { processPendingMessages(); }

// A key pressed and released on the focused control, as the keyboard would send it.
void press(WPARAM key) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    pump();
    if (HWND now = GetFocus()) PostMessageW(now, WM_KEYUP, key, 0xC0000001);
    pump();
}

// A rectangle's four numbers, compared at once.
using Edges = std::array<LONG, 4>;
Edges edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The client area on the screen: left, top, width, height.
Edges clientOnScreen(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

HFONT fontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

LOGFONTW logFontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(fontOf(control), sizeof font, &font);
    return font;
}

// The size of an ASCII text in the control's font.
SIZE extentIn(HDC dc, HWND control, const std::string& text) {
    SelectObject(dc, fontOf(control));
    const std::wstring wide(text.begin(), text.end());
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    return extent;
}

// A click on a static control (the picture, a link), as its notification reaches the window.
void clickStatic(HWND window, HWND control) {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), STN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Twips and points to pixels at the common dpi settings: 15, 12 and 10 twips a pixel.
TEST(PixelScale, ConvertsTwipsAndPointsAtTheScreensDpi) {
    struct Case {
        int dpi, form1Width, frame1Top, defaultFontHeight, splashTitleHeight;
    };
    for (const Case& c : {Case{96, 785, -8, -11, -24}, Case{120, 981, -10, -14, -30}, Case{144, 1178, -12, -17, -36}}) {
        SCOPED_TRACE(c.dpi);
        const PixelScale scale{c.dpi};
        EXPECT_EQ(scale.pixels(11775), c.form1Width);
        EXPECT_EQ(scale.rect({0, -120, 11775, 10695}).top, c.frame1Top);
        EXPECT_EQ(scale.fontHeight(8.25), c.defaultFontHeight);
        EXPECT_EQ(scale.fontHeight(18), c.splashTitleHeight);
    }
}

const wchar_t browserEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// The browser-mode value of this test program; -1 when there is none.
long browserMode() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, browserEmulationKey, L"test_win32_windows.exe", RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<long>(value);
}

// Named after the running program's file, set when missing, and a value already there is kept.
TEST(BrowserHost, AsksForTheCurrentDocumentModeWhenTheUserHasNone) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, browserEmulationKey, L"test_win32_windows.exe");
    ASSERT_EQ(browserMode(), -1);
    useCurrentDocumentMode();
    EXPECT_EQ(browserMode(), 11001);
    const DWORD users = 10000;
    RegSetKeyValueW(HKEY_CURRENT_USER, browserEmulationKey, L"test_win32_windows.exe", REG_DWORD, &users, sizeof users);
    useCurrentDocumentMode();
    EXPECT_EQ(browserMode(), 10000);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, browserEmulationKey, L"test_win32_windows.exe");
}

bool fitsIn(const RECT& outer, const RECT& work) {
    return outer.right - outer.left <= work.right - work.left && outer.bottom - outer.top <= work.bottom - work.top;
}

// A window that fits the work area at the screen's scale keeps it; one that does not gets the
// largest scale at which it fits with its frame, and is moved inside the work area (the placing
// rule itself is WindowFit's; here its rectangles in and out).
TEST(ScreenFit, LaysAWindowOutAtTheLargestScaleThatFitsTheWorkArea) {
    struct Case {
        const forms::WindowDescription& window;
        int dpi;
        RECT work;
        bool keepsItsScale;
    };
    for (const Case& c : {Case{forms::form1Form(), 96, {0, 0, 1280, 1024}, true},
                          Case{forms::form1Form(), 144, {0, 0, 1920, 1040}, false},
                          Case{forms::form1Form(), 120, {0, 0, 1366, 728}, false},
                          Case{forms::dialogForm(), 144, {0, 0, 1920, 1040}, true}}) {
        SCOPED_TRACE(testing::Message() << c.window.name << " at " << c.dpi << " dpi on " << c.work.right << "x"
                                        << c.work.bottom);
        const PixelScale fitted = fittingScale(c.window, PixelScale{c.dpi}, c.work);
        EXPECT_EQ(fitted.dpi == c.dpi, c.keepsItsScale);
        EXPECT_TRUE(fitsIn(windowRect(c.window, fitted, c.dpi), c.work));
        if (!c.keepsItsScale) {
            EXPECT_FALSE(fitsIn(windowRect(c.window, PixelScale{fitted.dpi + 1}, c.dpi), c.work));
        }
    }
    EXPECT_EQ(edges(placedInside({600, 400, 1400, 1150}, {0, 0, 1280, 1024})), (Edges{480, 274, 1280, 1024}));
}

class Win32Windows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { OleInitialize(nullptr); }

    std::unique_ptr<ManagementProvider> provider = makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
    FakeClipboard clipboard;
    FakeLauncher launcher;
    FakeMessageBoxes messages;
    DesktopServices services{clipboard, launcher, messages};
};

// WB in a window of its own, as Form1 places it, keeping the new windows the page asks for.
struct HostedBrowser {
    HostedBrowser() : host(parent, RECT{0, 0, 400, 300}, 100, [this](const std::string& a) { asked.push_back(a); }) {}
    ~HostedBrowser() { DestroyWindow(parent); }
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::string> asked;
    BrowserHost host;
};

// The control's NewWindow3 event for the address, as DWebBrowserEvents2 delivers it; returns Cancel.
bool askForNewWindow(BrowserHost& host, const wchar_t* address) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* newWindow = nullptr;
    VARIANT arguments[5];  // in reverse order: address, referrer, flags, &Cancel, &ppDisp
    for (VARIANT& argument : arguments) VariantInit(&argument);
    V_VT(&arguments[0]) = V_VT(&arguments[1]) = VT_BSTR;
    V_BSTR(&arguments[0]) = SysAllocString(address);
    V_BSTR(&arguments[1]) = SysAllocString(L"http://www.quorvane.com/mc/tavrix.asp");
    V_VT(&arguments[2]) = VT_I4;
    V_I4(&arguments[2]) = 0x6;  // NWMF_USERINITED | NWMF_FIRST
    V_VT(&arguments[3]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&arguments[3]) = &cancel;
    V_VT(&arguments[4]) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&arguments[4]) = &newWindow;
    DISPPARAMS parameters{arguments, nullptr, 5, 0};
    IDispatch* events = nullptr;
    EXPECT_EQ(host.pageEvents().QueryInterface(__uuidof(DWebBrowserEvents2), reinterpret_cast<void**>(&events)), S_OK);
    EXPECT_EQ(events->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr),
              S_OK);
    events->Release();
    VariantClear(&arguments[0]);
    VariantClear(&arguments[1]);
    return cancel == VARIANT_TRUE;
}

// The page finds the host's UI handler on the client site: no 3-D border, DPI-aware, themed. No
// new window is ever made: its address goes on in UTF-8, and from Form1's page an http or https
// address reaches the user's browser, nothing else does.
TEST_F(Win32Windows, BrowserHostDrawsThePageFlatAndSendsNewWindowsToTheUsersBrowser) {
    HostedBrowser browser;
    IDocHostUIHandler* handler = nullptr;
    ASSERT_EQ(static_cast<IOleClientSite&>(browser.host)
                  .QueryInterface(__uuidof(IDocHostUIHandler), reinterpret_cast<void**>(&handler)),
              S_OK);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    ASSERT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, DWORD{DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE | DOCHOSTUIFLAG_THEME});
    handler->Release();
    for (const wchar_t* address : {L"file:///C:/Windows/win.ini", L"https://\u00e9t\u00e9.example/"})
        EXPECT_TRUE(askForNewWindow(browser.host, address));
    EXPECT_EQ(browser.asked,
              (std::vector<std::string>{"file:///C:/Windows/win.ini", "https://\xC3\xA9t\xC3\xA9.example/"}));

    Form1 form(*provider, services, TextForm());
    BrowserHost& page = *BrowserHost::containing(form.control("WB"));
    for (const wchar_t* address : {L"https://www.quorvane.com/memory?id=7", L"javascript:window.close()"})
        EXPECT_TRUE(askForNewWindow(page, address));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"https://www.quorvane.com/memory?id=7"});
    EXPECT_TRUE(launcher.commandLines.empty());
    EXPECT_TRUE(messages.shown.empty());
    launcher.fails = true;
    EXPECT_TRUE(askForNewWindow(page, L"https://www.quorvane.com/"));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Browser Not found!!!"});
}

TEST_F(Win32Windows, DialogLayoutTextAndKeyboard) {
    ASSERT_EQ(PixelScale::ofScreen().dpi, 96);
    bool ok = false, cancel = false;
    Dialog dialog(nullptr);
    dialog.okPressed = [&] { ok = true; };
    dialog.cancelPressed = [&] { cancel = true; };
    dialog.show();
    pump();

    EXPECT_EQ(clientOnScreen(dialog.handle()), (Edges{335, 141, 410, 322}));
    EXPECT_EQ(dialog.Text1().text(), forms::disclaimerText());
    const LONG style = GetWindowLongW(dialog.Text1(), GWL_STYLE);
    EXPECT_EQ(style & (ES_READONLY | WS_VSCROLL), ES_READONLY | WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongW(dialog.handle(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(GetActiveWindow(), dialog.handle());

    // Text1 has the focus; Enter and Esc there choose neither button.
    EXPECT_EQ(GetFocus(), dialog.Text1().handle());
    press(VK_RETURN);
    press(VK_ESCAPE);
    EXPECT_EQ(std::pair(ok, cancel), std::pair(false, false));
    EXPECT_TRUE(IsWindow(dialog.handle()));
    EXPECT_EQ(dialog.Text1().text(), forms::disclaimerText());

    // Tab: Text1, Cancel, OK, and round again.
    for (HWND next : {dialog.CancelButton().handle(), dialog.OKButton().handle(), dialog.Text1().handle()}) {
        press(VK_TAB);
        EXPECT_EQ(GetFocus(), next);
    }

    // Enter and Space choose the focused button.
    press(VK_TAB);
    press(VK_SPACE);
    EXPECT_EQ(std::pair(ok, cancel), std::pair(false, true));
    cancel = false;
    press(VK_TAB);
    press(VK_RETURN);
    EXPECT_EQ(std::pair(ok, cancel), std::pair(true, false));
}

TEST_F(Win32Windows, SplashHasNoTitleBarAndATypedKeyUnloadsIt) {
    int keys = 0, ticks = 0;
    frmSplash splash(nullptr);
    splash.keyPressed = [&] { ++keys; };
    splash.timerTicked = [&] { ++ticks; };
    splash.show();
    EXPECT_TRUE(splash.painted());
    const Edges client = clientOnScreen(splash.handle());
    EXPECT_EQ(std::pair(client[2], client[3]), std::pair(242L, 78L));
    const LONG style = GetWindowLongW(splash.handle(), GWL_STYLE);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_EQ(splash.Label2().text(), "Scanning Please Wait......");
    for (int i = 0; i < 50 && ticks == 0; ++i) {
        Sleep(5);
        pump();
    }
    EXPECT_GT(ticks, 0);
    // A shift key alone types nothing; a letter or Enter does.
    press(VK_SHIFT);
    EXPECT_EQ(keys, 0);
    for (const int typed : {1, 2}) {
        PostMessageW(splash.handle(), WM_KEYDOWN, typed == 1 ? 'A' : VK_RETURN, 1);
        pump();
        EXPECT_EQ(keys, typed);
    }
}

TEST_F(Win32Windows, Form1LayoutFontsColoursAndPointers) {
    Form1 form(*provider, services, TextForm());
    form.load();
    const Edges client = clientOnScreen(form.handle());
    EXPECT_EQ(client, (Edges{123, 22, 785, 706}));
    const LONG style = GetWindowLongW(form.handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));

    RECT frame1{};
    GetWindowRect(form.control("Frame1"), &frame1);
    EXPECT_EQ(frame1.top - client[1], -8);
    EXPECT_EQ(frame1.right - frame1.left, 785);

    HDC dc = CreateCompatibleDC(nullptr);
    struct Case {
        const char* name;
        LONG weight;  // 0: shows no text
        bool blue;
        bool hand;
    };
    for (const Case& c :
         {Case{"Label1", 700, false, false}, Case{"Label21", 400, true, false}, Case{"Label39", 400, true, true},
          Case{"Image1", 0, false, true}, Case{"Frame2", 700, false, false}, Case{"slotsLst", 400, false, false}}) {
        SCOPED_TRACE(c.name);
        HWND control = form.control(c.name);
        const LOGFONTW font = logFontOf(control);
        if (c.weight) {
            EXPECT_EQ(font.lfWeight, c.weight);
            EXPECT_EQ(font.lfHeight, -11);
            EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        }
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageW(form.handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(GetTextColor(dc) == RGB(0, 0, 255), c.blue);
        EXPECT_EQ(SendMessageW(form.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control), HTCLIENT) != 0, c.hand);
    }
    DeleteDC(dc);
    Dialog dialog(nullptr);
    dialog.load();
    frmSplash splash(nullptr);
    splash.load();
    for (HWND window : {form.handle(), dialog.handle(), splash.handle()}) {
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    }
    EXPECT_NE(form.control("Image1").send(STM_GETIMAGE, IMAGE_ICON), 0);
    RECT picture{};
    GetClientRect(form.control("Image1"), &picture);
    EXPECT_EQ(picture.right, 152);
    EXPECT_EQ(picture.bottom, 68);
}

// Form1 with its frame lies inside the work area, at whatever dpi the screen has.
TEST_F(Win32Windows, Form1WithItsFrameFitsTheWorkArea) {
    Form1 form(*provider, services, TextForm());
    form.load();
    RECT outer{}, work{};
    GetWindowRect(form.handle(), &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(outer.left >= work.left && outer.top >= work.top && outer.right <= work.right &&
                outer.bottom <= work.bottom);
    EXPECT_EQ(form.scale().dpi == PixelScale::ofScreen().dpi,
              fitsIn(windowRect(forms::form1Form(), PixelScale::ofScreen()), work));
}

// Moved to a monitor of another dpi, a window is laid out as it would be made there: its size at
// the scale that fits, at the suggested corner moved inside the work area, every control's place
// and font, and the picture at its control's size.
TEST_F(Win32Windows, ANewDpiLaysTheWindowOutAsAFreshLayoutThere) {
    Form1 form(*provider, services, TextForm());
    form.load();
    const forms::WindowDescription& description = forms::form1Form();
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    for (int dpi : {144, 120, 72, 96}) {
        SCOPED_TRACE(dpi);
        RECT suggested{work.left + 40, work.top + 30, work.left + 400, work.top + 300};
        SendMessageW(form.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        const PixelScale fitted = fittingScale(description, PixelScale{dpi}, work);
        EXPECT_EQ(form.scale().dpi, fitted.dpi);
        const RECT fresh = windowRect(description, fitted, dpi);
        const RECT expected = placedInside(
            {suggested.left, suggested.top, suggested.left + fresh.right - fresh.left, suggested.top + fresh.bottom - fresh.top},
            work);
        RECT outer{};
        GetWindowRect(form.handle(), &outer);
        EXPECT_EQ(edges(outer), edges(expected));
        for (const auto& control : description.controls) {
            SCOPED_TRACE(control.name);
            HWND handle = form.control(control.name);
            RECT place{};
            GetWindowRect(handle, &place);
            MapWindowPoints(nullptr, form.handle(), reinterpret_cast<POINT*>(&place), 2);
            const RECT wanted = fitted.rect(description.placeInClientArea(control));
            EXPECT_EQ(edges(place), edges(wanted));
            if (control.kind == forms::ControlKind::Picture || control.kind == forms::ControlKind::Browser) continue;
            EXPECT_EQ(logFontOf(handle).lfHeight, fitted.fontHeight(control.font.points));
            if (control.kind == forms::ControlKind::CaptionLabel && *control.caption) {
                EXPECT_LE(extentIn(dc, handle, control.caption).cx, wanted.right - wanted.left) << control.caption;
            }
        }
        ICONINFO picture{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(form.control("Image1").send(STM_GETIMAGE, IMAGE_ICON)), &picture));
        BITMAP colour{};
        GetObjectW(picture.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, fitted.pixels(2280));
        DeleteObject(picture.hbmColor);
        DeleteObject(picture.hbmMask);
    }
    DeleteDC(dc);
}

// Every fixed text fits its control in the font it is shown in (Wine: Liberation for the
// TrueType faces, its own bitmap "MS Sans Serif").
TEST_F(Win32Windows, EveryFixedTextFitsItsControl) {
    Dialog dialog(nullptr);
    dialog.load();
    frmSplash splash(nullptr);
    splash.load();
    Form1 form(*provider, services, TextForm());
    form.load();
    struct Shown {
        const forms::WindowDescription& description;
        TopLevelWindow& window;
    };
    HDC dc = CreateCompatibleDC(nullptr);
    int checked = 0;
    for (const Shown& shown :
         {Shown{forms::dialogForm(), dialog}, Shown{forms::splashForm(), splash}, Shown{forms::form1Form(), form}}) {
        for (const auto& control : shown.description.controls) {
            const std::string caption = control.caption;
            if (caption.empty() || control.kind == forms::ControlKind::ValueLabel) continue;
            SCOPED_TRACE(control.name);
            HWND handle = shown.window.control(control.name);
            const SIZE extent = extentIn(dc, handle, caption);
            RECT client{};
            GetClientRect(handle, &client);
            const int margin = control.kind == forms::ControlKind::Button  ? 6
                               : control.kind == forms::ControlKind::Frame ? 16
                                                                           : 0;
            EXPECT_LE(extent.cx + margin, client.right) << caption;
            EXPECT_LE(extent.cy, client.bottom) << caption;
            ++checked;
        }
    }
    DeleteDC(dc);
    EXPECT_GT(checked, 30);
}

TEST_F(Win32Windows, Form1ShowsTheScanOfEveryMachineFile) {
    const std::string directory = TAVRIX_TEST_DATA "/machines";
    int machines = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() != ".machine") continue;
        const std::string base = entry.path().string().substr(0, entry.path().string().size() - 8);
        SCOPED_TRACE(base);
        ++machines;
        auto machine = makeMachineFileProvider(entry.path().string());
        Form1 form(*machine, services, TextForm());
        ASSERT_EQ(form.behaviour().getTavrix(), "Success");
        std::string shown;
        for (int i = 0; i < valueLabelCount; ++i) {
            const auto label = static_cast<ValueLabel>(i);
            shown.append(controlName(label)).append("=").append(form.valueLabel(label).text()).append("\n");
        }
        for (const auto list : {ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst}) {
            EXPECT_EQ(form.list(list).selectedRow(), -1);
            for (int row = 0; row < form.list(list).count(); ++row)
                shown.append(controlName(list)).append("=").append(form.list(list).row(row)).append("\n");
        }
        EXPECT_EQ(shown, readFile(base + ".window"));
        std::string address = readFile(base + ".address");
        if (!address.empty() && address.back() == '\n') address.pop_back();
        EXPECT_EQ(form.navigatedAddress(), address);
    }
    EXPECT_GT(machines, 3);
}

TEST_F(Win32Windows, Form1KeyboardListsAndCommands) {
    Form1 form(*provider, services, TextForm());
    ASSERT_EQ(form.behaviour().getTavrix(), "Success");
    form.show();
    pump();
    ListBox slots = form.list(ModuleList::slotsLst), memory = form.list(ModuleList::memoryLst),
            speed = form.list(ModuleList::speedLst);
    ASSERT_GE(slots.count(), 2);
    EXPECT_EQ(GetActiveWindow(), form.handle());

    // Tab: slotsLst, clipboardCmd, WB, memoryLst, speedLst, and round again.
    EXPECT_EQ(GetFocus(), slots.handle());
    for (const char* next : {"clipboardCmd", "WB", "memoryLst", "speedLst", "slotsLst"}) {
        press(VK_TAB);
        EXPECT_EQ(GetFocus(), form.control(next).handle()) << next;
    }

    // Nothing selected at the start; a row chosen in one list is chosen in all three.
    EXPECT_EQ(slots.selectedRow(), -1);
    press(VK_DOWN);
    const auto rows = [&] { return std::array{slots.selectedRow(), memory.selectedRow(), speed.selectedRow()}; };
    EXPECT_EQ(rows(), (std::array{0, 0, 0}));
    SetFocus(speed);
    press(VK_DOWN);
    EXPECT_EQ(rows(), (std::array{1, 1, 1}));
    memory.selectRow(0);
    pump();
    EXPECT_EQ(slots.selectedRow(), 1) << "a row set from code notifies no one";

    // Enter and Space on the copy button: the report, each time.
    SetFocus(form.control("clipboardCmd"));
    press(VK_RETURN);
    press(VK_SPACE);
    ASSERT_EQ(clipboard.texts.size(), 2u);
    EXPECT_EQ(clipboard.texts[0], form.values().reportText);
    EXPECT_NE(clipboard.texts[0].find("\r\n"), std::string::npos);

    // The picture and the link start the browser; a failed start says so, every time.
    for (const char* link : {"Image1", "Label39"}) clickStatic(form.handle(), form.control(link));
    ASSERT_EQ(launcher.commandLines.size(), 2u);
    EXPECT_EQ(launcher.programs[0], L"C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(launcher.commandLines[0],
              L"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" "
              L"http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow");
    EXPECT_EQ(launcher.showWindows[1], 1);
    EXPECT_TRUE(messages.shown.empty());
    launcher.fails = true;
    for (int i = 0; i < 2; ++i) clickStatic(form.handle(), form.control("Label39"));
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Browser Not found!!!", "Browser Not found!!!"}));
}

// MSAA's answer as UTF-8; "-" for none.
std::string readMsaa(HRESULT result, BSTR text) {
    std::string read = "-";
    if (result == S_OK && text && SysStringLen(text) > 0) {
        const std::wstring wide(text, SysStringLen(text));
        read.clear();
        for (wchar_t c : wide) read += static_cast<char>(c < 0x80 ? c : '?');
    }
    SysFreeString(text);
    return read;
}

// "role | name | value | default action" of an MSAA object (child 0: itself), its role named as
// the accessible tree's table names it; empty for a role the table does not name.
std::string msaaRow(IAccessible* object, long child, bool window) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role{};
    if (object->get_accRole(id, &role) != S_OK || role.vt != VT_I4) return {};
    const std::map<long, std::string> roles{
        {ROLE_SYSTEM_ALERT, "alert"},     {ROLE_SYSTEM_GROUPING, "grouping"}, {ROLE_SYSTEM_STATICTEXT, "label"},
        {ROLE_SYSTEM_TEXT, "text"},       {ROLE_SYSTEM_LIST, "list"},         {ROLE_SYSTEM_LISTITEM, "list item"},
        {ROLE_SYSTEM_LINK, "link"},       {ROLE_SYSTEM_PUSHBUTTON, "button"}};
    const auto named = roles.find(role.lVal);
    if (named == roles.end() && !(window && role.lVal == ROLE_SYSTEM_CLIENT)) return {};
    BSTR name = nullptr, value = nullptr, action = nullptr;
    const HRESULT gotName = object->get_accName(id, &name), gotValue = object->get_accValue(id, &value),
                  gotAction = object->get_accDefaultAction(id, &action);
    return (named == roles.end() ? std::string("window") : named->second) + " | " + readMsaa(gotName, name) +
           " | " + readMsaa(gotValue, value) + " | " + readMsaa(gotAction, action);
}

IAccessible* accessibleOf(HWND window) {
    IAccessible* object = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    return found == S_OK ? object : nullptr;
}

// What a screen reader reads of the window, its controls and a list's rows.
std::multiset<std::string> readWindow(HWND window) {
    std::multiset<std::string> rows;
    for (HWND control = window; control;
         control = control == window ? GetWindow(window, GW_CHILD) : GetWindow(control, GW_HWNDNEXT)) {
        IAccessible* object = accessibleOf(control);
        if (!object) continue;
        if (std::string row = msaaRow(object, CHILDID_SELF, control == window); !row.empty()) rows.insert(row);
        long children = 0;
        if (msaaRow(object, CHILDID_SELF, false).starts_with("list |") && object->get_accChildCount(&children) == S_OK)
            for (long child = 1; child <= children; ++child) rows.insert(msaaRow(object, child, false));
        object->Release();
    }
    return rows;
}

// The accessible tree's table: each window's "role | name | value | actions" lines.
std::map<std::string, std::multiset<std::string>> accessibleTreeTable() {
    std::map<std::string, std::multiset<std::string>> table;
    std::istringstream lines(readFile(TAVRIX_ACCESSIBLE_TREE));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t cut = line.find(" | ");
        table[line.substr(0, cut)].insert(line.substr(cut + 3));
    }
    return table;
}

// Each expected row whose value ends in "..." stands for the found row that starts so.
std::multiset<std::string> withPrefixesMatched(const std::multiset<std::string>& found,
                                               const std::multiset<std::string>& expected) {
    std::multiset<std::string> matched;
    for (std::string row : found) {
        for (const std::string& wanted : expected) {
            const std::size_t dots = wanted.find("... | ");
            if (dots != std::string::npos && row.size() > dots && row.compare(0, dots, wanted, 0, dots) == 0)
                row = wanted;
        }
        matched.insert(row);
    }
    return matched;
}

// The three windows as MSAA serves them under Wine, against the table the AT-SPI test reads;
// the page's document is not checked here (Wine's browser control serves no accessibility of its
// own). The links' and the copy button's default actions act as their clicks do.
TEST_F(Win32Windows, ScreenReadersReadTheWindowsAsTheAccessibleTreeTableSays) {
    auto table = accessibleTreeTable();
    std::erase_if(table["Form1"], [](const std::string& row) { return row.starts_with("document |"); });
    Dialog dialog(nullptr);
    dialog.load();
    frmSplash splash(nullptr);
    splash.load();
    auto acme = makeMachineFileProvider(TAVRIX_ACCESSIBLE_MACHINE);
    Form1 form(*acme, services, TextForm());
    ASSERT_EQ(form.behaviour().getTavrix(), "Success");
    form.show();
    pump();
    for (const auto& [name, window] : {std::pair<std::string, HWND>{"Dialog", dialog.handle()},
                                       {"frmSplash", splash.handle()}, {"Form1", form.handle()}})
        EXPECT_EQ(withPrefixesMatched(readWindow(window), table[name]), table[name]) << name;

    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    for (const char* name : {"Image1", "Label39", "clipboardCmd"}) {
        IAccessible* object = accessibleOf(form.control(name));
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->accDoDefaultAction(self), S_OK) << name;
        object->Release();
    }
    pump();
    EXPECT_EQ(launcher.commandLines.size(), 2u) << "each chat link's default action starts the chat";
    EXPECT_EQ(clipboard.texts.size(), 1u) << "the copy button's default action copies";
    IAccessible* copy = accessibleOf(form.control("clipboardCmd"));
    ASSERT_NE(copy, nullptr);
    BSTR description = nullptr;
    const HRESULT described = copy->get_accDescription(self, &description);
    EXPECT_EQ(readMsaa(described, description), "System info copied to the clipboard");
    copy->Release();
}

// Shift held down (or not) for the keys pressed next.
void holdShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// While WB has the focus the page gets every key first; Tab goes through its links and, past the
// last, on in the window's Tab order; Backspace outside a field never reaches it (no going back).
TEST_F(Win32Windows, KeysReachThePageOnlyWhileWBHasTheFocus) {
    Form1 form(*provider, services, TextForm());
    ASSERT_EQ(form.behaviour().getTavrix(), "Success");
    form.show();
    pump();
    const HWND WB = form.control("WB");
    BrowserHost* page = BrowserHost::containing(WB);
    ASSERT_NE(page, nullptr);
    FakeActiveObject active;
    page->SetActiveObject(&active, L"page");
    const auto inWB = [WB] { return GetFocus() == WB || IsChild(WB, GetFocus()); };

    // Elsewhere the keys stay with the window's controls.
    ListBox slots = form.list(ModuleList::slotsLst);
    EXPECT_EQ(GetFocus(), slots.handle());
    press(VK_DOWN);
    press(VK_TAB);
    EXPECT_EQ(slots.selectedRow(), 0);
    EXPECT_TRUE(active.keys.empty());

    // Tab into WB: the page takes that Tab too (to its first link) and keeps the focus.
    EXPECT_EQ(GetFocus(), form.control("clipboardCmd").handle());
    press(VK_TAB);
    EXPECT_TRUE(inWB());
    EXPECT_EQ(active.keys, std::vector<WPARAM>{VK_TAB});

    // In the page: arrows, Page Up/Down, Ctrl+C and Ctrl+A go to it, not to the lists.
    active.keys.clear();
    active.takes = {VK_TAB, 'C', 'A'};
    const std::vector<WPARAM> pageKeys{VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, 'C', 'A', VK_TAB};
    for (WPARAM key : pageKeys) press(key);
    EXPECT_EQ(active.keys, pageKeys);
    EXPECT_TRUE(inWB()) << "a Tab the page takes moves between its links";
    EXPECT_EQ(slots.selectedRow(), 0);

    // Backspace outside a field is dropped.
    active.keys.clear();
    press(VK_BACK);
    EXPECT_TRUE(active.keys.empty());
    EXPECT_TRUE(inWB());

    // Past the page's last link Tab goes on to memoryLst; Shift+Tab before its first to clipboardCmd.
    active.takes.clear();
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), form.control("memoryLst").handle());
    SetFocus(WB);
    holdShift(true);
    press(VK_TAB);
    holdShift(false);
    EXPECT_EQ(GetFocus(), form.control("clipboardCmd").handle());
    active.keys.clear();
    press(VK_SPACE);
    EXPECT_TRUE(active.keys.empty());
    EXPECT_EQ(clipboard.texts.size(), 1u);
    page->SetActiveObject(nullptr, nullptr);
}

TEST_F(Win32Windows, ProgramWindowsRunTheFlow) {
    bool ended = false;
    ProgramWindows windows(*provider, services, TextForm(), [&] { ended = true; });
    windows.flow().start();
    pump();
    ASSERT_TRUE(windows.isLoaded(Window::Dialog));
    SendMessageW(windows.dialog().handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(windows.dialog().OKButton()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(windows.dialog().OKButton().handle()));
    EXPECT_TRUE(windows.isLoaded(Window::frmSplash));
    EXPECT_FALSE(windows.isLoaded(Window::Dialog));
    for (int i = 0; i < 200 && !windows.isLoaded(Window::Form1); ++i) {
        Sleep(5);
        processPendingMessages([&] { windows.collectUnloaded(); });
    }
    ASSERT_TRUE(windows.isLoaded(Window::Form1));
    EXPECT_FALSE(windows.exists(Window::frmSplash));
    EXPECT_TRUE(IsWindowVisible(windows.form1().handle()));
    EXPECT_FALSE(windows.form1().values().reportText.empty());
    SendMessageW(windows.form1().handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(windows.exists(Window::Form1));
}

}  // namespace
}  // namespace tavrix::win32
