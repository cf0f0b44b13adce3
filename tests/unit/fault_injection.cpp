#include "fault_injection.h"

#include <oleauto.h>

#include <map>

#include "automation/com_error.h"
#include "automation/com_object.h"
#include "automation/object.h"

namespace qb::testing {
namespace {

using automation::ComPtr;

// The error a suite component raises.
constexpr HRESULT kSuiteError = static_cast<HRESULT>(0x80041499L);

class Counted {
public:
    explicit Counted(std::shared_ptr<Injection> s) : state_(std::move(s)) { ++state_->live; }
    ~Counted() { --state_->live; }

protected:
    std::shared_ptr<Injection> state_;
};

void wrapAnswer(const std::wstring& name, VARIANT* result, DISPID id, const std::shared_ptr<Injection>& state);

class FaultProxy final : public automation::ComObject<IDispatch, IID_IDispatch>, Counted {
public:
    FaultProxy(std::wstring name, ComPtr<IDispatch> real, std::shared_ptr<Injection> state)
        : Counted(std::move(state)), name_(std::move(name)), real_(std::move(real)) {}

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return real_->GetTypeInfoCount(n); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override { return real_->GetTypeInfo(i, lcid, info); }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        HRESULT hr = real_->GetIDsOfNames(iid, names, count, lcid, ids);
        if (SUCCEEDED(hr) && count) members_[ids[0]] = names[0];
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override {
        const std::wstring member = id == DISPID_NEWENUM ? L"_NewEnum" : members_[id];
        if (state_->fails(name_)) {
            if (state_->failed.empty()) state_->failed = name_ + L"." + member;
            if (excep) {
                *excep = EXCEPINFO{};
                excep->scode = kSuiteError;
                excep->bstrSource = ::SysAllocString(name_.c_str());
                excep->bstrDescription =
                    ::SysAllocString((L"The suite failed (injected): " + name_ + L"." + member).c_str());
            }
            return DISP_E_EXCEPTION;
        }
        HRESULT hr = real_->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
        if (SUCCEEDED(hr) && result) wrapAnswer(name_, result, id, state_);
        return hr;
    }
    // Connection points and the like: the real object's.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        HRESULT hr = ComObject::QueryInterface(iid, out);
        return hr == E_NOINTERFACE ? real_->QueryInterface(iid, out) : hr;
    }

private:
    std::wstring name_;
    ComPtr<IDispatch> real_;
    std::map<DISPID, std::wstring> members_;
};

// A collection's items come out as proxies too.
class EnumProxy final : public automation::ComObject<IEnumVARIANT, IID_IEnumVARIANT>, Counted {
public:
    EnumProxy(std::wstring name, ComPtr<IEnumVARIANT> real, std::shared_ptr<Injection> state)
        : Counted(std::move(state)), name_(std::move(name)), real_(std::move(real)) {}
    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        ULONG got = 0;
        HRESULT hr = real_->Next(count, items, &got);
        for (ULONG i = 0; i < got; ++i) wrapAnswer(name_, &items[i], 0, state_);
        if (fetched) *fetched = got;
        return hr;
    }
    STDMETHODIMP Skip(ULONG count) override { return real_->Skip(count); }
    STDMETHODIMP Reset() override { return real_->Reset(); }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        ComPtr<IEnumVARIANT> copy;
        HRESULT hr = real_->Clone(copy.put());
        if (FAILED(hr) || !out) return hr;
        *out = new EnumProxy(name_, copy, state_);
        return S_OK;
    }

private:
    std::wstring name_;
    ComPtr<IEnumVARIANT> real_;
};

void wrapAnswer(const std::wstring& name, VARIANT* result, DISPID id, const std::shared_ptr<Injection>& state) {
    if (id == DISPID_NEWENUM && (result->vt == VT_UNKNOWN || result->vt == VT_DISPATCH) && result->punkVal) {
        ComPtr<IEnumVARIANT> items;
        if (SUCCEEDED(result->punkVal->QueryInterface(IID_IEnumVARIANT, items.put_void()))) {
            result->punkVal->Release();
            result->vt = VT_UNKNOWN;
            result->punkVal = static_cast<IEnumVARIANT*>(new EnumProxy(name, items, state));
        }
        return;
    }
    if (result->vt == VT_DISPATCH && result->pdispVal) {
        ComPtr<IDispatch> answered = ComPtr<IDispatch>::attach(result->pdispVal);
        result->pdispVal = new FaultProxy(name, answered, state);
    }
}

}  // namespace

automation::Object FaultInjectingFactory::create(std::wstring_view progId) {
    const std::wstring name(progId);
    if (state_->fails(name)) {
        if (state_->failed.empty()) state_->failed = L"CreateObject(" + name + L")";
        throw automation::ComError::runtime(automation::err::CantCreateObject);
    }
    automation::Object real = inner_.create(progId);
    return automation::Object(ComPtr<IDispatch>::attach(new FaultProxy(name, real.ptr(), state_)));
}

}  // namespace qb::testing
