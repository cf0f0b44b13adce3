// The form's window procedure: messages routed to the typed controls they concern, the look,
// activation and focus, DPI changes, and the keys of a dialog box.
#include "ui/window/form.h"

#include "ui/look/colors.h"

#include <commctrl.h>

#include <algorithm>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace qb::ui {

LRESULT CALLBACK Form::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            self->windowCreated(h);
            ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (auto* self = reinterpret_cast<Form*>(::GetWindowLongPtrW(h, GWLP_USERDATA))) return self->handle(msg, wp, lp);
    } catch (...) {
        // Handlers report their own failures; nothing may cross into the system's code.
        swallowed(L"Form::windowProc");
    }
    return ::DefWindowProcW(h, msg, wp, lp);
}

LRESULT Form::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (LRESULT result = 0; message(msg, wp, lp, result)) return result;
    switch (msg) {
        case kApplySkinMessage:
            if (lp) takeLook(*reinterpret_cast<const SkinLook*>(lp));
            return 0;
        case kRunPostedMessage: {
            auto calls = std::move(posted_);
            posted_.clear();
            for (auto& call : calls) {
                try {
                    call();
                } catch (...) {
                    swallowed(qualifiedName(L"posted call"));
                }
            }
            return 0;
        }
        case WM_COMMAND:
            if (!lp && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
                pressDefault(LOWORD(wp) == IDCANCEL);  // Enter or Esc outside a button
            } else if (Control* c = controlOf(reinterpret_cast<HWND>(lp))) {
                c->command(HIWORD(wp));
            }
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            Control* c = controlOf(header->hwndFrom);
            return c ? c->notify(header) : 0;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (Control* c = controlOf(item->hwndItem)) c->drawItem(*item);
            return TRUE;
        }
        case WM_CONTEXTMENU: {
            // From the right button (the point under it) or the keyboard (Shift+F10, the menu
            // key: -1, -1); the control places a menu asked for from the keyboard itself.
            POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            if (Control* c = controlOf(reinterpret_cast<HWND>(wp)); c && c->contextMenu(at)) return 0;
            break;
        }
        case WM_ERASEBKGND: {
            RECT rc;
            ::GetClientRect(hwnd_, &rc);
            fillBackground(reinterpret_cast<HDC>(wp), rc);
            return 1;
        }
        case WM_CTLCOLOREDIT:
            if (auto* box = dynamic_cast<TextBox*>(controlOf(reinterpret_cast<HWND>(lp))); box && box->foreColor() != CLR_DEFAULT)
                ::SetTextColor(reinterpret_cast<HDC>(wp), shownInk(box->foreColor()));
            ::SetBkColor(reinterpret_cast<HDC>(wp), shownColor(look_.textBoxColor, COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(editBrush_.get());
        case WM_CTLCOLORSTATIC:
            // Labels, check boxes and option buttons on the form's colour; a read-only text box
            // keeps the system's.
            if (dynamic_cast<TextBox*>(controlOf(reinterpret_cast<HWND>(lp)))) break;
            ::SetBkColor(reinterpret_cast<HDC>(wp), backColor());
            if (highContrast()) ::SetTextColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(backBrush_.get());
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(backBrush_.get());
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                // The focus is kept, to be given back when the form is active again.
                if (HWND f = ::GetFocus(); f && ::IsChild(hwnd_, f)) focus_ = f;
                return 0;
            }
            if (focus_ && ::IsWindow(focus_) && ::IsWindowVisible(focus_) && ::IsWindowEnabled(focus_)) {
                ::SetFocus(focus_);
            } else if (HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) {
                ::SetFocus(first);
            }
            activated();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: the suggested frame, the layout and the font
            // for the new DPI; a little smaller where the window would not fit that monitor's
            // work area, kept inside it.
            const Dpi told{LOWORD(wp), HIWORD(wp)};
            RECT frame;
            if (const auto* suggested = reinterpret_cast<const RECT*>(lp)) frame = *suggested;
            else ::GetWindowRect(hwnd_, &frame);
            MONITORINFO monitor{sizeof monitor};
            ::GetMonitorInfoW(::MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor);
            const RECT& work = monitor.rcWork;
            dpi_ = dpiToFit(told, work);
            if (!(dpi_ == told)) {
                const RECT fitted = frameAt(dpi_);
                const int w = fitted.right - fitted.left, h = fitted.bottom - fitted.top;
                const int x = std::max(work.left, std::min(frame.left, work.right - w));
                const int y = std::max(work.top, std::min(frame.top, work.bottom - h));
                frame = {x, y, x + w, y + h};
            }
            if (lp || !(dpi_ == told))
                ::SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
            layOut();
            dpiChanged();
            return 0;
        }
        case WM_NEXTDLGCTL:
            // As the dialog manager asks for it: after an access key of a label it puts the focus
            // on the label and then asks for the next control.
            if (LOWORD(lp)) ::SetFocus(reinterpret_cast<HWND>(wp));
            else moveFocus(wp != 0);
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lp) == OBJID_CLIENT) makeEveryPage();
            break;  // answered by the system's object for the window
        case WM_SYSCOLORCHANGE:
            colorsChanged();
            return 0;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETHIGHCONTRAST || wp == SPI_SETNONCLIENTMETRICS) colorsChanged();
            break;
        case WM_CLOSE:
            unload();  // the close box leaves without any change
            return 0;
        case WM_DESTROY:
            formUnload();
            break;
        case WM_NCDESTROY: {
            HWND self = hwnd_;
            destroyed();
            return ::DefWindowProcW(self, msg, wp, lp);
        }
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

void Form::pressDefault(bool cancel) {
    for (Control* c : order_)
        if (auto* b = dynamic_cast<Button*>(c); b && (cancel ? b->isCancel : b->isDefault) && b->handle() &&
                                                  ::IsWindowEnabled(b->handle()))
            return b->press();
    // As the close box: through WM_CLOSE, which a form may refuse while it is busy.
    if (cancel && design_.escapeCloses) ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool Form::translateKey(const MSG& msg) {
    if (!hwnd_ || msg.message != WM_KEYDOWN || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool pageKey = msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR;
    if (ctrl && pages_ && pages_->handle() && (msg.wParam == VK_TAB || pageKey)) {
        const int direction = msg.wParam == VK_TAB ? (shift ? -1 : 1) : (msg.wParam == VK_NEXT ? 1 : -1);
        pages_->step(direction);
        // The focus goes to the new page, as in a property sheet, unless it is on the tabs: never
        // left on a control the change hid, nor on the window itself.
        if (HWND f = ::GetFocus(); f != pages_->handle()) {
            ::SetFocus(pages_->handle());
            moveFocus(false);
        }
        return true;
    }
    if (msg.wParam == VK_TAB && !ctrl && !(::GetKeyState(VK_MENU) < 0)) {
        moveFocus(shift);
        return true;
    }
    return false;
}

namespace {

// Of a set of option buttons only one takes the focus from Tab: the chosen one, or the first.
bool standsForItsSet(const Control* c) {
    const auto* option = dynamic_cast<const OptionButton*>(c);
    if (!option || option->group().empty()) return true;
    for (const OptionButton* o : option->group())
        if (o->exists() && o->value()) return o == option;
    return option->group().front() == option;
}

}  // namespace

std::vector<Control*> Form::tabOrder() const {
    // A control not made yet is on a page not shown.
    std::vector<std::pair<RECT, Control*>> stops;
    for (Control* c : order_) {
        HWND h = c->hwnd_;
        if (!c->isTabStop() || !h || !::IsWindowVisible(h) || !::IsWindowEnabled(h) || !standsForItsSet(c)) continue;
        RECT r;
        ::GetWindowRect(h, &r);
        stops.emplace_back(r, c);
    }
    // Reading order: rows top to bottom (a control whose top is within an eighth of an inch of
    // the row's first one is on that row), each row left to right.
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first.top < b.first.top; });
    const LONG tolerance = static_cast<LONG>(dpi_.y / 8);
    std::vector<Control*> order;
    for (size_t row = 0; row < stops.size();) {
        size_t end = row + 1;
        while (end < stops.size() && stops[end].first.top - stops[row].first.top <= tolerance) ++end;
        std::stable_sort(stops.begin() + static_cast<std::ptrdiff_t>(row), stops.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const auto& a, const auto& b) { return a.first.left < b.first.left; });
        for (size_t i = row; i < end; ++i) order.push_back(stops[i].second);
        row = end;
    }
    return order;
}

void Form::moveFocus(bool backwards) {
    if (order_.empty()) return;
    HWND focus = ::GetFocus();
    auto holds = [focus](const Control* c) { return c->hwnd_ && (c->hwnd_ == focus || ::IsChild(c->hwnd_, focus)); };
    auto focusOn = [](Control* c) {
        ::SetFocus(c->hwnd_);
        if (dynamic_cast<TextBox*>(c)) ::SendMessageW(c->hwnd_, EM_SETSEL, 0, -1);  // as dialogs do
    };
    // From a label (after its access key): the next control in layout order, the one it names.
    auto held = std::find_if(order_.begin(), order_.end(), holds);
    if (held != order_.end() && !(*held)->isTabStop()) {
        const size_t n = order_.size(), at = static_cast<size_t>(held - order_.begin());
        for (size_t step = 1; step < n; ++step) {
            Control* c = order_[backwards ? (at + n - step) % n : (at + step) % n];
            if (c->isTabStop() && c->hwnd_ && ::IsWindowVisible(c->hwnd_) && ::IsWindowEnabled(c->hwnd_))
                return focusOn(c);
        }
        return;
    }
    // Tab and Shift+Tab: the next stop in reading order, round the ends.
    const std::vector<Control*> stops = tabOrder();
    if (stops.empty()) return;
    auto at = std::find_if(stops.begin(), stops.end(), holds);
    if (at == stops.end()) {
        // The focus is on an option of a set (not the one that stands for it) or on the window.
        auto option = held != order_.end() ? dynamic_cast<OptionButton*>(*held) : nullptr;
        if (option) at = std::find_if(stops.begin(), stops.end(), [&](Control* c) {
                        const auto& set = option->group();
                        return std::find(set.begin(), set.end(), c) != set.end();
                    });
    }
    const size_t n = stops.size();
    if (at == stops.end()) return focusOn(backwards ? stops.back() : stops.front());
    const size_t i = static_cast<size_t>(at - stops.begin());
    focusOn(stops[backwards ? (i + n - 1) % n : (i + 1) % n]);
}

}  // namespace qb::ui
