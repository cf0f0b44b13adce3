#pragma once
// The hourglass for the length of a scope that keeps the thread busy; the pointer it replaced
// comes back at the end.
#include <windows.h>

namespace qb::ui {

class WaitCursor {
public:
    WaitCursor() noexcept : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_ ? previous_ : ::LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace qb::ui
