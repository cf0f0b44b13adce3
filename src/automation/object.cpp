#include "automation/object.h"

#include <memory>

#include "automation/bstr.h"
#include "automation/com_error.h"

namespace qb::automation {
namespace {

DISPID memberId(IDispatch* p, std::wstring_view member) {
    std::wstring name(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = p->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw ComError::fromHResult(hr == E_NOTIMPL ? DISP_E_UNKNOWNNAME : hr);
    return id;
}

struct ExcepInfo : EXCEPINFO {
    ExcepInfo() : EXCEPINFO{} {}
    ~ExcepInfo() {
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrHelpFile);
    }
};

}  // namespace

DISPID MemberIds::find(std::wstring_view name) const {
    for (const auto& [n, id] : ids_)
        if (n == name) return id;
    return DISPID_UNKNOWN;
}

void MemberIds::remember(std::wstring_view name, DISPID id) { ids_.emplace_back(std::wstring(name), id); }

Variant Object::get(MemberIds& ids, std::wstring_view member) const {
    return invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, nullptr, &ids);
}

Variant Object::invoke(std::wstring_view member, WORD flags, Args args, const Variant* putValue,
                       MemberIds* ids) const {
    if (!p_) throw ComError::runtime(err::ObjectNotSet);
    DISPID id = ids ? ids->find(member) : DISPID_UNKNOWN;
    if (id == DISPID_UNKNOWN) {
        id = memberId(p_.get(), member);
        if (ids) ids->remember(member, id);
    }

    // DISPPARAMS carries the arguments last to first.
    std::vector<VARIANT> raw(args.size() + (putValue ? 1 : 0));
    size_t n = args.size();
    size_t i = 0;
    for (const Arg& a : args) {
        VARIANT& slot = raw[n - 1 - i + (putValue ? 1 : 0)];
        if (a.ref_) {
            ::VariantInit(&slot);
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = a.ref_->get();
        } else {
            slot = *a.value_.get();  // shallow: the Arg keeps ownership
        }
        ++i;
    }
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS dp{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    if (putValue) {
        raw[0] = *putValue->get();
        dp.rgdispidNamedArgs = &namedPut;
        dp.cNamedArgs = 1;
    }
    Variant result;
    ExcepInfo ei;
    UINT argErr = 0;
    // The callee may make its caller let this object go (a control closing its window from its own
    // event): the object stays alive until its call has returned.
    const ComPtr<IDispatch> target = p_;
    // What the callee leaves as the thread's error information is this call's: a dispatcher that
    // fills EXCEPINFO from it must not find an earlier failure's text there.
    ::SetErrorInfo(0, nullptr);
    HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, putValue ? nullptr : result.put(), &ei,
                            &argErr);
    if (hr == DISP_E_EXCEPTION) throw ComError::fromExcepInfo(ei);
    if (FAILED(hr)) throw ComError::fromHResult(hr);
    return result;
}

Variant Object::call(std::wstring_view member, Args args) const {
    return invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, nullptr);
}

Variant Object::get(std::wstring_view member, Args args) const {
    return invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, nullptr);
}

void Object::put(std::wstring_view member, const Variant& value) const {
    invoke(member, DISPATCH_PROPERTYPUT, {}, &value);
}

void Object::putRef(std::wstring_view member, const Variant& value) const {
    invoke(member, DISPATCH_PROPERTYPUTREF, {}, &value);
}

void Object::forEach(const std::function<void(const Variant&)>& visit) const {
    if (!p_) throw ComError::runtime(err::ObjectNotSet);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant enumVar;
    ExcepInfo ei;
    const ComPtr<IDispatch> target = p_;
    HRESULT hr = target->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                            &none, enumVar.put(), &ei, nullptr);
    if (hr == DISP_E_EXCEPTION) throw ComError::fromExcepInfo(ei);
    if (FAILED(hr)) throw ComError::runtime(err::ActionNotSupported);  // not a collection
    IUnknown* unk = enumVar.type() == VT_UNKNOWN    ? enumVar.get()->punkVal
                    : enumVar.type() == VT_DISPATCH ? enumVar.get()->pdispVal
                                                    : nullptr;
    ComPtr<IEnumVARIANT> items;
    if (!unk || FAILED(unk->QueryInterface(IID_IEnumVARIANT, items.put_void())))
        throw ComError::runtime(err::ActionNotSupported);
    // Fetched a batch at a time: a collection of tens of thousands is one call per batch.
    constexpr ULONG kBatch = 128;
    for (;;) {
        VARIANT raw[kBatch];
        for (VARIANT& v : raw) ::VariantInit(&v);
        ULONG fetched = 0;
        hr = items->Next(kBatch, raw, &fetched);
        if (FAILED(hr)) throw ComError::fromHResult(hr);
        std::vector<Variant> batch;
        batch.reserve(fetched);
        for (ULONG i = 0; i < fetched && i < kBatch; ++i) batch.push_back(Variant::adopt(raw[i]));
        for (const Variant& item : batch) visit(item);
        if (hr != S_OK || fetched == 0) break;  // S_FALSE: the last batch
    }
}

std::vector<Object> Object::items() const {
    std::vector<Object> out;
    forEach([&](const Variant& v) { out.push_back(Object::from(v)); });
    return out;
}

}  // namespace qb::automation
