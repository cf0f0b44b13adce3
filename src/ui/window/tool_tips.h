#pragma once
// One tool tip window for the controls of a form that have a tip. The controls tell it of the
// mouse themselves (TTF_SUBCLASS would put them on the common controls' subclass chain, which is
// slow under Wine). The window is made when the pointer first comes over a control: a form that
// is opened and closed from the keyboard never pays for it.
#include <windows.h>

#include <string>
#include <vector>

namespace qb::ui {

class ToolTips {
public:
    // Adds a tip for a control of `owner`; the tip window goes with its owner. A tip that cannot
    // be made is passed over.
    void add(HWND owner, HWND control, const std::wstring& tip);
    // A mouse message of a control; the first one makes the tip window.
    void relay(HWND control, UINT msg, WPARAM wp, LPARAM lp);
    // The owner is gone, and the tip window with it.
    void forget();
    // The tip window, or nullptr until the pointer came over a control.
    HWND window() const { return window_; }

private:
    struct Tip {
        HWND owner, control;
        std::wstring text;
    };
    void addTool(const Tip& tip);

    HWND window_ = nullptr;
    std::vector<Tip> waiting_;  // the tips given before the window was made
};

}  // namespace qb::ui
