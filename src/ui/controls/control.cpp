#include "ui/controls/control.h"

#include <commctrl.h>

#include "automation/com_error.h"
#include "ui/window/form.h"

namespace qb::ui {

namespace {

// A state set by code is told to screen readers as a click's is.
void tellStateChange(HWND h) { ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, h, OBJID_CLIENT, CHILDID_SELF); }

constexpr long kObjectUnloaded = 364;
}

Control::~Control() {
    if (hwnd_) {
        if (original_) ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
    if (form_ && (hwnd_ || deferred_)) form_->forget(*this);
}

HWND Control::madeNow() const {
    form_->makeLater(*this);
    return hwnd_;
}

void Control::keepHidden(bool hidden) {
    keptHidden_ = hidden;
    if (hidden && hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

HWND Control::live() const {
    HWND h = handle();
    if (!h) throw automation::ComError(kObjectUnloaded, L"Object was unloaded", name());
    return h;
}

std::wstring Control::text() const {
    HWND h = live();
    int n = static_cast<int>(::SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
    std::wstring s(n + 1, L'\0');
    s.resize(static_cast<size_t>(::SendMessageW(h, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(s.data()))));
    return s;
}

void Control::setText(std::wstring_view text) {
    std::wstring t(text);
    ::SendMessageW(live(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

void Control::showData(std::wstring_view text) {
    std::wstring literal;
    for (wchar_t c : text) {
        if (c == L'&') literal += L'&';
        literal += c;
    }
    setText(literal);
}

bool Control::enabled() const {
    if (deferred_) return !disabledWhenMade_;
    return ::IsWindowEnabled(live()) != FALSE;
}

void Control::setEnabled(bool enabled) {
    if (deferred_) disabledWhenMade_ = !enabled;
    else ::EnableWindow(live(), enabled);
}

void Control::refresh() {
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Control::visible() const { return ::IsWindowVisible(live()) != FALSE; }

void Control::setFocus() { ::SetFocus(live()); }

void Control::attach(Form& form, HWND window) {
    form_ = &form;
    hwnd_ = window;
    deferred_ = false;
    // Classic subclassing: the common controls' subclass chain costs a tenth of a millisecond per
    // message under Wine, which a tree filled with 50,000 nodes pays 50,000 times.
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::subclassProc)));
    created();
}

void Control::detach() {
    hwnd_ = nullptr;
    original_ = nullptr;
    destroyed();
}

namespace {

LRESULT CALLBACK insideProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    try {
        if (LRESULT r = 0; msg == WM_GETOBJECT && reinterpret_cast<const Control*>(data)->answerInside(h, wp, lp, r)) return r;
        if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(h, insideProc, id);
    } catch (...) {
        Form::swallowed(L"Control::insideProc");
    }
    return ::DefSubclassProc(h, msg, wp, lp);
}

}  // namespace

void Control::answersInside(HWND inside) const {
    if (inside) ::SetWindowSubclass(inside, insideProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

bool Control::answerInside(HWND inside, WPARAM wp, LPARAM lp, LRESULT& result) const {
    return form_ && form_->accessibleObject(inside, *this, wp, lp, result);
}

LRESULT CALLBACK Control::subclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Control*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    WNDPROC original = self ? self->original_ : nullptr;
    if (!original) return ::DefWindowProcW(h, msg, wp, lp);
    try {
        switch (msg) {
            case WM_GETDLGCODE: {
                LRESULT r = ::CallWindowProcW(original, h, msg, wp, lp);
                auto* m = reinterpret_cast<const MSG*>(lp);
                if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && self->takesEnter())
                    r |= DLGC_WANTMESSAGE;
                if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB)
                    r &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);  // Tab moves the focus
                if (m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE)
                    r &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);  // Esc is the form's, even in a multi-line box
                return r;
            }
            case WM_CHAR: {
                short key = static_cast<short>(wp);
                self->keyPress(key);
                if (!::IsWindow(h) || key == 0) return 0;  // unloaded by the handler, or key taken
                wp = static_cast<WPARAM>(static_cast<unsigned short>(key));
                break;
            }
            case WM_KEYDOWN:
                self->keyDown(static_cast<WORD>(wp));
                if (!::IsWindow(h)) return 0;  // unloaded by the handler
                break;
            case WM_PAINT: {
                LRESULT r = ::CallWindowProcW(original, h, msg, wp, lp);
                self->painted();
                return r;
            }
            case WM_ERASEBKGND:
                if (self->eraseBackground(reinterpret_cast<HDC>(wp))) return 1;
                break;
            case WM_GETOBJECT:
                if (LRESULT r = 0; self->form_ && self->form_->accessibleObject(*self, wp, lp, r)) return r;
                break;
            case WM_MOUSEMOVE:
                self->pointerMoved();
                if (self->form_) self->form_->relayToToolTip(h, msg, wp, lp);
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
                if (self->form_) self->form_->relayToToolTip(h, msg, wp, lp);
                break;
            case WM_NCDESTROY: {
                ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
                ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
                self->detach();
                return ::CallWindowProcW(original, h, msg, wp, lp);
            }
            default:
                break;
        }
    } catch (...) {
        Form::swallowed(L"Control::subclassProc");
    }
    return ::CallWindowProcW(original, h, msg, wp, lp);
}

bool Control::contextMenu(POINT at) {
    if (!onContextMenu || !hwnd_) return false;
    if (at.x == -1 && at.y == -1) {
        RECT item{};
        at = selectedItemRect(item) ? POINT{item.left, item.bottom} : POINT{0, 0};
        ::ClientToScreen(hwnd_, &at);
    }
    onContextMenu(at);
    return true;
}

void Panel::drawItem(const DRAWITEMSTRUCT& item) { form().drawPanel(item, text()); }

void TextBox::created() { ::SendMessageW(handle(), EM_SETLIMITTEXT, 0, 0); }

void TextBox::command(WORD code) {
    if (code == EN_CHANGE && onChange) onChange();
}

void TextBox::keyPress(short& keyAscii) {
    if (onKeyPress) onKeyPress(keyAscii);
}

void TextBox::keyDown(WORD key) {
    if (!onKeyDown) return;
    const int shift = (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                      (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
    onKeyDown(key, shift);
}

void TextBox::setForeColor(COLORREF color) {
    foreColor_ = color;
    if (exists()) ::InvalidateRect(handle(), nullptr, TRUE);
}

bool TextBox::readOnly() const { return (::GetWindowLongPtrW(live(), GWL_STYLE) & ES_READONLY) != 0; }

void TextBox::setReadOnly(bool readOnly) { ::SendMessageW(live(), EM_SETREADONLY, readOnly, 0); }

void Button::command(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

std::wstring Button::spokenValue() const {
    std::wstring shown;
    if (!exists()) return shown;
    for (wchar_t c : text())
        if (c != L'&') shown += c;
    return shown;
}

void Button::press() {
    if (enabled() && onClick) onClick();
}

void CheckBox::command(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

bool CheckBox::checked() const { return ::SendMessageW(live(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::setChecked(bool on) {
    if (checked() == on) return;
    ::SendMessageW(live(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    tellStateChange(live());
}

bool Frame::eraseBackground(HDC dc) {
    RECT inside;
    ::GetClientRect(live(), &inside);
    form().fillBackground(dc, inside);
    return true;
}

void OptionButton::command(WORD code) {
    if (code != BN_CLICKED) return;
    choose();
    if (onClick) onClick();
}

bool OptionButton::value() const { return ::SendMessageW(live(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OptionButton::choose() {
    for (OptionButton* other : group_)
        if (other != this && other->exists() && other->value()) {
            ::SendMessageW(other->handle(), BM_SETCHECK, BST_UNCHECKED, 0);
            tellStateChange(other->handle());
        }
    if (value()) return;
    ::SendMessageW(live(), BM_SETCHECK, BST_CHECKED, 0);
    tellStateChange(live());
}

LRESULT ItemList::send(UINT listMessage, UINT comboMessage, WPARAM wp, LPARAM lp) const {
    return ::SendMessageW(live(), combo_ ? comboMessage : listMessage, wp, lp);
}

void ItemList::command(WORD code) {
    if (code == LBN_DBLCLK && !combo_ && onDoubleClick) onDoubleClick();
    else if (code == LBN_SELCHANGE && onSelectionChange) onSelectionChange();  // also CBN_SELCHANGE
}

void ItemList::clear() { send(LB_RESETCONTENT, CB_RESETCONTENT); }

int ItemList::add(std::wstring_view text, long data) {
    std::wstring t(text);
    auto index = static_cast<int>(send(LB_ADDSTRING, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str())));
    send(LB_SETITEMDATA, CB_SETITEMDATA, index, data);
    return index;
}

int ItemList::count() const { return static_cast<int>(send(LB_GETCOUNT, CB_GETCOUNT)); }

std::wstring ItemList::itemText(int index) const {
    auto n = static_cast<int>(send(LB_GETTEXTLEN, CB_GETLBTEXTLEN, index));
    if (n < 0) return {};
    std::wstring s(n + 1, L'\0');
    send(LB_GETTEXT, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(n);
    return s;
}

long ItemList::itemData(int index) const { return static_cast<long>(send(LB_GETITEMDATA, CB_GETITEMDATA, index)); }

int ItemList::selected() const { return static_cast<int>(send(LB_GETCURSEL, CB_GETCURSEL)); }

void ItemList::select(int index) { send(LB_SETCURSEL, CB_SETCURSEL, index); }

const wchar_t* Animation::windowClass() const { return ANIMATE_CLASSW; }

DWORD Animation::style() const { return WS_CHILD | ACS_CENTER | ACS_TRANSPARENT; }

bool Animation::open(const std::wstring& path) {
    return ::SendMessageW(live(), ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str())) != 0;
}

void Animation::play() { ::SendMessageW(live(), ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)); }

void Animation::stop() { ::SendMessageW(live(), ACM_STOP, 0, 0); }

void Picture::repaint() { ::InvalidateRect(live(), nullptr, TRUE); }

void Picture::drawItem(const DRAWITEMSTRUCT& item) {
    form().fillBackground(item.hDC, item.rcItem);
    if (onDraw) onDraw(item.hDC, item.rcItem);
}

}  // namespace qb::ui
