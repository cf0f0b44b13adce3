#include "windows/shared/connection_watch.h"

#include <ocidl.h>

#include "automation/dispatch_object.h"
#include "automation/failure.h"
#include "support/services.h"

namespace qb::windows {
namespace {

// Receives the control's events (dispids 1 and 2) for the window, through the event interface
// the connection point asks for.
class StateSink final : public automation::DispatchObject {
public:
    explicit StateSink(ConnectionWatch* watch) : watch_(watch) {}
    void detach() { watch_ = nullptr; }

protected:
    const automation::MemberTable& members() const override {
        static const automation::MemberTable t = [] {
            automation::MemberTable m;  // declared in dispid order
            m.method<StateSink>(L"ChangeState", [](StateSink& s, const automation::CallArgs&) {
                if (s.watch_) s.watch_->stateChanged();
            });
            m.method<StateSink>(L"ChangeView", [](StateSink& s, const automation::CallArgs& a) {
                if (s.watch_) s.watch_->viewChanged(a.value(0).toShort());
            });
            return m;
        }();
        return t;
    }
    void* interfaceFor(REFIID iid) override {
        return automation::answer(iid, {{IID_IDispatch, asDispatch()}, {DIID_CheckStateEvents, asDispatch()}});
    }

private:
    ConnectionWatch* watch_;
};

automation::ComPtr<IConnectionPoint> eventsPoint(const automation::Object& control) {
    automation::ComPtr<IConnectionPoint> point;
    if (auto container = control.ptr().query<IConnectionPointContainer>())
        if (FAILED(container->FindConnectionPoint(DIID_CheckStateEvents, point.put()))) point.reset();
    return point;
}

}  // namespace

void ConnectionWatch::start() {
    stop();  // a window loaded again watches once
    control_ = support::createObject(L"Statewatch.CheckState");
    if (auto point = eventsPoint(control_)) {
        sink_ = automation::makeObject<StateSink>(this);
        if (FAILED(point->Advise(sink_.get(), &cookie_))) cookie_ = 0;
    }
    control_.call(L"StartCheck");
}

void ConnectionWatch::pause() { control_.call(L"StopCheck"); }

void ConnectionWatch::resume() { control_.call(L"ResumeCheck"); }

void ConnectionWatch::stateChanged() {
    if (holds_) {
        stateHeld_ = true;
        return;
    }
    if (handlers_.changeState) handlers_.changeState();
}

void ConnectionWatch::viewChanged(short viewId) {
    if (holds_) {
        viewHeld_ = viewId;
        return;
    }
    if (handlers_.changeView) handlers_.changeView(viewId);
}

// A change of state closes the window: a view change held with it no longer matters.
void ConnectionWatch::deliverHeld() noexcept {
    automation::ignoreFailure([&] {
        if (stateHeld_) {
            window_.post([this] { stateChanged(); });
        } else if (viewHeld_) {
            window_.post([this, view = *viewHeld_] { viewChanged(view); });
        }
    });
    stateHeld_ = false;
    viewHeld_.reset();
}

void ConnectionWatch::stop() noexcept {
    automation::ignoreFailure([&] {
        if (sink_) static_cast<StateSink*>(sink_.get())->detach();
        if (cookie_)
            if (auto point = eventsPoint(control_)) point->Unadvise(cookie_);
        if (!control_.isNothing()) control_.call(L"StopCheck");
    });
    cookie_ = 0;
    sink_.reset();
    stateHeld_ = false;
    viewHeld_.reset();
    control_ = automation::Object();
}

}  // namespace qb::windows
