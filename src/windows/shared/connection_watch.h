#pragma once
// CheckState1: the suite's connection-state control as every relation window uses it. Started at
// the window's load; its two events reach the window's handlers until it is stopped.
#include <functional>
#include <optional>

#include "automation/com_ptr.h"
#include "automation/object.h"
#include "ui/activex/event_connection.h"
#include "ui/window/form.h"

namespace qb::windows {

// {9766AEE3-2BE2-4BB5-9622-CE9A04FB564F}: the control's event interface.
inline constexpr IID DIID_CheckStateEvents = {0x9766aee3, 0x2be2, 0x4bb5, {0x96, 0x22, 0xce, 0x9a, 0x04, 0xfb, 0x56, 0x4f}};

class ConnectionWatch {
public:
    struct Handlers {
        std::function<void()> changeState;
        std::function<void(short)> changeView;
    };
    ConnectionWatch(ui::Form& window, Handlers handlers) : window_(window), handlers_(std::move(handlers)) {}
    ~ConnectionWatch() { stop(); }
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Creates the control, connects to its events and starts it (StartCheck).
    void start();
    // Stops listening and lets the control go.
    void stop() noexcept;
    // Around a nested dialog: StopCheck and ResumeCheck on the running control.
    void pause();
    void resume();

    // Runs one of the suite's own dialogs (the view chooser, the keyword editor). The events that
    // come while it is open wait until it has returned and the handler that opened it has
    // finished: a window closed under the suite's dialog would leave that dialog open over
    // nothing and the host's call blocked until the user found it.
    template <class F>
    decltype(auto) aroundSuiteDialog(F&& dialog) {
        Hold hold(*this);
        return dialog();
    }

    // Whether an event waits for a suite dialog to end.
    bool holdsEvents() const noexcept { return stateHeld_ || viewHeld_.has_value(); }

    // The control's events, from its connection point.
    void stateChanged();
    void viewChanged(short viewId);

private:
    struct Hold {
        explicit Hold(ConnectionWatch& w) : watch(w) { ++watch.holds_; }
        ~Hold() {
            if (--watch.holds_ == 0) watch.deliverHeld();
        }
        ConnectionWatch& watch;
    };
    void deliverHeld() noexcept;

    ui::Form& window_;
    Handlers handlers_;
    int holds_ = 0;
    bool stateHeld_ = false;
    std::optional<short> viewHeld_;
    automation::Object control_;
    ui::EventConnection events_;
};

}  // namespace qb::windows
