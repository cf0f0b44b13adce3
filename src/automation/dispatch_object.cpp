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

CallArgs::CallArgs(const DISPPARAMS* dp) {
    if (!dp) return;
    UINT named = dp->cNamedArgs;
    bool isPut = named == 1 && dp->rgdispidNamedArgs && dp->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    if (named && !isPut) throw ComError::runtime(err::WrongArgumentCount);  // named arguments are not offered
    if (isPut) assigned_ = Variant::copyOf(dp->rgvarg[0]);
    for (UINT i = dp->cArgs; i > named; --i) positional_.push_back(&dp->rgvarg[i - 1]);
}

bool CallArgs::has(size_t i) const {
    if (i >= positional_.size()) return false;
    const VARIANT* v = positional_[i];
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    return !(v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND);
}

Variant CallArgs::value(size_t i) const {
    if (!has(i)) return Variant::missing();
    return Variant::copyOf(*positional_[i]);
}

std::wstring CallArgs::text(size_t i, std::wstring_view fallback) const {
    return has(i) ? value(i).toText() : std::wstring(fallback);
}

long CallArgs::number(size_t i, long fallback) const { return has(i) ? value(i).toLong() : fallback; }

bool CallArgs::flag(size_t i, bool fallback) const { return has(i) ? value(i).toBool() : fallback; }

void CallArgs::require(size_t i) const {
    if (!has(i)) throw ComError::runtime(err::ArgumentNotOptional);
}

void CallArgs::setRef(size_t i, const Variant& v) const {
    if (i >= positional_.size()) return;
    VARIANT* target = positional_[i];
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

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    const Member* m = members().find(std::wstring_view(names[0]));
    ids[0] = m ? m->id : DISPID_UNKNOWN;
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;  // no named arguments
    return m && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* excep, UINT*) {
    return invokeBoundary(excep, IID_IDispatch, [&]() -> HRESULT {
        const Member* m = members().find(id);
        if (!m) return DISP_E_MEMBERNOTFOUND;
        CallArgs args(params);
        AddRef();  // the object stays alive while its own member runs
        struct Keep {
            DispatchObject* o;
            ~Keep() { o->Release(); }
        } keep{this};
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!m->assign) return DISP_E_MEMBERNOTFOUND;
            m->assign(*this, args);
            return S_OK;
        }
        if (!m->call) return DISP_E_MEMBERNOTFOUND;
        Variant r = m->call(*this, args);
        if (result) {
            ::VariantInit(result);
            *result = r.detach();
        }
        return S_OK;
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
