#include "ui/form.h"

#include <commctrl.h>

#include "automation/module.h"
#include "support/services.h"
#include "ui/modal.h"
#include "ui/twips.h"

namespace qb::ui {
namespace {

constexpr wchar_t kFormClass[] = L"QuillboxForm";
constexpr UINT kFirstControlId = 1000;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

ATOM registerFormClass(WNDPROC proc) {
    static ATOM atom = [proc] {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = automation::thisModule();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kFormClass;
        return ::RegisterClassExW(&wc);
    }();
    return atom;
}

}  // namespace

void unregisterFormClass() { ::UnregisterClassW(kFormClass, automation::thisModule()); }

std::vector<ControlSpec> onPage(int page, std::vector<ControlSpec> controls) {
    for (ControlSpec& c : controls) c.page = page;
    return controls;
}

ControlSpec withToolTip(ControlSpec control, std::wstring tip) {
    control.toolTip = std::move(tip);
    return control;
}

Form::Form(FormSpec layout) : spec_(std::move(layout)) {}

Form::~Form() {
    unload();
    if (font_) ::DeleteObject(font_);
    for (HBRUSH b : {backBrush_, panelBrush_, editBrush_})
        if (b) ::DeleteObject(b);
}

std::wstring Form::caption() const {
    if (!hwnd_) return spec_.caption;
    int n = ::GetWindowTextLengthW(hwnd_);
    std::wstring s(n + 1, L'\0');
    s.resize(::GetWindowTextW(hwnd_, s.data(), n + 1));
    return s;
}

bool Form::isVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

HWND Form::hwnd() {
    load();
    return hwnd_;
}

std::wstring Form::qualifiedName(std::wstring_view procedure) const {
    return spec_.name + L"." + std::wstring(procedure) + L"()";
}

void Form::load() {
    if (hwnd_ || loading_) return;
    loading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{loading_};

    registerFormClass(&Form::windowProc);
    static const bool controlsReady = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_ANIMATE_CLASS | ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)controlsReady;
    RECT r{0, 0, twipsToPixels(spec_.clientWidth, Direction::Horizontal),
           twipsToPixels(spec_.clientHeight, Direction::Vertical)};
    ::AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
    int w = r.right - r.left, h = r.bottom - r.top;
    RECT work{0, 0, 800, 600};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    HWND created = ::CreateWindowExW(kFormExStyle, kFormClass, spec_.caption.c_str(), kFormStyle, x, y, w, h,
                                     nullptr, nullptr, automation::thisModule(), this);
    if (!created) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
    if (!backBrush_) backBrush_ = ::CreateSolidBrush(spec_.backColor);  // kept for a load after an unload
    createControls();
    takeLook(look_);
    formLoad();
}

void Form::createControls() {
    const int dpiX = screenDpi(Direction::Horizontal), dpiY = screenDpi(Direction::Vertical);
    UINT id = kFirstControlId;
    for (const ControlSpec& c : spec_.controls) {
        const wchar_t* cls = L"EDIT";
        DWORD style = WS_CHILD | WS_VISIBLE, ex = 0;
        switch (c.kind) {
            case ControlKind::Panel:
                cls = L"STATIC";
                style |= SS_OWNERDRAW;
                break;
            case ControlKind::TextBox:
                style |= WS_TABSTOP | ES_AUTOHSCROLL;
                ex = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::MultiLineTextBox:
                style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
                ex = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::Label:
                cls = L"STATIC";
                style |= SS_LEFT | SS_NOPREFIX;
                break;
            case ControlKind::Button:
                cls = L"BUTTON";
                style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
                break;
            case ControlKind::ListBox:
                cls = L"LISTBOX";
                style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
                ex = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::ComboBox:
                cls = L"COMBOBOX";
                style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
                break;
            case ControlKind::Animation:
                cls = ANIMATE_CLASSW;
                style |= ACS_CENTER | ACS_TRANSPARENT;
                break;
            case ControlKind::CheckBox:
                cls = L"BUTTON";
                style |= WS_TABSTOP | BS_AUTOCHECKBOX;
                break;
            case ControlKind::Picture:
                cls = L"STATIC";
                style |= SS_OWNERDRAW;
                break;
            case ControlKind::Tab:
                cls = WC_TABCONTROLW;
                style |= WS_TABSTOP | WS_CLIPSIBLINGS;
                break;
            case ControlKind::Tree:
                cls = WC_TREEVIEWW;
                style |= WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
                ex = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::ListView:
                cls = WC_LISTVIEWW;
                style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
                ex = WS_EX_CLIENTEDGE;
                break;
        }
        if (c.page > 1) style &= ~WS_VISIBLE;  // only the first page shows at first
        bool isEdit = c.kind == ControlKind::TextBox || c.kind == ControlKind::MultiLineTextBox;
        HWND h = ::CreateWindowExW(ex, cls, isEdit ? L"" : c.caption.c_str(), style, twipsToPixels(c.left, dpiX),
                                   twipsToPixels(c.top, dpiY), twipsToPixels(c.width, dpiX),
                                   twipsToPixels(c.height, dpiY), hwnd_, reinterpret_cast<HMENU>(UINT_PTR{id++}),
                                   automation::thisModule(), nullptr);
        if (!h) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
        if (isEdit) ::SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
        if (c.kind == ControlKind::Tab) {
            // Captions separated by "|".
            int index = 0;
            for (size_t start = 0; start <= c.caption.size();) {
                size_t bar = c.caption.find(L'|', start);
                std::wstring text = c.caption.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start);
                TCITEMW item{TCIF_TEXT};
                item.pszText = text.data();
                ::SendMessageW(h, TCM_INSERTITEMW, index++, reinterpret_cast<LPARAM>(&item));
                if (bar == std::wstring::npos) break;
                start = bar + 1;
            }
        }
        if (c.kind == ControlKind::ListView)
            ::SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
        // Classic subclassing: the common controls' subclass chain costs a tenth of a millisecond
        // per message under Wine, which a tree filled with 50,000 nodes pays 50,000 times.
        auto& hook = hooks_.emplace_back(std::make_unique<ControlHook>(ControlHook{this, nullptr}));
        ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hook.get()));
        hook->original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::controlProc)));
        controls_.emplace(c.name, h);
        byHandle_.emplace(h, &c);
    }
    // Child windows join their siblings at the bottom of the z-order, so a tab control made first
    // would lie above the controls of its pages and paint over their frames: it goes to the
    // bottom once all are made (and clips itself against them).
    for (const ControlSpec& c : spec_.controls)
        if (c.kind == ControlKind::Tab)
            ::SetWindowPos(controls_.at(c.name), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    addToolTips();
}

void Form::addToolTips() {
    for (const ControlSpec& c : spec_.controls) {
        if (c.toolTip.empty()) continue;
        if (!toolTips_) {
            // Owned by the form, so it goes with it.
            toolTips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                          automation::thisModule(), nullptr);
            if (!toolTips_) return;  // a missing tip is no reason to fail the load
        }
        // The tip is told of the mouse by controlProc (TTF_SUBCLASS would put the control on the
        // common controls' subclass chain, which is slow under Wine). The size of the first
        // version of the structure is understood by every version of the tool tip control.
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(controls_.at(c.name));
        tool.lpszText = const_cast<wchar_t*>(c.toolTip.c_str());
        ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Form::takeLook(const SkinLook& look) {
    // The controls keep their font when the look names the same one (a round of WM_SETFONT costs
    // milliseconds under Wine).
    const bool sameFont = font_ && look.fontName == look_.fontName && look.fontSize == look_.fontSize;
    look_ = look;
    if (!sameFont) {
        LOGFONTW lf{};
        lf.lfHeight = -::MulDiv(look_.fontSize, screenDpi(Direction::Vertical), 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(lf.lfFaceName, look_.fontName.c_str(), LF_FACESIZE);
        HFONT font = ::CreateFontIndirectW(&lf);
        // A window not shown yet has nothing to repaint.
        const BOOL repaint = hwnd_ && ::IsWindowVisible(hwnd_);
        for (auto& [name, h] : controls_) ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), repaint);
        if (font_) ::DeleteObject(font_);
        font_ = font;
    }
    for (HBRUSH* b : {&panelBrush_, &editBrush_})
        if (*b) ::DeleteObject(std::exchange(*b, nullptr));
    panelBrush_ = ::CreateSolidBrush(look_.panelColor);
    editBrush_ = ::CreateSolidBrush(look_.textBoxColor);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::showModal() {
    load();
    if (!hwnd_) return;
    support::services().modal->runModal(*this);
}

void Form::hide() {
    if (!hwnd_) return;
    ::ShowWindow(hwnd_, SW_HIDE);
    wakeModalLoop();
}

void Form::unload() {
    if (!hwnd_) return;
    ::DestroyWindow(hwnd_);
    wakeModalLoop();
}

void Form::wakeModalLoop() const { ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0); }

HWND Form::control(std::wstring_view name) {
    load();
    auto it = controls_.find(name);
    if (it == controls_.end()) throw automation::ComError::runtime(automation::err::MemberNotSupported);
    return it->second;
}

std::wstring Form::text(std::wstring_view name) {
    HWND h = control(name);
    int n = static_cast<int>(::SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
    std::wstring s(n + 1, L'\0');
    s.resize(static_cast<size_t>(::SendMessageW(h, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(s.data()))));
    return s;
}

void Form::setText(std::wstring_view name, std::wstring_view text) {
    std::wstring t(text);
    ::SendMessageW(control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

void Form::setEnabled(std::wstring_view name, bool enabled) { ::EnableWindow(control(name), enabled); }

const ControlSpec* Form::controlSpec(std::wstring_view name) const {
    for (const ControlSpec& c : spec_.controls)
        if (c.name == name) return &c;
    return nullptr;
}

LRESULT Form::send(std::wstring_view name, UINT listMessage, UINT comboMessage, WPARAM wp, LPARAM lp) {
    HWND h = control(name);
    const ControlSpec* c = controlSpec(name);
    return ::SendMessageW(h, c && c->kind == ControlKind::ComboBox ? comboMessage : listMessage, wp, lp);
}

void Form::clearItems(std::wstring_view name) { send(name, LB_RESETCONTENT, CB_RESETCONTENT); }

int Form::addItem(std::wstring_view name, std::wstring_view text, long data) {
    std::wstring t(text);
    auto index = static_cast<int>(send(name, LB_ADDSTRING, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str())));
    send(name, LB_SETITEMDATA, CB_SETITEMDATA, index, data);
    return index;
}

int Form::itemCount(std::wstring_view name) { return static_cast<int>(send(name, LB_GETCOUNT, CB_GETCOUNT)); }

std::wstring Form::itemText(std::wstring_view name, int index) {
    auto n = static_cast<int>(send(name, LB_GETTEXTLEN, CB_GETLBTEXTLEN, index));
    if (n < 0) return {};
    std::wstring s(n + 1, L'\0');
    send(name, LB_GETTEXT, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(n);
    return s;
}

long Form::itemData(std::wstring_view name, int index) {
    return static_cast<long>(send(name, LB_GETITEMDATA, CB_GETITEMDATA, index));
}

int Form::selectedIndex(std::wstring_view name) { return static_cast<int>(send(name, LB_GETCURSEL, CB_GETCURSEL)); }

void Form::select(std::wstring_view name, int index) { send(name, LB_SETCURSEL, CB_SETCURSEL, index); }

void Form::showPage(int page) {
    page_ = page;
    for (const ControlSpec& c : spec_.controls)
        if (c.page) ::ShowWindow(controls_.at(c.name), c.page == page ? SW_SHOW : SW_HIDE);
}

void Form::selectTab(std::wstring_view tab, int index) {
    if (disabledTabs_.contains(index)) return;
    ::SendMessageW(control(tab), TCM_SETCURSEL, index - 1, 0);
    showPage(index);
}

int Form::selectedTab(std::wstring_view tab) {
    return static_cast<int>(::SendMessageW(control(tab), TCM_GETCURSEL, 0, 0)) + 1;
}

void Form::setTabEnabled(std::wstring_view tab, int index, bool enabled) {
    control(tab);
    if (enabled) disabledTabs_.erase(index);
    else disabledTabs_.insert(index);
}

const ControlSpec* Form::controlSpec(HWND h) const {
    auto it = byHandle_.find(h);
    return it == byHandle_.end() ? nullptr : it->second;
}

std::wstring Form::controlName(HWND h) const {
    const ControlSpec* c = controlSpec(h);
    return c ? c->name : std::wstring();
}

LRESULT CALLBACK Form::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            self->hwnd_ = h;
            ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (auto* self = reinterpret_cast<Form*>(::GetWindowLongPtrW(h, GWLP_USERDATA))) return self->handle(msg, wp, lp);
    } catch (...) {
        // Handlers report their own failures; nothing may cross into the system's code.
    }
    return ::DefWindowProcW(h, msg, wp, lp);
}

LRESULT Form::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (LRESULT result = 0; message(msg, wp, lp, result)) return result;
    switch (msg) {
        case kApplySkinMessage:
            if (lp) takeLook(*reinterpret_cast<const SkinLook*>(lp));
            return 0;
        case WM_COMMAND:
            if (!lp && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
                // Enter or Esc outside a button: the default or the cancel button answers.
                for (const ControlSpec& c : spec_.controls)
                    if ((LOWORD(wp) == IDOK ? c.isDefault : c.isCancel) && ::IsWindowEnabled(control(c.name)))
                        click(c.name);
            } else if (HIWORD(wp) == BN_CLICKED && lp) {
                click(controlName(reinterpret_cast<HWND>(lp)));
            } else if (HIWORD(wp) == LBN_DBLCLK && lp) {
                doubleClick(controlName(reinterpret_cast<HWND>(lp)));
            } else if (HIWORD(wp) == EN_CHANGE && lp) {
                textChanged(controlName(reinterpret_cast<HWND>(lp)));
            } else if (HIWORD(wp) == LBN_SELCHANGE && lp) {  // also CBN_SELCHANGE
                selectionChanged(controlName(reinterpret_cast<HWND>(lp)));
            }
            return 0;
        case WM_ERASEBKGND: {
            RECT rc;
            ::GetClientRect(hwnd_, &rc);
            ::FillRect(reinterpret_cast<HDC>(wp), &rc, backBrush_);
            return 1;
        }
        case WM_CTLCOLOREDIT:
            ::SetBkColor(reinterpret_cast<HDC>(wp), look_.textBoxColor);
            return reinterpret_cast<LRESULT>(editBrush_);
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(backBrush_);
        case WM_DRAWITEM: {
            auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (const ControlSpec* c = controlSpec(di->hwndItem); c && c->kind == ControlKind::Picture) {
                ::FillRect(di->hDC, &di->rcItem, backBrush_);
                draw(c->name, di->hDC, di->rcItem);
                return TRUE;
            }
            ::FillRect(di->hDC, &di->rcItem, panelBrush_);
            int n = ::GetWindowTextLengthW(di->hwndItem);
            std::wstring s(n + 1, L'\0');
            s.resize(::GetWindowTextW(di->hwndItem, s.data(), n + 1));
            HGDIOBJ old = ::SelectObject(di->hDC, font_);
            ::SetBkMode(di->hDC, TRANSPARENT);
            ::SetTextColor(di->hDC, look_.panelTextColor);
            RECT rc = di->rcItem;
            ::DrawTextW(di->hDC, s.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
            ::SelectObject(di->hDC, old);
            return TRUE;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            const ControlSpec* c = controlSpec(header->hwndFrom);
            if (c && c->kind == ControlKind::Tab && header->code == TCN_SELCHANGE) {
                int chosen = static_cast<int>(::SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)) + 1;
                if (disabledTabs_.contains(chosen)) {  // an unavailable tab cannot be chosen
                    ::SendMessageW(header->hwndFrom, TCM_SETCURSEL, page_ - 1, 0);
                } else {
                    showPage(chosen);
                }
                return 0;
            }
            return c ? notify(c->name, header) : 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE) activated();
            break;
        case WM_CLOSE:
            unload();  // the close box leaves without any change
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            toolTips_ = nullptr;  // destroyed with its owner
            controls_.clear();
            byHandle_.clear();
            hooks_.clear();  // the controls are gone before their parent
            if (font_) ::DeleteObject(std::exchange(font_, nullptr));  // the next load makes its own
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Form::controlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* hook = reinterpret_cast<ControlHook*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    WNDPROC original = hook ? hook->original : nullptr;
    if (!original) return ::DefWindowProcW(h, msg, wp, lp);
    try {
        Form* self = hook->form;
        switch (msg) {
            case WM_GETDLGCODE: {
                LRESULT r = ::CallWindowProcW(original, h, msg, wp, lp);
                auto* m = reinterpret_cast<const MSG*>(lp);
                const ControlSpec* c = self->controlSpec(h);
                bool wantsEnter = (r & DLGC_HASSETSEL) ||  // text boxes see Enter as a key press
                                  (c && (c->kind == ControlKind::Tree || c->kind == ControlKind::ListView));
                if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && wantsEnter) r |= DLGC_WANTMESSAGE;
                if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB)
                    r &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);  // Tab moves the focus
                return r;
            }
            case WM_CHAR: {
                short key = static_cast<short>(wp);
                self->keyPress(self->controlName(h), key);
                if (!::IsWindow(h) || key == 0) return 0;  // unloaded by the handler, or key taken
                wp = static_cast<WPARAM>(static_cast<unsigned short>(key));
                break;
            }
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
                if (self->toolTips_) {
                    MSG relayed{h, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
                    ::SendMessageW(self->toolTips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
                }
                break;
            case WM_NCDESTROY:
                ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
                ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
                break;
            default:
                break;
        }
    } catch (...) {
    }
    return ::CallWindowProcW(original, h, msg, wp, lp);
}

}  // namespace qb::ui
