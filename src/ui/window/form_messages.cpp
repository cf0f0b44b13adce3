// The form's window procedure: messages routed to the typed controls they concern, the look,
// activation and focus, DPI changes, and the keys of a dialog box.
#include "ui/window/form.h"

#include <commctrl.h>

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
                ::SetTextColor(reinterpret_cast<HDC>(wp), box->foreColor());
            ::SetBkColor(reinterpret_cast<HDC>(wp), look_.textBoxColor);
            return reinterpret_cast<LRESULT>(editBrush_.get());
        case WM_CTLCOLORSTATIC:
            // Labels, check boxes and option buttons on the form's colour; a read-only text box
            // keeps the system's.
            if (dynamic_cast<TextBox*>(controlOf(reinterpret_cast<HWND>(lp)))) break;
            ::SetBkColor(reinterpret_cast<HDC>(wp), design_.backColor);
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
            // for the new DPI.
            dpi_ = {LOWORD(wp), HIWORD(wp)};
            const auto* r = reinterpret_cast<const RECT*>(lp);
            if (r) ::SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                                  SWP_NOZORDER | SWP_NOACTIVATE);
            layOut();
            return 0;
        }
        case WM_NEXTDLGCTL:
            // As the dialog manager asks for it: after an access key of a label it puts the focus
            // on the label and then asks for the next control.
            if (LOWORD(lp)) ::SetFocus(reinterpret_cast<HWND>(wp));
            else moveFocus(wp != 0);
            return 0;
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
    if (cancel && design_.escapeCloses) unload();
}

bool Form::translateKey(const MSG& msg) {
    if (!hwnd_ || msg.message != WM_KEYDOWN || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool pageKey = msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR;
    if (ctrl && pages_ && pages_->handle() && (msg.wParam == VK_TAB || pageKey)) {
        const int direction = msg.wParam == VK_TAB ? (shift ? -1 : 1) : (msg.wParam == VK_NEXT ? 1 : -1);
        pages_->step(direction);
        // The focus does not stay on a control the page change hid.
        if (HWND f = ::GetFocus(); !f || !::IsWindowVisible(f)) ::SetFocus(pages_->handle());
        return true;
    }
    if (msg.wParam == VK_TAB && !ctrl && !(::GetKeyState(VK_MENU) < 0)) {
        moveFocus(shift);
        return true;
    }
    return false;
}

void Form::moveFocus(bool backwards) {
    // A control not made yet is on a page not shown.
    auto takesFocus = [](const Control* c) {
        return c->isTabStop() && c->hwnd_ && ::IsWindowVisible(c->hwnd_) && ::IsWindowEnabled(c->hwnd_);
    };
    const size_t n = order_.size();
    if (n == 0) return;
    // From the control that has the focus (a label after its access key, too), in layout order.
    HWND focus = ::GetFocus();
    size_t at = n;
    for (size_t i = 0; i < n; ++i)
        if (HWND h = order_[i]->hwnd_; h && (h == focus || ::IsChild(h, focus))) at = i;
    for (size_t step = 1; step <= n; ++step) {
        const size_t i = at == n ? (backwards ? n - step : step - 1)
                                 : (backwards ? (at + n - step) % n : (at + step) % n);
        if (!takesFocus(order_[i])) continue;
        HWND target = order_[i]->hwnd_;
        ::SetFocus(target);
        if (dynamic_cast<TextBox*>(order_[i])) ::SendMessageW(target, EM_SETSEL, 0, -1);  // as dialogs do
        return;
    }
}

}  // namespace qb::ui
