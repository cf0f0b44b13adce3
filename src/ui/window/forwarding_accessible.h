#pragma once
// A screen reader's object built on the system's object for a window: every question goes to the
// system's object but those a derived class answers itself.
#include <oleacc.h>

#include <string>

#include "automation/com_object.h"
#include "automation/com_ptr.h"

namespace qb::ui {

extern const IID kIID_IAccessible;

inline bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
inline HRESULT textOut(BSTR* out, const std::wstring& s) {
    if (!out) return E_POINTER;
    *out = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

class ForwardingAccessible : public automation::ComObject<IAccessible, kIID_IAccessible> {
public:
    explicit ForwardingAccessible(automation::ComPtr<IAccessible> inner) : inner_(std::move(inner)) {}

    STDMETHODIMP get_accName(VARIANT c, BSTR* n) override { return inner_->get_accName(c, n); }
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
    automation::ComPtr<IAccessible> inner_;
};

}  // namespace qb::ui
