#pragma once

#include <mshtmhst.h>
#include <ole2.h>
#include <windows.h>

#include <functional>
#include <string>

#include "providers/windows/com_pointer.h"

struct IWebBrowser2;

namespace tavrix::win32 {

// Asks the WebBrowser control of this program for the current document mode instead of IE7's:
// the per-user FEATURE_BROWSER_EMULATION value named after the program's file, set to 11001 when
// it is missing. A value the user already has stays; a registry that refuses leaves the default.
void useCurrentDocumentMode();

// The system WebBrowser control hosted in place in a child window of its own (WB): a small OLE
// container, no ATL. The host window takes the focus in the Tab order. The page is drawn without
// a 3-D border, DPI-aware and with the system's theme. A new window the page asks for (a link with
// a target, window.open) is never made: its address goes to newWindow, which decides.
// While WB has the focus the message loop hands it the keys (translateKey), so that Tab walks the
// page's links and fields and leaves it in the window's Tab order, and arrows, Page Up/Down and
// the page's shortcuts act in the page.
class BrowserHost : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDocHostUIHandler {
public:
    // Creates the host window in the parent and the browser in it; throws when the control
    // cannot be created, activated or listened to. newWindow gets the UTF-8 address of each new
    // window the page asks for.
    BrowserHost(HWND parent, const RECT& place, int id, std::function<void(const std::string&)> newWindow);
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;
    virtual ~BrowserHost();

    HWND window() const { return window_; }
    // The host whose window is this one or holds it; null when none does.
    static BrowserHost* containing(HWND window);
    // Starts loading the address (kept as given, as a BSTR) and returns without waiting; throws
    // ScanError when the browser refuses it.
    void navigate(const std::string& address);
    // Where the control sends its events (DWebBrowserEvents2); tests call it as the control does.
    IDispatch& pageEvents() { return events_; }

    // A key message for the focus in WB: the page's own keys first (IOleInPlaceActiveObject::
    // TranslateAccelerator); a Tab the page does not take moves to the next control of the Tab
    // order (Shift+Tab: the one before); Backspace outside a field is dropped, so it never goes
    // back a page. Returns whether the message is done with; if not, it goes to the focused window.
    bool translateKey(MSG& message);
    // The focus came into WB by Tab: the page takes that Tab too, to its first (or last) link.
    void enteredByTab(const MSG& message);

    // IUnknown. The host owns itself; the counts only balance the control's calls.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override { return --references_; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for the site and the frame alike
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    // The control's UI-active object, which takes the keys; null: the control's own.
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override;

    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    // IOleInPlaceFrame and IDocHostUIHandler alike
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler: the page's own menus, keys and drop handling; only the host information
    // is ours.
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override;

private:
    // The control's event sink: only NewWindow3 is answered.
    class PageEvents : public IDispatch {
    public:
        explicit PageEvents(BrowserHost& host) : host_(host) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
        STDMETHODIMP_(ULONG) AddRef() override { return host_.AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return host_.Release(); }
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
        STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                            UINT*) override;

    private:
        BrowserHost& host_;
    };

    static LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void release();
    IOleInPlaceActiveObject* activeObject() const { return uiActive_ ? uiActive_.get() : inPlace_.get(); }
    // Whether the page's focused element, in whatever frame, takes typing: a text field, a text
    // area or editable content. No page: false.
    bool focusIsInField() const;

    HWND window_ = nullptr;
    ComPointer<IOleObject> object_;
    ComPointer<IWebBrowser2> browser_;
    ComPointer<IOleInPlaceActiveObject> inPlace_;
    ComPointer<IOleInPlaceActiveObject> uiActive_;  // set by the control (SetActiveObject)
    ComPointer<IConnectionPoint> eventSource_;
    DWORD eventCookie_ = 0;
    ULONG references_ = 0;
    std::function<void(const std::string&)> newWindow_;
    PageEvents events_{*this};
};

}  // namespace tavrix::win32
