#include "ui/win32/browser_host.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <oleauto.h>

#include <stdexcept>
#include <vector>

#include "providers/windows/com_failure.h"
#include "providers/windows/com_pointer.h"
#include "providers/windows/com_text.h"
#include "scan/scan_error.h"

namespace tavrix::win32 {

namespace {

// The WebBrowser control, "SHDocVwCtl.WebBrowser".
constexpr CLSID webBrowserClass{0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr IID webBrowser2Interface{0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};

const wchar_t hostClass[] = L"TavrixBrowserHost";
ATOM hostClassAtom = 0;

void registerHostClass(WNDPROC procedure) {
    if (hostClassAtom) return;
    WNDCLASSEXW hostClassInfo{};
    hostClassInfo.cbSize = sizeof hostClassInfo;
    hostClassInfo.lpfnWndProc = procedure;
    hostClassInfo.hInstance = GetModuleHandleW(nullptr);
    hostClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    hostClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    hostClassInfo.lpszClassName = hostClass;
    hostClassAtom = RegisterClassExW(&hostClassInfo);
    if (!hostClassAtom) throw std::runtime_error("cannot register the browser's window class");
}

bool isKey(const MSG& message, WPARAM key) { return message.message == WM_KEYDOWN && message.wParam == key; }

bool equalsIgnoringCase(BSTR text, const wchar_t* other) { return text && _wcsicmp(text, other) == 0; }

// Whether the page's element takes typing: a text field, a text area or editable content.
bool takesTyping(const ComPointer<IHTMLElement>& element) {
    ComPointer<IHTMLElement3> editable;
    VARIANT_BOOL isEditable = VARIANT_FALSE;
    if (SUCCEEDED(element.queryInterface(editable)) && SUCCEEDED(editable->get_isContentEditable(&isEditable)) &&
        isEditable != VARIANT_FALSE)
        return true;
    ComPointer<IHTMLInputElement> input;
    if (FAILED(element.queryInterface(input))) {
        BSTR tag = nullptr;
        const bool textArea = SUCCEEDED(element->get_tagName(&tag)) && equalsIgnoringCase(tag, L"TEXTAREA");
        SysFreeString(tag);
        return textArea;
    }
    BSTR type = nullptr;
    if (FAILED(input->get_type(&type))) return false;
    bool typed = true;
    for (const wchar_t* notTyped :
         {L"button", L"checkbox", L"radio", L"submit", L"reset", L"image", L"file", L"hidden", L"color", L"range"})
        if (equalsIgnoringCase(type, notTyped)) typed = false;
    SysFreeString(type);
    return typed;
}

// The file name of the running program, "tavrix.exe" as installed; empty when it cannot be read.
std::wstring programFileName() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            const std::wstring whole(path.data(), length);
            return whole.substr(whole.find_last_of(L"\\/") + 1);
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

void check(HRESULT result, const char* call) {
    if (FAILED(result))
        throw std::runtime_error(std::string("The WebBrowser control: ") + call + " failed with HRESULT " +
                                 hresultText(result));
}

}  // namespace

void useCurrentDocumentMode() {
    const std::wstring program = programFileName();
    if (program.empty()) return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION", 0,
                        nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (RegQueryValueExW(key, program.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND) {
        const DWORD edgeMode = 11001;  // the newest document mode, whatever the page declares
        RegSetValueExW(key, program.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&edgeMode), sizeof edgeMode);
    }
    RegCloseKey(key);
}

BrowserHost::BrowserHost(HWND parent, const RECT& place, int id, std::function<void(const std::string&)> newWindow)
    : newWindow_(std::move(newWindow)) {
    registerHostClass(hostProcedure);
    window_ = CreateWindowExW(0, hostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP,
                              place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw std::runtime_error("cannot create the browser's window");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    try {
        check(CoCreateInstance(webBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object_.putVoid()),
              "CoCreateInstance");
        check(object_->SetClientSite(this), "IOleObject::SetClientSite");
        RECT area{};
        GetClientRect(window_, &area);
        check(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &area), "IOleObject::DoVerb");
        check(object_->QueryInterface(webBrowser2Interface, browser_.putVoid()), "QueryInterface(IWebBrowser2)");
        browser_->put_Silent(VARIANT_TRUE);
        object_.queryInterface(inPlace_);
        ComPointer<IConnectionPointContainer> sources;
        check(browser_.queryInterface(sources), "QueryInterface(IConnectionPointContainer)");
        check(sources->FindConnectionPoint(__uuidof(DWebBrowserEvents2), eventSource_.put()),
              "FindConnectionPoint(DWebBrowserEvents2)");
        check(eventSource_->Advise(&events_, &eventCookie_), "IConnectionPoint::Advise");
    } catch (...) {
        release();
        throw;
    }
}

BrowserHost::~BrowserHost() { release(); }

void BrowserHost::release() {
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    uiActive_.reset();
    inPlace_.reset();
    if (eventSource_ && eventCookie_) eventSource_->Unadvise(eventCookie_);
    eventSource_.reset();
    browser_.reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.reset();
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

BrowserHost* BrowserHost::containing(HWND window) {
    for (; window && hostClassAtom; window = GetAncestor(window, GA_PARENT))
        if (GetClassLongPtrW(window, GCW_ATOM) == hostClassAtom)
            return reinterpret_cast<BrowserHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return nullptr;
}

// The focus coming to the host window UI-activates the control, which then gives it to its page.
LRESULT CALLBACK BrowserHost::hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<BrowserHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_SETFOCUS && host && host->object_) {
        RECT area{};
        GetClientRect(window, &area);
        host->object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, host, 0, window, &area);
    }
    // The host resized (a new dpi): the control fills it again.
    if (message == WM_SIZE && host && host->object_) {
        ComPointer<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(host->object_.queryInterface(inPlace))) {
            RECT area{};
            GetClientRect(window, &area);
            inPlace->SetObjectRects(&area, &area);
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool BrowserHost::translateKey(MSG& message) {
    if (isKey(message, VK_BACK) && !focusIsInField()) return true;
    if (IOleInPlaceActiveObject* page = activeObject(); page && page->TranslateAccelerator(&message) == S_OK)
        return true;
    if (!isKey(message, VK_TAB)) return false;
    const HWND next = GetNextDlgTabItem(GetAncestor(window_, GA_ROOT), window_, GetKeyState(VK_SHIFT) < 0);
    if (next && next != window_) SetFocus(next);
    return true;
}

void BrowserHost::enteredByTab(const MSG& message) {
    MSG tab = message;
    tab.hwnd = GetFocus();
    if (IOleInPlaceActiveObject* page = activeObject()) page->TranslateAccelerator(&tab);
}

bool BrowserHost::focusIsInField() const {
    ComPointer<IDispatch> document;
    ComPointer<IHTMLDocument2> html;
    if (!browser_ || FAILED(browser_->get_Document(document.put())) || !document ||
        FAILED(document.queryInterface(html)))
        return false;
    for (int depth = 0; depth < 8; ++depth) {
        ComPointer<IHTMLElement> focused;
        if (FAILED(html->get_activeElement(focused.put())) || !focused) return false;
        ComPointer<IHTMLFrameBase2> frame;
        if (FAILED(focused.queryInterface(frame))) return takesTyping(focused);
        // The focus is inside a frame: its document tells where, if the page may look into it;
        // one it may not (another site's) might hold a field, so Backspace is left to it.
        ComPointer<IHTMLWindow2> frameWindow;
        if (FAILED(frame->get_contentWindow(frameWindow.put())) || !frameWindow ||
            FAILED(frameWindow->get_document(html.put())) || !html)
            return true;
    }
    return true;
}

STDMETHODIMP BrowserHost::PageEvents::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserHost::PageEvents::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

// NewWindow3's arguments arrive last first: the address, the referring page, the flags, Cancel
// and the new window's place.
STDMETHODIMP BrowserHost::PageEvents::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                             EXCEPINFO*, UINT*) {
    if (member != DISPID_NEWWINDOW3) return S_OK;
    if (!parameters || parameters->cArgs != 5 || !parameters->rgvarg) return DISP_E_BADPARAMCOUNT;
    VARIANT& cancel = parameters->rgvarg[3];
    if (V_VT(&cancel) != (VT_BYREF | VT_BOOL) || !V_BOOLREF(&cancel)) return DISP_E_TYPEMISMATCH;
    *V_BOOLREF(&cancel) = VARIANT_TRUE;
    const VARIANT& address = parameters->rgvarg[0];
    if (V_VT(&address) != VT_BSTR) return S_OK;
    try {
        if (host_.newWindow_) host_.newWindow_(utf8Of(V_BSTR(&address)));
    } catch (...) {
        return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP BrowserHost::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == __uuidof(IDocHostUIHandler)) {
        *object = static_cast<IDocHostUIHandler*>(this);
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

STDMETHODIMP BrowserHost::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) {
    if (active) active->AddRef();
    *uiActive_.put() = active;
    return S_OK;
}

STDMETHODIMP BrowserHost::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info || info->cbSize < sizeof(DOCHOSTUIINFO)) return E_INVALIDARG;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE | DOCHOSTUIFLAG_THEME;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

STDMETHODIMP BrowserHost::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key) *key = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserHost::GetDropTarget(IDropTarget*, IDropTarget** target) {
    if (target) *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserHost::GetExternal(IDispatch** external) {
    if (external) *external = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserHost::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
    if (translated) *translated = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserHost::FilterDataObject(IDataObject*, IDataObject** filtered) {
    if (filtered) *filtered = nullptr;
    return S_FALSE;
}

}  // namespace tavrix::win32
