#include "browser_host.h"

#include <exdisp.h>
#include <oleauto.h>

#include <stdexcept>

#include "com_failure.h"
#include "com_text.h"
#include "scan_error.h"

namespace tavrix::win32 {

namespace {

// The WebBrowser control, "SHDocVwCtl.WebBrowser".
constexpr CLSID webBrowserClass{0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr IID webBrowser2Interface{0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};

const wchar_t hostClass[] = L"TavrixBrowserHost";

void registerHostClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW hostClassInfo{};
    hostClassInfo.cbSize = sizeof hostClassInfo;
    hostClassInfo.lpfnWndProc = DefWindowProcW;
    hostClassInfo.hInstance = GetModuleHandleW(nullptr);
    hostClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    hostClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    hostClassInfo.lpszClassName = hostClass;
    if (!RegisterClassExW(&hostClassInfo)) throw std::runtime_error("cannot register the browser's window class");
    registered = true;
}

void check(HRESULT result, const char* call) {
    if (FAILED(result))
        throw std::runtime_error(std::string("The WebBrowser control: ") + call + " failed with HRESULT " +
                                 hresultText(result));
}

}  // namespace

BrowserHost::BrowserHost(HWND parent, const RECT& place, int id) {
    registerHostClass();
    window_ = CreateWindowExW(0, hostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP,
                              place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw std::runtime_error("cannot create the browser's window");
    try {
        check(CoCreateInstance(webBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                               reinterpret_cast<void**>(&object_)),
              "CoCreateInstance");
        check(object_->SetClientSite(this), "IOleObject::SetClientSite");
        RECT area{};
        GetClientRect(window_, &area);
        check(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &area), "IOleObject::DoVerb");
        check(object_->QueryInterface(webBrowser2Interface, reinterpret_cast<void**>(&browser_)),
              "QueryInterface(IWebBrowser2)");
        browser_->put_Silent(VARIANT_TRUE);
    } catch (...) {
        release();
        throw;
    }
}

BrowserHost::~BrowserHost() { release(); }

void BrowserHost::release() {
    if (browser_) {
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
}

void BrowserHost::navigate(const std::string& address) {
    ComText url(address);
    VARIANT none;
    VariantInit(&none);
    const HRESULT result = browser_->Navigate(url.get(), &none, &none, &none, &none);
    if (FAILED(result)) throw ScanError("Navigation failed with HRESULT " + hresultText(result) + ": " + address);
}

STDMETHODIMP BrowserHost::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP BrowserHost::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserHost::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserHost::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

STDMETHODIMP BrowserHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                           LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame) {
        *frame = this;
        AddRef();
    }
    if (document) *document = nullptr;
    if (position) GetClientRect(window_, position);
    if (clip) GetClientRect(window_, clip);
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(window_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

}  // namespace tavrix::win32
