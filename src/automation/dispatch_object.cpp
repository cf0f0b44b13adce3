#include "automation/dispatch_object.h"

#include <algorithm>
#include <atomic>
#include <cwctype>

#include "automation/boundary.h"

namespace qb::automation {
namespace {

std::atomic<long> g_live{0};

bool sameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(x) == std::towlower(y);
           });
}

// IEnumVARIANT over a snapshot of variants.
class VariantEnum final : public ComObject<IEnumVARIANT, IID_IEnumVARIANT> {
public:
    VariantEnum(std::vector<Variant> items, size_t pos = 0) : items_(std::move(items)), pos_(pos) { ++g_live; }
    ~VariantEnum() override { --g_live; }
    STDMETHODIMP Next(ULONG n, VARIANT* out, ULONG* fetched) override {
        ULONG got = 0;
        for (; got < n && pos_ < items_.size(); ++got, ++pos_) {
            ::VariantInit(&out[got]);
            ::VariantCopy(&out[got], items_[pos_].get());
        }
        if (fetched) *fetched = got;
        return got == n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        pos_ = std::min<size_t>(items_.size(), pos_ + n);
        return pos_ < items_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        pos_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        *out = new (std::nothrow) VariantEnum(items_, pos_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::vector<Variant> items_;
    size_t pos_;
};

}  // namespace

CallArgs::CallArgs(const DISPPARAMS* dp, const Member* member) {
    if (!dp) return;
    const UINT named = dp->cNamedArgs, total = dp->cArgs;
    if (named > total || (named && !dp->rgdispidNamedArgs)) throw ArgumentError{DISP_E_BADPARAMCOUNT, 0};
    const bool declared = member && member->declaresParams;
    // Positional arguments come last in rgvarg, in reverse order.
    for (UINT k = 0; k < total - named; ++k) slots_.push_back({&dp->rgvarg[total - 1 - k], total - 1 - k});
    for (UINT i = 0; i < named; ++i) {
        const DISPID id = dp->rgdispidNamedArgs[i];
        if (id == DISPID_PROPERTYPUT) {
            assigned_ = Variant::copyOf(dp->rgvarg[i]);
            continue;
        }
        // A name the member does not have, or a parameter given twice.
        if (!declared || id < 0 || static_cast<size_t>(id) >= member->params.size() ||
            (static_cast<size_t>(id) < slots_.size() && slots_[id].value))
            throw ArgumentError{DISP_E_PARAMNOTFOUND, i};
        if (static_cast<size_t>(id) >= slots_.size()) slots_.resize(id + 1, Slot{nullptr, 0});
        slots_[id] = {&dp->rgvarg[i], i};
    }
    if (declared && slots_.size() > member->params.size()) throw ArgumentError{DISP_E_BADPARAMCOUNT, 0};
}

bool CallArgs::has(size_t i) const {
    if (i >= slots_.size() || !slots_[i].value) return false;
    const VARIANT* v = slots_[i].value;
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    return !(v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND);
}

Variant CallArgs::value(size_t i) const {
    if (!has(i)) return Variant::missing();
    return Variant::copyOf(*slots_[i].value);
}

template <class F>
auto CallArgs::converted(size_t i, F&& convert) const {
    try {
        return convert(value(i));
    } catch (const ComError& e) {
        if (e.number() == err::TypeMismatch) throw ArgumentError{DISP_E_TYPEMISMATCH, slots_[i].index};
        if (e.number() == err::Overflow) throw ArgumentError{DISP_E_OVERFLOW, slots_[i].index};
        throw;
    }
}

std::wstring CallArgs::text(size_t i, std::wstring_view fallback) const {
    return has(i) ? converted(i, [](const Variant& v) { return v.toText(); }) : std::wstring(fallback);
}

long CallArgs::number(size_t i, long fallback) const {
    return has(i) ? converted(i, [](const Variant& v) { return v.toLong(); }) : fallback;
}

bool CallArgs::flag(size_t i, bool fallback) const {
    return has(i) ? converted(i, [](const Variant& v) { return v.toBool(); }) : fallback;
}

std::wstring CallArgs::requiredText(size_t i) const {
    require(i);
    return text(i);
}

void CallArgs::require(size_t i) const {
    if (!has(i)) throw ComError::runtime(err::ArgumentNotOptional);
}

void CallArgs::setRef(size_t i, const Variant& v) const {
    if (i >= slots_.size() || !slots_[i].value) return;
    VARIANT* target = slots_[i].value;
    if (target->vt == (VT_BYREF | VT_VARIANT) && target->pvarVal) {
        ::VariantClear(target->pvarVal);
        ::VariantCopy(target->pvarVal, const_cast<VARIANT*>(v.get()));
    }
}

Member& MemberTable::add(std::wstring name) {
    if (Member* m = find(name)) return *m;
    entries_.push_back(Member{std::move(name), static_cast<DISPID>(entries_.size() + 1), {}, {}});
    return entries_.back();
}

const Member* MemberTable::find(std::wstring_view name) const {
    for (const Member& m : entries_)
        if (sameName(m.name, name)) return &m;
    return nullptr;
}

Member* MemberTable::find(std::wstring_view name) {
    return const_cast<Member*>(static_cast<const MemberTable*>(this)->find(name));
}

const Member* MemberTable::find(DISPID id) const {
    for (const Member& m : entries_)
        if (m.id == id) return &m;
    return nullptr;
}

DispatchObject::DispatchObject() { ++g_live; }
DispatchObject::~DispatchObject() { --g_live; }
long DispatchObject::liveObjects() { return g_live.load(); }

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* n) {
    if (!n) return E_POINTER;
    *n = typeInfo() ? 1 : 0;
    return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ComPtr<ITypeInfo> info = typeInfo();
    if (!info) return E_NOTIMPL;
    *out = info.detach();
    return S_OK;
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    const Member* m = members().find(std::wstring_view(names[0]));
    ids[0] = m ? m->id : DISPID_UNKNOWN;
    bool allKnown = m != nullptr;
    // The other names are the member's parameters: their ids are their positions.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (m)
            for (size_t p = 0; p < m->params.size(); ++p)
                if (names[i] && sameName(m->params[p], names[i])) ids[i] = static_cast<DISPID>(p);
        allKnown &= ids[i] != DISPID_UNKNOWN;
    }
    return allKnown ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* excep, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return invokeBoundary(excep, errorInterface(), [&]() -> HRESULT {
        const Member* m = members().find(id);
        if (!m) return DISP_E_MEMBERNOTFOUND;
        AddRef();  // the object stays alive while its own member runs
        struct Keep {
            DispatchObject* o;
            ~Keep() { o->Release(); }
        } keep{this};
        try {
            CallArgs args(params, m);
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
                // Set (by reference) and Let (by value) are told apart; a caller that allows both
                // gets Set for an object when the member has it.
                const VARTYPE vt = args.assigned().get()->vt;
                const bool object = vt == VT_DISPATCH || vt == VT_UNKNOWN;
                const bool byRef = (flags & DISPATCH_PROPERTYPUTREF) && m->assignRef &&
                                   (!(flags & DISPATCH_PROPERTYPUT) || object || !m->assign);
                if (byRef) m->assignRef(*this, args);
                else if ((flags & DISPATCH_PROPERTYPUT) && m->assign) m->assign(*this, args);
                else return DISP_E_MEMBERNOTFOUND;
                return S_OK;
            }
            if (!m->call) return DISP_E_MEMBERNOTFOUND;
            Variant r = m->call(*this, args);
            if (result) {
                ::VariantInit(result);
                *result = r.detach();
            }
            return S_OK;
        } catch (const ArgumentError& e) {
            if (argErr) *argErr = e.index;
            return e.hr;
        }
    });
}

const MemberTable& Collection::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.property<Collection>(L"Count", [](Collection& c) { return static_cast<long>(c.items_.size()); });
        t.method<Collection>(L"Item", [](Collection& c, const CallArgs& a) {
            long i = a.number(0, 0);
            if (i < 1 || i > static_cast<long>(c.items_.size())) throw ComError::runtime(err::SubscriptOutOfRange);
            return c.items_[i - 1];
        });
        t.enumerator<Collection>([](Collection& c, const CallArgs&) {
            VARIANT v;
            ::VariantInit(&v);
            v.vt = VT_UNKNOWN;
            v.punkVal = new VariantEnum(c.items_);
            return Variant::adopt(v);
        });
        return t;
    }();
    return table;
}

}  // namespace qb::automation
