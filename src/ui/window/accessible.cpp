// Accessible names: a control answers a screen reader's WM_GETOBJECT with the system's own
// accessible object for it, but named as the form names it ("All Keywords", not an empty name).
#include <oleacc.h>
#include <commctrl.h>

#include "automation/com_ptr.h"
#include "ui/window/form.h"
#include "ui/window/forwarding_accessible.h"

namespace qb::ui {

// {618736E0-3C3D-11CF-810C-00AA00389B71}. Spelt out: mingw's import library gives the address of
// an import thunk for the IID oleacc.dll exports as data.
const IID kIID_IAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

using automation::ComPtr;

// The role a control's window plays, by its class and style: what Windows' own proxies answer,
// for a system whose objects call every control a client area.
long roleOf(HWND h) {
    wchar_t cls[32] = {};
    ::GetClassNameW(h, cls, 32);
    const LONG style = ::GetWindowLongW(h, GWL_STYLE);
    if (_wcsicmp(cls, WC_TREEVIEWW) == 0) return ROLE_SYSTEM_OUTLINE;
    if (_wcsicmp(cls, WC_LISTVIEWW) == 0) return ROLE_SYSTEM_LIST;
    if (_wcsicmp(cls, WC_TABCONTROLW) == 0) return ROLE_SYSTEM_PAGETABLIST;
    if (_wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_OWNERDRAW) return ROLE_SYSTEM_GRAPHIC;
    if (_wcsicmp(cls, L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_AUTOCHECKBOX: case BS_CHECKBOX: return ROLE_SYSTEM_CHECKBUTTON;
            case BS_AUTORADIOBUTTON: case BS_RADIOBUTTON: return ROLE_SYSTEM_RADIOBUTTON;
            case BS_GROUPBOX: return ROLE_SYSTEM_GROUPING;
            default: return ROLE_SYSTEM_PUSHBUTTON;
        }
    }
    return 0;
}

// The system's object, but for the control's own name (and its role where the system's object
// knows none better than "client").
class NamedAccessible final : public ForwardingAccessible {
public:
    NamedAccessible(ComPtr<IAccessible> inner, HWND window, std::wstring name, long role)
        : ForwardingAccessible(std::move(inner)), window_(window), name_(std::move(name)), role_(role) {}

    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return isSelf(child) && !name_.empty() ? textOut(name, name_) : inner_->get_accName(child, name);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        HRESULT hr = inner_->get_accRole(child, role);
        if (isSelf(child) && role_ && SUCCEEDED(hr) && role->vt == VT_I4 && role->lVal == ROLE_SYSTEM_CLIENT) role->lVal = role_;
        return hr;
    }

    // An option or check box says whether it is chosen, as Windows' button proxy does.
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        HRESULT hr = inner_->get_accState(child, state);
        if (isSelf(child) && SUCCEEDED(hr) && state->vt == VT_I4 && (role_ == ROLE_SYSTEM_RADIOBUTTON || role_ == ROLE_SYSTEM_CHECKBUTTON)) {
            const LRESULT check = ::SendMessageW(window_, BM_GETCHECK, 0, 0);
            state->lVal &= ~(STATE_SYSTEM_CHECKED | STATE_SYSTEM_MIXED);
            if (check == BST_CHECKED) state->lVal |= STATE_SYSTEM_CHECKED;
            if (check == BST_INDETERMINATE) state->lVal |= STATE_SYSTEM_MIXED;
        }
        return hr;
    }

private:
    HWND window_;
    std::wstring name_;
    long role_;
};

}  // namespace

bool Form::accessibleObject(const Control& control, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (&control == pages_ && static_cast<LONG>(lp) == OBJID_CLIENT) makeEveryPage();  // the pages behind the tabs
    return accessibleObject(control.handle(), control, wp, lp, result);
}

bool Form::accessibleObject(HWND inside, const Control& control, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT || !inside) return false;
    ComPtr<IAccessible> standard;
    if (FAILED(::CreateStdAccessibleObject(inside, OBJID_CLIENT, kIID_IAccessible, standard.put_void())))
        return false;
    ComPtr<IAccessible> own =
        ComPtr<IAccessible>::attach(inside == control.handle() ? control.makeAccessible(standard.get()) : nullptr);
    if (own) standard = own;
    const long role = roleOf(inside);
    if (control.accessibleName().empty() && !role) {
        if (!own) return false;
        result = ::LresultFromObject(kIID_IAccessible, wp, own.get());
        return true;
    }
    std::wstring name = control.accessibleName();
    if (const std::wstring value = control.spokenValue(); !value.empty() && value != name) name += L": " + value;
    ComPtr<IAccessible> named = ComPtr<IAccessible>::attach(new NamedAccessible(standard, inside, std::move(name), role));
    result = ::LresultFromObject(kIID_IAccessible, wp, named.get());
    return true;
}

}  // namespace qb::ui
