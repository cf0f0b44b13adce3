#include "ui/window/form.h"

#include <algorithm>

#include "ui/look/colors.h"

#include <commctrl.h>

#include <atomic>

#include "automation/module.h"
#include "support/services.h"
#include "ui/window/activation.h"
#include "ui/window/modal.h"

namespace qb::ui {
namespace {

constexpr wchar_t kFormClass[] = L"QuillboxForm";
constexpr UINT kFirstControlId = 1000;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr long kFormAlreadyShown = 400;

std::atomic<int> g_liveWindows{0};

void registerFormClass(WNDPROC proc) {
    static const ATOM atom = [proc] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_ANIMATE_CLASS | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = automation::thisModule();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kFormClass;
        return ::RegisterClassExW(&wc);
    }();
    if (!atom) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
}

// The work area of the monitor the host is working on: the monitor of its active window, else
// of its foreground window, else the primary one.
MONITORINFO hostMonitor() {
    HWND anchor = ::GetActiveWindow();
    if (!anchor) anchor = ::GetForegroundWindow();
    MONITORINFO info{sizeof info};
    if (!::GetMonitorInfoW(::MonitorFromWindow(anchor, MONITOR_DEFAULTTOPRIMARY), &info)) {
        info.rcMonitor = info.rcWork = RECT{0, 0, 800, 600};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return info;
}

}  // namespace

void unregisterFormClass() { ::UnregisterClassW(kFormClass, automation::thisModule()); }

namespace {

// A caption as a screen reader says it: without the "&" that marks an access key.
std::wstring spoken(const std::wstring& caption) {
    std::wstring s;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;  // "&&" is one "&"
        s += caption[i];
    }
    while (!s.empty() && s.back() == L' ') s.pop_back();  // "Item Id: " is read as "Item Id:"
    return s;
}

}  // namespace

LayoutTable onPage(int page, LayoutTable entries) {
    for (LayoutEntry& e : entries) e.placement.page = page;
    return entries;
}

LayoutTable movedDown(int dy, LayoutTable entries) {
    for (LayoutEntry& e : entries) e.placement.bounds.top += dy;
    return entries;
}

LayoutTable withPlace(LayoutTable entries, const Control& control, Bounds bounds, int page) {
    for (LayoutEntry& e : entries)
        if (&e.control == &control) e.placement.bounds = bounds, e.placement.page = page;
    return entries;
}

// One modal show: the host's windows it disabled and the window that was active before it.
struct Form::ModalShow {
    std::vector<HWND> disabled;
    HWND hostActive = nullptr;
};

Form::Form(FormSpec design) : design_(std::move(design)) {}

Form::~Form() { unload(); }

void Form::place(LayoutTable entries) {
    for (LayoutEntry& e : entries) {
        Control& c = e.control;
        c.placement_ = std::move(e.placement);
        // What a screen reader calls the control: an explicit name, its own caption for buttons
        // and check boxes, else the label placed just before it.
        c.accessibleName_ = c.placement_.accessibleName;
        if (c.accessibleName_.empty() && (dynamic_cast<Button*>(&c) || dynamic_cast<CheckBox*>(&c)))
            c.accessibleName_ = spoken(c.placement_.caption);
        if (c.accessibleName_.empty() && !order_.empty() && dynamic_cast<Label*>(order_.back()) &&
            !dynamic_cast<Label*>(&c))
            c.accessibleName_ = spoken(order_.back()->placement_.caption);
        if (auto* tabs = dynamic_cast<TabStrip*>(&c)) {
            pages_ = tabs;
            tabs->onPageShown = [this](int page) { showPage(page); };
        }
        order_.push_back(&c);
    }
}

std::wstring Form::caption() const {
    if (!hwnd_) return design_.caption;
    int n = ::GetWindowTextLengthW(hwnd_);
    std::wstring s(n + 1, L'\0');
    s.resize(::GetWindowTextW(hwnd_, s.data(), n + 1));
    return s;
}

void Form::setCaption(const std::wstring& text) {
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
    else design_.caption = text;
}

bool Form::isVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

std::wstring Form::qualifiedName(std::wstring_view procedure) const {
    return design_.name + L"." + std::wstring(procedure) + L"()";
}

void Form::load() {
    if (hwnd_ || loading_) return;
    loading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{loading_};
    try {
        create();
        formLoad();
    } catch (...) {
        if (hwnd_) ::DestroyWindow(hwnd_);
        throw;
    }
}

RECT Form::frameAt(Dpi dpi) const {
    RECT r = toPixels({0, 0, design_.clientWidth, design_.clientHeight}, dpi);
    ::AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
    return r;
}

Dpi Form::dpiToFit(Dpi dpi, const RECT& work) const {
    // A window taller or wider than the screen's work area at this DPI (a 1024 x 768 screen at
    // 150 %) is laid out a little smaller, text and pictures alike, rather than cut off.
    // Only the client area scales: the frame around it keeps its size.
    const RECT frame = frameAt(dpi), client = toPixels({0, 0, design_.clientWidth, design_.clientHeight}, dpi);
    const int clientW = client.right - client.left, clientH = client.bottom - client.top;
    const int frameW = frame.right - frame.left - clientW, frameH = frame.bottom - frame.top - clientH;
    if (clientW <= 0 || clientH <= 0) return dpi;
    const double fitW = static_cast<double>(work.right - work.left - frameW) / clientW;
    const double fitH = static_cast<double>(work.bottom - work.top - frameH) / clientH;
    const double fit = std::min(fitW, fitH);
    if (fit >= 1 || fit <= 0.5) return dpi;
    return {static_cast<int>(dpi.x * fit), static_cast<int>(dpi.y * fit)};
}

void Form::create() {
    registerFormClass(&Form::windowProc);
    ActivationScope controlsVersion6;
    PerMonitorWindows forEachMonitor;
    const MONITORINFO monitor = hostMonitor();
    const RECT& work = monitor.rcWork;
    dpi_ = dpiToFit(monitorDpi(::MonitorFromRect(&monitor.rcWork, MONITOR_DEFAULTTOPRIMARY)), work);
    RECT r = frameAt(dpi_);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    HWND created = ::CreateWindowExW(kFormExStyle, kFormClass, design_.caption.c_str(), kFormStyle, x, y, w, h,
                                     nullptr, nullptr, automation::thisModule(), this);
    if (!created) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
    const Dpi planned = dpi_;
    dpi_ = dpiToFit(windowDpi(hwnd_), work);  // the system may have placed it on another monitor after all
    createControls();
    takeLook(look_);
    if (dpi_ != planned) layOut();
}

// The controls outside the tabs and those of the page the tabs open on get their windows now; those of
// the other pages when their page first shows or their window is first asked for, as a property
// sheet makes its pages (a window of a few dozen controls saves a good part of its opening time).
void Form::createControls() {
    nextId_ = kFirstControlId;
    for (size_t i = 0; i < order_.size(); ++i) {
        Control* c = order_[i];
        c->form_ = this;
        if (c->placement_.page && c->placement_.page != firstPage()) {
            c->deferred_ = true;
            c->disabledWhenMade_ = false;
        } else {
            makeWindow(i, false);
        }
    }
    // Child windows join their siblings at the bottom of the z-order, so a tab control made first
    // would lie above the controls of its pages and paint over their frames: it goes to the
    // bottom once all are made (and clips itself against them). Tab order is the form's own.
    if (pages_ && pages_->hwnd_)
        ::SetWindowPos(pages_->hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int Form::firstPage() const { return pages_ ? pages_->opensOn : 1; }

void Form::makeWindow(size_t index, bool later) {
    Control* c = order_[index];
    const Placement& p = c->placement_;
    DWORD style = c->style();
    // A set of option buttons is a group of its own: what follows it starts the next one.
    if (auto* option = index ? dynamic_cast<const OptionButton*>(order_[index - 1]) : nullptr;
        option && (!dynamic_cast<const OptionButton*>(c) || dynamic_cast<const OptionButton*>(c)->group() != option->group()))
        style |= WS_GROUP;
    if (later ? pages_ && p.page == pages_->selected() && !c->keptHidden_ : p.page == 0 || p.page == firstPage())
        style |= WS_VISIBLE;
    if (later && c->disabledWhenMade_) style |= WS_DISABLED;
    const bool isEdit = dynamic_cast<TextBox*>(c) != nullptr;
    const RECT r = toPixels(p.bounds, dpi_);
    HWND h = ::CreateWindowExW(c->exStyle(), c->windowClass(), isEdit ? L"" : p.caption.c_str(), style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, hwnd_, reinterpret_cast<HMENU>(UINT_PTR{nextId_++}),
                               automation::thisModule(), nullptr);
    if (!h) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()), p.name);
    byHandle_.emplace(h, c);
    if (later) {
        // Where it would lie had it been made with the others: right below the control made
        // before it in layout order (the tab control stays at the bottom).
        HWND above = HWND_TOP;
        for (size_t i = index; i-- > 0;)
            if (order_[i]->hwnd_ && order_[i] != pages_) {
                above = order_[i]->hwnd_;
                break;
            }
        ::SetWindowPos(h, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    c->attach(*this, h);
    if (later && font_) {
        LOGFONTW lf{};
        ::GetObjectW(font_.get(), sizeof lf, &lf);
        giveFont(*c, font_.get(), lf, faces_, FALSE);
    }
    if (!p.toolTip.empty()) toolTips_.add(hwnd_, h, p.toolTip);
}

void Form::makeLater(const Control& control) {
    if (!control.deferred_) return;
    for (size_t i = 0; i < order_.size(); ++i)
        if (order_[i] == &control) return makeWindow(i, true);
}

void Form::makePage(int page) {
    for (size_t i = 0; i < order_.size(); ++i)
        if (order_[i]->deferred_ && order_[i]->placement_.page == page) makeWindow(i, true);
}

void Form::makeEveryPage() {
    if (!pages_ || !pages_->handle()) return;
    for (int page = 1, n = pages_->pageCount(); page <= n; ++page) makePage(page);
}

void Form::layOut() {
    RECT r = toPixels({0, 0, design_.clientWidth, design_.clientHeight}, dpi_);
    ::AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (Control* c : order_) {
        if (!c->hwnd_) continue;  // made later at the new size
        const RECT p = toPixels(c->placement_.bounds, dpi_);
        ::SetWindowPos(c->hwnd_, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    makeFont();
}

void Form::takeLook(const SkinLook& look) {
    const bool sameFont = font_ && look.fontName == look_.fontName && look.fontSize == look_.fontSize;
    look_ = look;
    // The controls keep their font when the look names the same one (a round of WM_SETFONT costs
    // milliseconds under Wine).
    if (!sameFont || fontDpi_ != dpi_.y) makeFont();
    makeBrushes();
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

COLORREF Form::backColor() const { return shownColor(design_.backColor, COLOR_BTNFACE); }

void Form::makeBrushes() {
    backBrush_.reset(::CreateSolidBrush(backColor()));
    panelBrush_.reset(::CreateSolidBrush(shownColor(look_.panelColor, COLOR_BTNFACE)));
    editBrush_.reset(::CreateSolidBrush(shownColor(look_.textBoxColor, COLOR_WINDOW)));
}

void Form::colorsChanged() {
    makeBrushes();
    for (Control* c : order_) {
        if (!c->hwnd_) continue;
        ::SendMessageW(c->hwnd_, WM_SYSCOLORCHANGE, 0, 0);  // common controls take the new colours
        c->colorsChanged();
    }
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void Form::makeFont() {
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(look_.fontSize, dpi_.y, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, look_.fontName.c_str(), LF_FACESIZE);
    UniqueFont font(::CreateFontIndirectW(&lf));
    std::vector<UniqueFont> faces;  // of controls with a face of their own, at the same size
    const BOOL repaint = hwnd_ && ::IsWindowVisible(hwnd_);  // a window not shown has nothing to repaint
    for (Control* c : order_)
        if (c->hwnd_) giveFont(*c, font.get(), lf, faces, repaint);
    font_ = std::move(font);  // the old ones are deleted once no control uses them
    faces_ = std::move(faces);
    fontDpi_ = dpi_.y;
}

void Form::giveFont(Control& c, HFONT font, const LOGFONTW& form, std::vector<UniqueFont>& faces, BOOL repaint) {
    HFONT given = font;
    if (!c.fontFace().empty()) {
        LOGFONTW own = form;
        lstrcpynW(own.lfFaceName, std::wstring(c.fontFace()).c_str(), LF_FACESIZE);
        faces.emplace_back(::CreateFontIndirectW(&own));
        given = faces.back().get();
    }
    ::SendMessageW(c.hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(given), repaint);
}

void Form::showModal() {
    if (modal_)
        throw automation::ComError(kFormAlreadyShown, L"Form already displayed; can't show modally",
                                   automation::kComponentSource);
    load();
    if (!hwnd_) return;
    ModalShow show;
    show.hostActive = ::GetActiveWindow();
    struct Collect {
        HWND self;
        ModalShow& show;
    } collect{hwnd_, show};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
            auto* c = reinterpret_cast<Collect*>(lp);
            if (h != c->self && ::GetWindow(h, GW_OWNER) != c->self && ::IsWindowVisible(h) && ::IsWindowEnabled(h)) {
                ::EnableWindow(h, FALSE);
                c->show.disabled.push_back(h);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    modal_ = &show;
    struct End {
        Form& f;
        ~End() {
            f.enableOwners();
            f.modal_ = nullptr;
        }
    } end{*this};
    support::services().modal->runModal(*this);
}

void Form::enableOwners() {
    if (!modal_) return;
    for (HWND w : modal_->disabled)
        if (::IsWindow(w)) ::EnableWindow(w, TRUE);
    modal_->disabled.clear();
}

void Form::hide() {
    if (!hwnd_) return;
    HWND host = modal_ ? modal_->hostActive : nullptr;
    const bool wasActive = ::GetActiveWindow() == hwnd_;
    // As a dialog ends: the host's windows first, so that Windows hands activation back to them
    // rather than to another program.
    enableOwners();
    ::ShowWindow(hwnd_, SW_HIDE);
    if (wasActive && host && ::IsWindow(host) && ::IsWindowVisible(host)) ::SetForegroundWindow(host);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);  // wakes the modal loop
}

void Form::unload() {
    if (!hwnd_) return;
    if (isVisible()) hide();
    ::DestroyWindow(hwnd_);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

int Form::liveWindows() { return g_liveWindows.load(); }

void Form::windowCreated(HWND h) {
    hwnd_ = h;
    ++g_liveWindows;
}

void Form::destroyed() {
    --g_liveWindows;
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    focus_ = nullptr;
    toolTips_.forget();  // destroyed with its owner
    for (Control* c : order_)
        if (c->deferred_) {  // never made, and gone with the window all the same
            c->deferred_ = false;
            c->destroyed();
        }
    byHandle_.clear();   // the controls are gone before their parent
    font_.reset();       // the next load makes its own
    faces_.clear();
    fontDpi_ = 0;
    posted_.clear();     // calls for a window that is gone
}

void Form::post(std::function<void()> call) {
    if (!hwnd_) return;
    posted_.push_back(std::move(call));
    if (posted_.size() == 1) ::PostMessageW(hwnd_, kRunPostedMessage, 0, 0);
}

void Form::showPage(int page) {
    makePage(page);
    for (Control* c : order_)
        if (c->placement_.page && c->hwnd_)
            ::ShowWindow(c->hwnd_, c->placement_.page == page && !c->keptHidden_ ? SW_SHOW : SW_HIDE);
    pageShown(page);
}

void Form::forget(const Control& control) {
    byHandle_.erase(control.hwnd_);
    std::erase(order_, &control);
    if (pages_ == &control) pages_ = nullptr;
}

Control* Form::controlOf(HWND h) const {
    auto it = byHandle_.find(h);
    return it == byHandle_.end() ? nullptr : it->second;
}

void Form::relayToToolTip(HWND control, UINT msg, WPARAM wp, LPARAM lp) { toolTips_.relay(control, msg, wp, lp); }

void Form::fillBackground(HDC dc, const RECT& area) { ::FillRect(dc, &area, backBrush_.get()); }

void Form::drawPanel(const DRAWITEMSTRUCT& item, const std::wstring& text) {
    ::FillRect(item.hDC, &item.rcItem, panelBrush_.get());
    Selected font(item.hDC, font_.get());
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, shownColor(look_.panelTextColor, COLOR_BTNTEXT));
    RECT rc = item.rcItem;
    ::DrawTextW(item.hDC, text.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
}

void Form::swallowed(std::wstring_view where) noexcept {
    try {
        support::appendToLog(support::services().logFile,
                             support::formatLogBlock(automation::currentError(), where, support::nowText()));
    } catch (...) {
    }
}

}  // namespace qb::ui
