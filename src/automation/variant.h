#pragma once
// Owning VARIANT with the conversions an automation client makes.
#include <oaidl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/com_ptr.h"

namespace qb::automation {

class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept;
    ~Variant() { ::VariantClear(&v_); }
    Variant& operator=(Variant o) noexcept;

    Variant(std::wstring_view s);
    Variant(const wchar_t* s) : Variant(std::wstring_view(s)) {}
    Variant(const std::wstring& s) : Variant(std::wstring_view(s)) {}
    Variant(bool b);
    Variant(int i) : Variant(static_cast<long>(i)) {}
    Variant(long i);
    Variant(short i);
    Variant(double d);
    Variant(IDispatch* p);  // AddRefs; a null pointer is Nothing
    Variant(const ComPtr<IDispatch>& p) : Variant(p.get()) {}

    // An omitted optional argument ("missing").
    static Variant missing();
    // Null: the value of an empty database field.
    static Variant null();
    // Copy of a VARIANT, following a by-reference one to its value.
    static Variant copyOf(const VARIANT& v);
    // Takes over a VARIANT (the source is left VT_EMPTY).
    static Variant adopt(VARIANT& v);

    VARTYPE type() const { return v_.vt; }
    bool isMissing() const { return v_.vt == VT_ERROR && v_.scode == DISP_E_PARAMNOTFOUND; }
    bool isEmpty() const { return v_.vt == VT_EMPTY; }
    bool isNull() const { return v_.vt == VT_NULL; }
    // True for an object reference to Nothing and for anything that is not an object.
    bool isNothing() const;

    // Conversions as an automation client makes them; failures raise ComError (13, 6, 94...).
    std::wstring toText() const;
    long toLong() const;
    short toShort() const;
    double toDouble() const;
    bool toBool() const;
    ComPtr<IDispatch> toObject() const;  // Nothing -> null; non-objects raise 13

    const VARIANT* get() const { return &v_; }
    VARIANT* get() { return &v_; }
    VARIANT* put() {
        ::VariantClear(&v_);
        return &v_;
    }
    VARIANT detach();

private:
    Variant changed(VARTYPE to) const;
    VARIANT v_;
};

}  // namespace qb::automation
