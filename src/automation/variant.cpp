#include "automation/variant.h"

#include <oleauto.h>

#include "automation/com_error.h"

namespace qb::automation {

Variant::Variant(const Variant& o) {
    ::VariantInit(&v_);
    HRESULT hr = ::VariantCopy(&v_, const_cast<VARIANT*>(&o.v_));
    if (FAILED(hr)) throw ComError::fromHResult(hr);
}

Variant::Variant(Variant&& o) noexcept : v_(o.v_) { ::VariantInit(&o.v_); }

Variant& Variant::operator=(Variant o) noexcept {
    std::swap(v_, o.v_);
    return *this;
}

Variant::Variant(std::wstring_view s) {
    ::VariantInit(&v_);
    v_.vt = VT_BSTR;
    v_.bstrVal = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    if (!v_.bstrVal) throw ComError::runtime(err::OutOfMemory);
}

Variant::Variant(bool b) {
    ::VariantInit(&v_);
    v_.vt = VT_BOOL;
    v_.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(long i) {
    ::VariantInit(&v_);
    v_.vt = VT_I4;
    v_.lVal = i;
}

Variant::Variant(short i) {
    ::VariantInit(&v_);
    v_.vt = VT_I2;
    v_.iVal = i;
}

Variant::Variant(double d) {
    ::VariantInit(&v_);
    v_.vt = VT_R8;
    v_.dblVal = d;
}

Variant::Variant(IDispatch* p) {
    ::VariantInit(&v_);
    v_.vt = VT_DISPATCH;
    v_.pdispVal = p;
    if (p) p->AddRef();
}

Variant Variant::null() {
    Variant v;
    v.v_.vt = VT_NULL;
    return v;
}

Variant Variant::missing() {
    Variant r;
    r.v_.vt = VT_ERROR;
    r.v_.scode = DISP_E_PARAMNOTFOUND;
    return r;
}

Variant Variant::copyOf(const VARIANT& v) {
    Variant r;
    HRESULT hr = ::VariantCopyInd(&r.v_, const_cast<VARIANT*>(&v));
    if (FAILED(hr)) throw ComError::fromHResult(hr);
    return r;
}

Variant Variant::adopt(VARIANT& v) {
    Variant r;
    r.v_ = v;
    ::VariantInit(&v);
    return r;
}

VARIANT Variant::detach() {
    VARIANT r = v_;
    ::VariantInit(&v_);
    return r;
}

bool Variant::isNothing() const {
    if (v_.vt == VT_DISPATCH) return v_.pdispVal == nullptr;
    if (v_.vt == VT_UNKNOWN) return v_.punkVal == nullptr;
    return true;
}

Variant Variant::changed(VARTYPE to) const {
    Variant r;
    // An automation client converts with the user's locale (VARIANT_LOCALBOOL spells True/False).
    HRESULT hr = ::VariantChangeTypeEx(&r.v_, const_cast<VARIANT*>(&v_), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, to);
    if (FAILED(hr)) {
        if (v_.vt == VT_NULL) throw ComError(94, L"Invalid use of Null", kComponentSource);
        throw ComError::fromHResult(hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH);
    }
    return r;
}

std::wstring Variant::toText() const {
    if (v_.vt == VT_BSTR) return v_.bstrVal ? std::wstring(v_.bstrVal, ::SysStringLen(v_.bstrVal)) : L"";
    if (v_.vt == VT_EMPTY) return L"";
    if (v_.vt == VT_BOOL) return v_.boolVal ? L"True" : L"False";
    Variant r = changed(VT_BSTR);
    return r.toText();
}

double Variant::toDouble() const {
    if (v_.vt == VT_R8) return v_.dblVal;
    return changed(VT_R8).v_.dblVal;
}

long Variant::toLong() const {
    if (v_.vt == VT_I4) return v_.lVal;
    return changed(VT_I4).v_.lVal;
}

short Variant::toShort() const {
    if (v_.vt == VT_I2) return v_.iVal;
    return changed(VT_I2).v_.iVal;
}

bool Variant::toBool() const {
    if (v_.vt == VT_BOOL) return v_.boolVal != VARIANT_FALSE;
    return changed(VT_BOOL).v_.boolVal != VARIANT_FALSE;
}

ComPtr<IDispatch> Variant::toObject() const {
    if (v_.vt == VT_DISPATCH) return ComPtr<IDispatch>(v_.pdispVal);
    if (v_.vt == VT_UNKNOWN) {
        if (!v_.punkVal) return {};
        ComPtr<IDispatch> d;
        if (FAILED(v_.punkVal->QueryInterface(IID_IDispatch, d.put_void())))
            throw ComError::runtime(err::TypeMismatch);
        return d;
    }
    if (v_.vt == VT_EMPTY) return {};
    throw ComError::runtime(err::TypeMismatch);
}

}  // namespace qb::automation
