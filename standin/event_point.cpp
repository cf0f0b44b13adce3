#include "event_point.h"

namespace tesra {

HRESULT EventPoint::find(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, events_)) return CONNECT_E_NOCONNECTION;
    *out = this;
    AddRef();
    return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = events_;
    return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = owner_;
    if (!owner_) return E_UNEXPECTED;
    owner_->AddRef();
    return S_OK;
}

STDMETHODIMP EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    qb::automation::ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(events_, events.put_void())) || !events) return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.emplace_back(*cookie, events);
    return S_OK;
}

STDMETHODIMP EventPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == cookie) {
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void EventPoint::fire(DISPID id, const std::vector<qb::automation::Variant>& args) {
    qb::automation::ComPtr<IConnectionPoint> alive(this);  // a sink may let the control go meanwhile
    auto sinks = sinks_;
    std::vector<VARIANT> raw;  // rgvarg holds the arguments last to first
    for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(*it->get());
    DISPPARAMS dp{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    for (auto& [cookie, sink] : sinks) {
        VARIANT result;
        ::VariantInit(&result);
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, &result, nullptr, nullptr);
        ::VariantClear(&result);
    }
}

}  // namespace tesra
