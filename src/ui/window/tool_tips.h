#pragma once
// One tool tip window for the controls of a form that have a tip. The controls tell it of the
// mouse themselves (TTF_SUBCLASS would put them on the common controls' subclass chain, which is
// slow under Wine).
#include <windows.h>

#include <string>

namespace qb::ui {

class ToolTips {
public:
    // Adds a tip for a control of `owner`; the tip window is made with the first tip and goes
    // with its owner. A tip that cannot be made is passed over.
    void add(HWND owner, HWND control, const std::wstring& tip);
    void relay(HWND control, UINT msg, WPARAM wp, LPARAM lp) const;
    // The owner is gone, and the tip window with it.
    void forget() { window_ = nullptr; }
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace qb::ui
