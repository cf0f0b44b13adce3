#pragma once
// CheckState1: the suite's connection-state control as every relation window uses it. Started at
// the window's load; its two events reach the window's handlers until it is stopped.
#include <functional>

#include "automation/com_ptr.h"
#include "automation/object.h"

namespace qb::windows {

// {9766AEE3-2BE2-4BB5-9622-CE9A04FB564F}: the control's event interface.
inline constexpr IID DIID_CheckStateEvents = {0x9766aee3, 0x2be2, 0x4bb5, {0x96, 0x22, 0xce, 0x9a, 0x04, 0xfb, 0x56, 0x4f}};

class ConnectionWatch {
public:
    struct Handlers {
        std::function<void()> changeState;
        std::function<void(short)> changeView;
    };
    explicit ConnectionWatch(Handlers handlers) : handlers_(std::move(handlers)) {}
    ~ConnectionWatch() { stop(); }
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Creates the control, connects to its events and starts it (StartCheck).
    void start();
    // Stops watching and lets the control go; failures are ignored.
    void stop() noexcept;
    // Around a nested dialog: StopCheck and ResumeCheck on the running control.
    void pause();
    void resume();
    bool connected() const { return cookie_ != 0; }

private:
    Handlers handlers_;
    automation::Object control_;
    automation::ComPtr<IDispatch> sink_;
    DWORD cookie_ = 0;
};

}  // namespace qb::windows
