#include "ui/activex/event_connection.h"

#include <olectl.h>

#include "ui/window/form.h"

namespace qb::ui {
namespace {

class Sink final : public automation::ComObject<IDispatch, IID_IDispatch> {
public:
    Sink(const IID& events, EventConnection::Handlers handlers, std::wstring where)
        : events_(events), handlers_(std::move(handlers)), where_(std::move(where)) {}
    void detach() { handlers_.clear(); }

    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (!n) return E_POINTER;
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** t) override {
        if (t) *t = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (result) ::VariantInit(result);
        for (auto& [event, handler] : handlers_) {
            if (event != id) continue;
            Handler call = handler;  // the handler may disconnect the sink
            automation::ComPtr<IDispatch> alive(this);  // and it may let the last reference go
            DISPPARAMS none{};
            try {
                call(automation::CallArgs(params ? params : &none));
            } catch (...) {
                Form::swallowed(where_ + L"." + std::to_wstring(id));
            }
            return S_OK;
        }
        return S_OK;  // events nobody listens to are fine
    }

protected:
    void* interfaceFor(REFIID iid) override {
        return automation::answer(iid, {{IID_IDispatch, static_cast<IDispatch*>(this)}, {events_, static_cast<IDispatch*>(this)}});
    }

private:
    using Handler = EventConnection::Handler;
    IID events_;
    EventConnection::Handlers handlers_;
    std::wstring where_;
};

}  // namespace

void EventConnection::connect(const automation::ComPtr<IDispatch>& source, const IID& events, Handlers handlers,
                              std::wstring where) {
    disconnect();
    auto container = source.query<IConnectionPointContainer>();
    if (!container) throw automation::ComError::runtime(459);  // no events at all
    HRESULT hr = container->FindConnectionPoint(events, point_.put());
    if (SUCCEEDED(hr) && !point_) hr = CONNECT_E_NOCONNECTION;
    if (FAILED(hr)) {
        point_.reset();
        throw automation::ComError::fromHResult(hr);
    }
    sink_ = automation::ComPtr<IDispatch>::attach(new Sink(events, std::move(handlers), std::move(where)));
    hr = point_->Advise(sink_.get(), &cookie_);
    if (FAILED(hr)) {
        cookie_ = 0;
        point_.reset();
        sink_.reset();
        throw automation::ComError::fromHResult(hr);
    }
}

void EventConnection::disconnect() noexcept {
    if (sink_) static_cast<Sink*>(sink_.get())->detach();
    if (point_ && cookie_) point_->Unadvise(cookie_);
    cookie_ = 0;
    point_.reset();
    sink_.reset();
}

}  // namespace qb::ui
