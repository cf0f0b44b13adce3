#pragma once
// Late-bound calls by member name, the way an automation client makes them.
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "automation/variant.h"

namespace qb::automation {

// One positional argument: a value, "missing", or a variable passed by reference.
class Arg {
public:
    Arg(Variant v) : value_(std::move(v)) {}
    Arg(const wchar_t* s) : value_(s) {}
    Arg(const std::wstring& s) : value_(s) {}
    Arg(std::wstring_view s) : value_(s) {}
    Arg(bool b) : value_(b) {}
    Arg(int i) : value_(i) {}
    Arg(long i) : value_(i) {}
    Arg(short i) : value_(i) {}
    Arg(IDispatch* p) : value_(p) {}
    static Arg missing() { return Arg(Variant::missing()); }
    // The callee may change `var`; the change is seen after the call.
    static Arg byRef(Variant& var) {
        Arg a{Variant()};
        a.ref_ = &var;
        return a;
    }

private:
    friend class Object;
    Variant value_;
    Variant* ref_ = nullptr;
};

using Args = std::initializer_list<Arg>;

// Member ids remembered across objects of one class, such as the items of one collection (a
// collection holds objects of one class): the name is looked up once, not once per item.
class MemberIds {
public:
    DISPID find(std::wstring_view name) const;
    void remember(std::wstring_view name, DISPID id);

private:
    std::vector<std::pair<std::wstring, DISPID>> ids_;
};

class Object {
public:
    Object() = default;
    explicit Object(ComPtr<IDispatch> p) : p_(std::move(p)) {}
    // An object held in a variant (Nothing gives an empty Object; a non-object raises 13).
    static Object from(const Variant& v) { return Object(v.toObject()); }

    bool isNothing() const { return !p_; }
    IDispatch* get() const { return p_.get(); }
    const ComPtr<IDispatch>& ptr() const { return p_; }

    // A method call, also accepted as a property read (what `x = o.Member(a, b)` does).
    Variant call(std::wstring_view member, Args args = {}) const;
    // A property read / write.
    Variant get(std::wstring_view member, Args args = {}) const;
    // The same through remembered member ids (objects of one class only).
    Variant get(MemberIds& ids, std::wstring_view member) const;
    void put(std::wstring_view member, const Variant& value) const;
    void putRef(std::wstring_view member, const Variant& value) const;
    // A method whose result is an object (Nothing gives an empty Object).
    Object callObject(std::wstring_view member, Args args = {}) const {
        return Object::from(call(member, args));
    }

    // Walks a collection from first to last through its _NewEnum.
    void forEach(const std::function<void(const Variant&)>& visit) const;
    std::vector<Object> items() const;

private:
    Variant invoke(std::wstring_view member, WORD flags, Args args, const Variant* putValue,
                   MemberIds* ids = nullptr) const;
    ComPtr<IDispatch> p_;
};

}  // namespace qb::automation
