#pragma once
// Server side of late binding: an IDispatch whose members come from a table of handlers.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/com_object.h"
#include "automation/variant.h"

namespace qb::automation {

class DispatchObject;
struct Member;

// An argument the dispatch layer refuses: the HRESULT for the client and the argument's index
// in rgvarg (what puArgErr reports).
struct ArgumentError {
    HRESULT hr;
    UINT index;
};

// The arguments of one call, first to last, as the client gave them: positional ones, and named
// ones put in the place of the parameter they name (when the member names its parameters).
class CallArgs {
public:
    explicit CallArgs(const DISPPARAMS* dp, const Member* member = nullptr);
    size_t count() const { return slots_.size(); }
    // Present and not omitted.
    bool has(size_t i) const;
    // The value (followed through a reference); an absent one is "missing".
    Variant value(size_t i) const;
    // Converted values; an argument that does not convert is refused with DISP_E_TYPEMISMATCH
    // (or DISP_E_OVERFLOW) and its index, as the dispatch layer of a VB class refuses it.
    std::wstring text(size_t i, std::wstring_view fallback = {}) const;
    long number(size_t i, long fallback = 0) const;
    bool flag(size_t i, bool fallback = false) const;
    // The same, raising 449 when the argument is absent.
    std::wstring requiredText(size_t i) const;
    // Writes back into a by-reference argument (ignored when passed by value).
    void setRef(size_t i, const Variant& v) const;
    // The value assigned by a property put.
    const Variant& assigned() const { return assigned_; }
    // Raises 449 when argument i is absent.
    void require(size_t i) const;

private:
    template <class F>
    auto converted(size_t i, F&& convert) const;
    struct Slot {
        VARIANT* value;
        UINT index;  // in rgvarg
    };
    std::vector<Slot> slots_;
    Variant assigned_;
};

struct Member {
    std::wstring name;
    DISPID id;
    std::function<Variant(DispatchObject&, const CallArgs&)> call;   // method or property get
    std::function<void(DispatchObject&, const CallArgs&)> assign;    // property put (Let)
    std::function<void(DispatchObject&, const CallArgs&)> assignRef;  // property put by reference (Set)
    // The parameters' names, when the member declares them: named arguments and the argument
    // count are checked against them.
    std::vector<std::wstring> params;
    bool declaresParams = false;
};

class MemberTable {
public:
    template <class Self, class F>
    MemberTable& method(std::wstring name, F f) {
        add(std::move(name)).call = [f](DispatchObject& o, const CallArgs& a) -> Variant {
            if constexpr (std::is_void_v<decltype(f(static_cast<Self&>(o), a))>) {
                f(static_cast<Self&>(o), a);
                return Variant();
            } else {
                return Variant(f(static_cast<Self&>(o), a));
            }
        };
        return *this;
    }
    // A method that names its parameters (as its type description does).
    template <class Self, class F>
    MemberTable& method(std::wstring name, std::initializer_list<const wchar_t*> params, F f) {
        method<Self>(name, std::move(f));
        Member* m = find(name);
        m->params.assign(params.begin(), params.end());
        m->declaresParams = true;
        return *this;
    }
    template <class Self, class F>
    MemberTable& property(std::wstring name, F f) {
        return method<Self>(std::move(name), [f](Self& s, const CallArgs&) { return f(s); });
    }
    template <class Self, class F>
    MemberTable& assignable(std::wstring name, F f) {
        find(name)->assign = [f](DispatchObject& o, const CallArgs& a) { f(static_cast<Self&>(o), a.assigned()); };
        return *this;
    }
    template <class Self, class F>
    MemberTable& assignableRef(std::wstring name, F f) {
        find(name)->assignRef = [f](DispatchObject& o, const CallArgs& a) { f(static_cast<Self&>(o), a.assigned()); };
        return *this;
    }
    // DISPID_NEWENUM, so For Each works.
    template <class Self, class F>
    MemberTable& enumerator(F f) {
        method<Self>(L"_NewEnum", f);
        entries_.back().id = DISPID_NEWENUM;
        return *this;
    }

    // Makes a member the object's default one (DISPID_VALUE): `o(x)` means `o.Member(x)`.
    MemberTable& makeDefault(std::wstring_view name) {
        find(name)->id = DISPID_VALUE;
        return *this;
    }

    const Member* find(std::wstring_view name) const;
    Member* find(std::wstring_view name);
    const Member* find(DISPID id) const;

private:
    Member& add(std::wstring name);
    std::vector<Member> entries_;
};

// Reference-counted IDispatch over a MemberTable. Failures of handlers reach the client as
// DISP_E_EXCEPTION with the error's number, source and description.
class DispatchObject : public ComObject<IDispatch, IID_IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* n) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                        UINT* argErr) override;

    // Live objects of this module (for DllCanUnloadNow).
    static long liveObjects();
    IDispatch* asDispatch() { return this; }

protected:
    DispatchObject();
    virtual ~DispatchObject();
    virtual const MemberTable& members() const = 0;
    // The interface a failure of a member is reported for (IErrorInfo's GUID).
    virtual const IID& errorInterface() const { return IID_IDispatch; }
    // The type description of the members, for clients that ask (none by default).
    virtual ComPtr<ITypeInfo> typeInfo() { return {}; }
};

// Makes a new object with one reference, owned by the returned pointer.
template <class T, class... A>
ComPtr<IDispatch> makeObject(A&&... a) {
    return ComPtr<IDispatch>::attach(new T(std::forward<A>(a)...));
}

// A read-only collection of variants (Count, Item(i) from 1, _NewEnum).
class Collection : public DispatchObject {
public:
    explicit Collection(std::vector<Variant> items) : items_(std::move(items)) {}
    const std::vector<Variant>& items() const { return items_; }

protected:
    const MemberTable& members() const override;

private:
    std::vector<Variant> items_;
};

}  // namespace qb::automation
