#include "ui/win32/accessible_control.h"

#include <oleacc.h>

#include <utility>
#include <vector>

#include "scan/utf16_text.h"

namespace tavrix::win32 {

namespace {

using forms::AccessibleRole;

const wchar_t recordProperty[] = L"TavrixAccessibleRecord";
const wchar_t pressAction[] = L"Press";

// What a described window answers, kept with it until WM_NCDESTROY.
struct AccessibleRecord {
    forms::AccessibleDescription description;
    std::vector<std::wstring> rows;  // a list's rows as read; empty or missing: as shown
    std::wstring confirmation;       // its description; empty: the standard object's
    WNDPROC original = nullptr;
};

AccessibleRecord* recordOf(HWND window) { return static_cast<AccessibleRecord*>(GetPropW(window, recordProperty)); }

long roleOf(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::Window: return ROLE_SYSTEM_CLIENT;
        case AccessibleRole::Alert: return ROLE_SYSTEM_ALERT;
        case AccessibleRole::Grouping: return ROLE_SYSTEM_GROUPING;
        case AccessibleRole::Label: return ROLE_SYSTEM_STATICTEXT;
        case AccessibleRole::Text: return ROLE_SYSTEM_TEXT;
        case AccessibleRole::List: return ROLE_SYSTEM_LIST;
        case AccessibleRole::Link: return ROLE_SYSTEM_LINK;
        case AccessibleRole::Button: return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::Picture: return ROLE_SYSTEM_GRAPHIC;
        case AccessibleRole::Browser: return ROLE_SYSTEM_CLIENT;
    }
    return ROLE_SYSTEM_CLIENT;
}

HRESULT text(const std::wstring& value, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (value.empty()) return S_FALSE;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring windowText(HWND window) {
    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(GetWindowTextW(window, shown.data(), static_cast<int>(shown.size()))));
    return shown;
}

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard object of the window, answering from a copy of the window's record where it has
// something to say; a list's rows are its children 1 to n.
class DescribedAccessible final : public IAccessible {
public:
    DescribedAccessible(HWND window, IAccessible* standard, AccessibleRecord record)
        : window_(window), standard_(standard), record_(std::move(record)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible);
        *object = known ? static_cast<IAccessible*>(this) : nullptr;
        if (!known) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
    }

    STDMETHODIMP get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!isList()) return standard_->get_accChildCount(count);
        if (!count) return E_POINTER;
        *count = rowCount();
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
        if (!isList()) return standard_->get_accChild(child, object);
        if (!object) return E_POINTER;
        *object = nullptr;
        return isRow(child) ? S_FALSE : E_INVALIDARG;
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (isSelf(child)) return text(utf16Of(record_.description.name), name);
        if (isRow(child)) return text(rowText(child.lVal - 1), name);
        return standard_->get_accName(child, name);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        if (isSelf(child) && record_.description.textIsValue) return text(windowText(window_), value);
        if (isSelf(child) || isRow(child)) return text({}, value);
        return standard_->get_accValue(child, value);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        if (isSelf(child) && !record_.confirmation.empty()) return text(record_.confirmation, description);
        return standard_->get_accDescription(child, description);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (!isSelf(child) && !isRow(child)) return standard_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = isSelf(child) ? roleOf(record_.description.role) : ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (isRow(child)) {
            if (!state) return E_POINTER;
            const bool selected = SendMessageW(window_, LB_GETCURSEL, 0, 0) == child.lVal - 1;
            state->vt = VT_I4;
            state->lVal = STATE_SYSTEM_SELECTABLE | (selected ? STATE_SYSTEM_SELECTED : 0) |
                          (selected && GetFocus() == window_ ? STATE_SYSTEM_FOCUSED : 0);
            return S_OK;
        }
        const HRESULT result = standard_->get_accState(child, state);
        if (SUCCEEDED(result) && isSelf(child) && record_.description.clickable && state->vt == VT_I4)
            state->lVal |= STATE_SYSTEM_LINKED;
        return result;
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    STDMETHODIMP get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (isSelf(child) && pressable()) return text(pressAction, action);
        return standard_->get_accDefaultAction(child, action);
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(long left, long top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    // Posted, so that the caller has its answer before the click's consequences (a message box) run.
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        if (!isSelf(child) || !pressable()) return standard_->accDoDefaultAction(child);
        if (!IsWindow(window_)) return E_FAIL;
        if (record_.description.role == AccessibleRole::Button) {
            PostMessageW(window_, BM_CLICK, 0, 0);
        } else {
            PostMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), STN_CLICKED),
                         reinterpret_cast<LPARAM>(window_));
        }
        return S_OK;
    }
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return standard_->put_accValue(child, value); }

private:
    bool isList() const { return record_.description.role == AccessibleRole::List; }
    bool pressable() const {
        return record_.description.clickable || record_.description.role == AccessibleRole::Button;
    }
    long rowCount() const { return static_cast<long>(SendMessageW(window_, LB_GETCOUNT, 0, 0)); }
    bool isRow(const VARIANT& child) const {
        return isList() && child.vt == VT_I4 && child.lVal >= 1 && child.lVal <= rowCount();
    }
    std::wstring rowText(long row) const {
        if (static_cast<std::size_t>(row) < record_.rows.size() && !record_.rows[static_cast<std::size_t>(row)].empty())
            return record_.rows[static_cast<std::size_t>(row)];
        const LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
        if (length <= 0) return {};
        std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
        shown.resize(static_cast<std::size_t>(
            SendMessageW(window_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(shown.data()))));
        return shown;
    }

    LONG references_ = 1;
    HWND window_;
    IAccessible* standard_;
    AccessibleRecord record_;
};

LRESULT CALLBACK describedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AccessibleRecord* record = recordOf(window);
    const WNDPROC original = record->original;
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
            auto* described = new DescribedAccessible(window, standard, *record);
            const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, described);
            described->Release();
            return answer;
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(window, recordProperty);
        delete record;
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

}  // namespace

void describeForScreenReaders(HWND window, const forms::AccessibleDescription& description) {
    if (AccessibleRecord* record = recordOf(window)) {
        record->description = description;
        return;
    }
    auto* record = new AccessibleRecord{description, {}, {}, nullptr};
    record->original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    SetPropW(window, recordProperty, record);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&describedProcedure));
}

void setRowReading(HWND list, int row, const std::string& reading) {
    AccessibleRecord* record = recordOf(list);
    if (!record || row < 0 || row >= static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0))) return;
    if (record->rows.size() <= static_cast<std::size_t>(row)) record->rows.resize(static_cast<std::size_t>(row) + 1);
    record->rows[static_cast<std::size_t>(row)] = utf16Of(reading);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, list, OBJID_CLIENT, row + 1);
}

void valueChanged(HWND control) { NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF); }

void confirmToScreenReader(HWND control, const std::string& confirmation) {
    AccessibleRecord* record = recordOf(control);
    if (!record) return;
    record->confirmation = utf16Of(confirmation);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void announceShownWindow(HWND window, const forms::AccessibleDescription& description) {
    if (description.role == AccessibleRole::Alert)
        NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace tavrix::win32
