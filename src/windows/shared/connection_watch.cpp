#include "windows/shared/connection_watch.h"

#include "automation/failure.h"
#include "support/services.h"

namespace qb::windows {

void ConnectionWatch::start() {
    stop();  // a window loaded again watches once
    control_ = support::createObject(L"Statewatch.CheckState");
    // A control that takes no listener would never close the window: the load reports it.
    events_.connect(control_.ptr(), DIID_CheckStateEvents,
                    {{1, [this](const automation::CallArgs&) { stateChanged(); }},
                     {2, [this](const automation::CallArgs& a) { viewChanged(a.value(0).toShort()); }}},
                    window_.name() + L".CheckState1");
    control_.call(L"StartCheck");
}

// A window whose load stopped before the watch started has nothing to pause or resume.
void ConnectionWatch::pause() {
    if (!control_.isNothing()) control_.call(L"StopCheck");
}

void ConnectionWatch::resume() {
    if (!control_.isNothing()) control_.call(L"ResumeCheck");
}

// The window closes once the control's event has returned: closing lets the control go, and a
// control must not be released from inside its own call.
void ConnectionWatch::stateChanged() {
    if (holds_) {
        stateHeld_ = true;
        return;
    }
    window_.post([this] {
        if (handlers_.changeState) handlers_.changeState();
    });
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
            stateChanged();
        } else if (viewHeld_) {
            window_.post([this, view = *viewHeld_] { viewChanged(view); });
        }
    });
    stateHeld_ = false;
    viewHeld_.reset();
}

void ConnectionWatch::stop() noexcept {
    // Letting the control go ends its watch; it has nobody to tell once the sink is gone.
    events_.disconnect();
    stateHeld_ = false;
    viewHeld_.reset();
    control_ = automation::Object();
}

}  // namespace qb::windows
