#pragma once
// The connection point of a suite control's events. A sink advises with an object that answers
// the control's event interface itself (the point asks for that IID, as a strict control does);
// the control fires each event to every sink, by dispid.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <utility>
#include <vector>

#include "automation/com_object.h"
#include "automation/com_ptr.h"
#include "automation/variant.h"

namespace tesra {

class EventPoint final : public qb::automation::ComObject<IConnectionPoint, IID_IConnectionPoint> {
public:
    EventPoint(IConnectionPointContainer* owner, const IID& events) : owner_(owner), events_(events) {}
    // The control is going: the point no longer names it.
    void orphan() { owner_ = nullptr; }
    // Calls `id` on every sink advised now, arguments first to last; a sink's failure is its own.
    void fire(DISPID id, const std::vector<qb::automation::Variant>& args);
    bool connected() const { return !sinks_.empty(); }
    // The body of the owner's FindConnectionPoint.
    HRESULT find(REFIID iid, IConnectionPoint** out);

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

private:
    IConnectionPointContainer* owner_;
    IID events_;
    std::vector<std::pair<DWORD, qb::automation::ComPtr<IDispatch>>> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace tesra
