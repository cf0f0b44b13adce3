#pragma once
// A place on a form for an ActiveX control of another module: the form makes the place (a
// window of its own, laid out as any control); `create` makes the control by its ProgID through
// the creation seam, gives it a client site and activates it in place, as big as the place. The
// site answers what a windowed control asks of its container: the in-place window context, the
// ambient properties (user mode, the form's colours and font, locale) and focus. The control's
// own members are called late-bound through `object()`.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <string_view>

#include "automation/com_ptr.h"
#include "automation/object.h"
#include "ui/controls/control.h"

namespace qb::ui {

class ControlSite;

class ActiveXControl final : public Control {
public:
    ActiveXControl();
    ~ActiveXControl() override;

    const wchar_t* windowClass() const override;
    DWORD style() const override { return WS_CHILD | WS_CLIPCHILDREN; }
    DWORD exStyle() const override { return WS_EX_CONTROLPARENT; }
    // Tab reaches the control once it is there.
    bool isTabStop() const override { return active(); }

    // Makes the control and puts it in place; a control that is not registered, is no ActiveX
    // control or refuses its site raises, and the place stays empty.
    void create(std::wstring_view progId);
    // Deactivates and lets the control go (also when the form's window goes).
    void destroy() noexcept;
    bool active() const { return static_cast<bool>(inPlace_); }
    // The control's own members (Nothing before create).
    const automation::Object& object() const { return object_; }
    // The control's window (nullptr while not in place).
    HWND controlWindow() const;

    // For the site.
    HFONT font() const { return font_; }
    COLORREF backColor() const;

    // The window procedure of the place's class.
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);

private:
    // Its focusable windows are subclassed to answer screen readers with its name.
    void nameFocusableWindows() const;
    LRESULT message(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void resized();

    automation::Object object_;
    automation::ComPtr<IOleObject> ole_;
    automation::ComPtr<IOleInPlaceObject> inPlace_;
    automation::ComPtr<IOleControl> control_;
    ControlSite* site_ = nullptr;  // a reference of ours while the control is there
    HFONT font_ = nullptr;         // the form's
};

// Before the module unloads.
void unregisterControlSiteClass();

}  // namespace qb::ui
