// Accessible names: a control answers a screen reader's WM_GETOBJECT with the system's own
// accessible object for it, but named as the form names it ("All Keywords", not an empty name).
#include <oleacc.h>

#include "automation/com_object.h"
#include "automation/com_ptr.h"
#include "ui/window/form.h"

namespace qb::ui {

// {618736E0-3C3D-11CF-810C-00AA00389B71}. Spelt out: mingw's import library gives the address of
// an import thunk for the IID oleacc.dll exports as data.
const IID kIID_IAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

using automation::ComPtr;

// Passes everything to the system's object but the control's own name.
class NamedAccessible final : public automation::ComObject<IAccessible, kIID_IAccessible> {
public:
    NamedAccessible(ComPtr<IAccessible> inner, std::wstring name) : inner_(std::move(inner)), name_(std::move(name)) {}

    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
            *name = ::SysAllocString(name_.c_str());
            return *name ? S_OK : E_OUTOFMEMORY;
        }
        return inner_->get_accName(child, name);
    }
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return inner_->GetIDsOfNames(r, n, c, l, d);
    }
    STDMETHODIMP Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override {
        return inner_->Invoke(d, r, l, f, p, v, e, a);
    }
    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
    STDMETHODIMP get_accChildCount(LONG* n) override { return inner_->get_accChildCount(n); }
    STDMETHODIMP get_accChild(VARIANT c, IDispatch** d) override { return inner_->get_accChild(c, d); }
    STDMETHODIMP get_accValue(VARIANT c, BSTR* v) override { return inner_->get_accValue(c, v); }
    STDMETHODIMP get_accDescription(VARIANT c, BSTR* d) override { return inner_->get_accDescription(c, d); }
    STDMETHODIMP get_accRole(VARIANT c, VARIANT* r) override { return inner_->get_accRole(c, r); }
    STDMETHODIMP get_accState(VARIANT c, VARIANT* s) override { return inner_->get_accState(c, s); }
    STDMETHODIMP get_accHelp(VARIANT c, BSTR* h) override { return inner_->get_accHelp(c, h); }
    STDMETHODIMP get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override { return inner_->get_accHelpTopic(f, c, t); }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return inner_->get_accKeyboardShortcut(c, k);
    }
    STDMETHODIMP get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
    STDMETHODIMP get_accSelection(VARIANT* c) override { return inner_->get_accSelection(c); }
    STDMETHODIMP get_accDefaultAction(VARIANT c, BSTR* a) override { return inner_->get_accDefaultAction(c, a); }
    STDMETHODIMP accSelect(LONG f, VARIANT c) override { return inner_->accSelect(f, c); }
    STDMETHODIMP accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
        return inner_->accLocation(x, y, w, h, c);
    }
    STDMETHODIMP accNavigate(LONG d, VARIANT s, VARIANT* e) override { return inner_->accNavigate(d, s, e); }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* c) override { return inner_->accHitTest(x, y, c); }
    STDMETHODIMP accDoDefaultAction(VARIANT c) override { return inner_->accDoDefaultAction(c); }
    STDMETHODIMP put_accName(VARIANT c, BSTR n) override { return inner_->put_accName(c, n); }
    STDMETHODIMP put_accValue(VARIANT c, BSTR v) override { return inner_->put_accValue(c, v); }

protected:
    void* interfaceFor(REFIID iid) override {
        return automation::answer(iid, {{kIID_IAccessible, static_cast<IAccessible*>(this)},
                                        {IID_IDispatch, static_cast<IDispatch*>(this)}});
    }

private:
    ComPtr<IAccessible> inner_;
    std::wstring name_;
};

}  // namespace

bool Form::accessibleObject(const Control& control, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT || !control.handle()) return false;
    ComPtr<IAccessible> standard;
    if (FAILED(::CreateStdAccessibleObject(control.handle(), OBJID_CLIENT, kIID_IAccessible, standard.put_void())))
        return false;
    ComPtr<IAccessible> own = ComPtr<IAccessible>::attach(control.makeAccessible(standard.get()));
    if (own) standard = own;
    if (control.accessibleName().empty()) {
        if (!own) return false;
        result = ::LresultFromObject(kIID_IAccessible, wp, own.get());
        return true;
    }
    ComPtr<IAccessible> named = ComPtr<IAccessible>::attach(new NamedAccessible(standard, control.accessibleName()));
    result = ::LresultFromObject(kIID_IAccessible, wp, named.get());
    return true;
}

}  // namespace qb::ui
