#pragma once
// The component's own activation context (its manifest, resource 2), made active around the
// creation of windows, so that every host, with a manifest of its own or without one, gets the
// version 6 common controls the windows are designed for.
#include <windows.h>

namespace qb::ui {

class ActivationScope {
public:
    ActivationScope() noexcept;
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;
    // Whether the component's context is the active one in this scope.
    bool active() const { return cookie_ != 0; }

private:
    ULONG_PTR cookie_ = 0;
};

// The context made from the module's manifest, or INVALID_HANDLE_VALUE when it has none.
HANDLE componentActivationContext();

}  // namespace qb::ui
