#pragma once
// The events of a control (or any object with a connection point): a sink that answers the
// event interface the point asks for, and calls a handler per event, by dispid. Handlers report
// their own failures; one that escapes is logged and goes no further than the sink.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch_object.h"

namespace qb::ui {

class EventConnection {
public:
    using Handler = std::function<void(const automation::CallArgs&)>;
    using Handlers = std::vector<std::pair<DISPID, Handler>>;

    EventConnection() = default;
    ~EventConnection() { disconnect(); }
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

    // Advises `source`'s connection point for `events`. A source without that point, or one that
    // refuses the sink, raises the failure with the system's text for it. `where` names the
    // receiver in the log ("frmMemoRelation.TreeCategory1").
    void connect(const automation::ComPtr<IDispatch>& source, const IID& events, Handlers handlers, std::wstring where);
    // Unadvises; the sink hears nothing more even if the source still calls it. Failures ignored.
    void disconnect() noexcept;
    bool connected() const { return cookie_ != 0; }

private:
    automation::ComPtr<IConnectionPoint> point_;
    automation::ComPtr<IDispatch> sink_;
    DWORD cookie_ = 0;
};

}  // namespace qb::ui
