#include "ui/controls/grid.h"

#include <commctrl.h>

#include <algorithm>

#include "automation/com_error.h"
#include "automation/module.h"
#include "base/handles.h"
#include "ui/look/colors.h"
#include "ui/window/form.h"

namespace qb::ui {
namespace {

constexpr wchar_t kGridClass[] = L"QuillboxGrid";
// Flags that only shorten what is drawn; a row's fitted height is measured without them.
constexpr UINT kShorteningFlags = DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS | DT_MODIFYSTRING;

COLORREF sys(int index) { return ::GetSysColor(index); }

void fill(HDC dc, const RECT& r, COLORREF color) {
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

}  // namespace

const wchar_t* Grid::windowClass() const {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Grid::windowProc;
        wc.hInstance = automation::thisModule();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kGridClass;
        return ::RegisterClassExW(&wc);
    }();
    if (!atom) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()), name());
    return kGridClass;
}

void unregisterGridClass() { ::UnregisterClassW(kGridClass, automation::thisModule()); }

const Grid* Grid::fromWindow(HWND window) {
    wchar_t cls[32] = {};
    if (!window || !::IsWindow(window) || !::GetClassNameW(window, cls, 32) || lstrcmpW(cls, kGridClass) != 0)
        return nullptr;
    // The form keeps its control in the window's user data while the control has the window.
    return reinterpret_cast<const Grid*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK Grid::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = const_cast<Grid*>(fromWindow(h));
    if (!self || self->handle() != h) return ::DefWindowProcW(h, msg, wp, lp);
    try {
        return self->onMessage(msg, wp, lp);
    } catch (...) {
        Form::swallowed(self->name() + L".windowProc");
        return 0;
    }
}

void Grid::created() {
    refit();
    updateScroll();
}

// ---- columns, rows and cells --------------------------------------------------------------

void Grid::setImageList(HIMAGELIST images) {
    images_ = images;
    layoutChanged();
}

void Grid::addColumn(GridColumn column) {
    columns_.push_back(std::move(column));
    for (Row& r : rows_) r.cells.resize(columns_.size());
    layoutChanged();
}

const GridColumn& Grid::column(int col) const {
    if (col < 1 || col > columnCount()) throw automation::ComError(automation::err::SubscriptOutOfRange, L"", name());
    return columns_[static_cast<size_t>(col - 1)];
}

int Grid::columnIndex(std::wstring_view key) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key == key) return static_cast<int>(i) + 1;
    return 0;
}

void Grid::clear() {
    rows_.clear();
    selected_ = 0;
    scroll_ = 0;
    layoutChanged();
}

int Grid::addRow() {
    Row r;
    r.cells.resize(columns_.size());
    r.height = lineHeight() + 2 * pad();
    rows_.push_back(std::move(r));
    layoutChanged();
    return rows();
}

void Grid::checkRow(int row) const {
    if (row < 1 || row > rows()) throw automation::ComError(automation::err::SubscriptOutOfRange, L"", name());
}

GridCell& Grid::at(int row, int col) {
    checkRow(row);
    column(col);
    return rows_[static_cast<size_t>(row - 1)].cells[static_cast<size_t>(col - 1)];
}

const GridCell& Grid::cell(int row, int col) const { return const_cast<Grid*>(this)->at(row, col); }

void Grid::setCellText(int row, int col, std::wstring text, UINT flags) {
    GridCell& c = at(row, col);
    c.text = std::move(text);
    c.flags = flags;
    layoutChanged();
}

void Grid::setCellIcon(int row, int col, int icon, UINT flags, std::wstring spoken) {
    GridCell& c = at(row, col);
    c.icon = icon;
    c.flags = flags;
    c.spoken = std::move(spoken);
    layoutChanged();
}

void Grid::setCellTextColor(int row, int col, COLORREF color) {
    at(row, col).color = color;
    layoutChanged();
}

int Grid::rowHeight(int row) const {
    checkRow(row);
    return rows_[static_cast<size_t>(row - 1)].height;
}

void Grid::setRowHeight(int row, int pixels) {
    checkRow(row);
    Row& r = rows_[static_cast<size_t>(row - 1)];
    r.height = std::max(1, pixels);
    r.fitted = false;
    layoutChanged();
}

void Grid::autoHeightRow(int row) {
    checkRow(row);
    WindowDc screen(live());
    Selected withFont(screen.get(), font());
    Row& r = rows_[static_cast<size_t>(row - 1)];
    r.height = fittedHeight(screen.get(), row, columnWidths());
    r.fitted = true;
    layoutChanged();
}

void Grid::refit() {
    if (!exists()) return;
    RECT rc;
    ::GetClientRect(handle(), &rc);
    fittedWidth_ = rc.right;
    WindowDc screen(handle());
    Selected withFont(screen.get(), font());
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen.get(), &tm);
    lineHeight_ = tm.tmHeight;
    const std::vector<int> widths = columnWidths();
    for (int row = 1; row <= rows(); ++row)
        if (Row& r = rows_[static_cast<size_t>(row - 1)]; r.fitted) r.height = fittedHeight(screen.get(), row, widths);
    layoutChanged();
}

int Grid::fittedHeight(HDC dc, int row, const std::vector<int>& widths) const {
    int height = lineHeight();
    int iconW = 0, iconH = 0;
    if (images_) ImageList_GetIconSize(images_, &iconW, &iconH);
    const Row& r = rows_[static_cast<size_t>(row - 1)];
    for (size_t col = 0; col < columns_.size(); ++col) {
        if (widths[col] <= 0) continue;
        const GridCell& c = r.cells[col];
        int room = widths[col] - 2 * pad();
        if (c.icon >= 0 && images_) {
            height = std::max(height, iconH);
            room -= iconW + pad();
        }
        if (c.text.empty() || room <= 0) continue;
        RECT box{0, 0, room, 0};
        ::DrawTextW(dc, c.text.c_str(), static_cast<int>(c.text.size()), &box,
                    (c.flags & ~kShorteningFlags) | DT_CALCRECT | DT_NOPREFIX);
        height = std::max(height, static_cast<int>(box.bottom - box.top));
    }
    return height + 2 * pad();
}

// ---- geometry ------------------------------------------------------------------------------

int Grid::dpiScale(int pixels) const { return exists() ? ::MulDiv(pixels, form().dpi().x, 96) : pixels; }

int Grid::pad() const { return dpiScale(2); }

HFONT Grid::font() const { return font_ ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

int Grid::lineHeight() const { return lineHeight_; }

int Grid::headerHeight() const { return lineHeight() + 2 * pad() + 2; }

std::vector<int> Grid::columnWidths() const {
    std::vector<int> widths(columns_.size(), 0);
    int used = 0, last = -1;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!columns_[i].visible) continue;
        widths[i] = dpiScale(columns_[i].width);
        used += widths[i];
        last = static_cast<int>(i);
    }
    if (last >= 0 && exists()) {
        RECT rc;
        ::GetClientRect(handle(), &rc);
        widths[static_cast<size_t>(last)] += std::max(0, static_cast<int>(rc.right) - used);
    }
    return widths;
}

int Grid::top(int row) const {
    if (topsStale_) {
        tops_.assign(rows_.size() + 1, 0);
        for (size_t i = 0; i < rows_.size(); ++i) tops_[i + 1] = tops_[i] + rows_[i].height;
        topsStale_ = false;
    }
    return tops_[static_cast<size_t>(std::clamp(row, 1, rows() + 1) - 1)];
}

RECT Grid::rowRect(int row) const {
    if (row < 1 || row > rows() || !exists()) return RECT{};
    RECT rc;
    ::GetClientRect(handle(), &rc);
    const int y = headerHeight() + top(row) - scroll_;
    return RECT{0, y, rc.right, y + rows_[static_cast<size_t>(row - 1)].height};
}

int Grid::hitTest(POINT client) const {
    const int y = client.y - headerHeight();
    if (y < 0 || rows_.empty() || !exists()) return 0;
    const int content = y + scroll_;
    top(1);  // the tops up to date
    auto after = std::upper_bound(tops_.begin(), tops_.end(), content);
    const int row = static_cast<int>(after - tops_.begin());
    return row >= 1 && row <= rows() ? row : 0;
}

bool Grid::selectedItemRect(RECT& item) const {
    if (!selected_) return false;
    item = rowRect(selected_);
    return true;
}

std::wstring Grid::rowName(int row) const {
    checkRow(row);
    std::wstring spoken;
    for (size_t col = 0; col < columns_.size(); ++col) {
        const GridCell& cell = rows_[static_cast<size_t>(row - 1)].cells[col];
        const std::wstring& t = cell.text.empty() ? cell.spoken : cell.text;
        if (!columns_[col].visible || t.empty()) continue;
        if (!spoken.empty()) spoken += L", ";
        spoken += t;
    }
    return spoken;
}

// ---- selection and scrolling -----------------------------------------------------------------

void Grid::setRedraw(bool on) {
    redraw_ = on;
    if (on) layoutChanged();
}

void Grid::layoutChanged() {
    topsStale_ = true;
    if (!redraw_ || !exists()) return;
    updateScroll();
    ::InvalidateRect(handle(), nullptr, FALSE);
}

void Grid::updateScroll() {
    if (!exists()) return;
    RECT rc;
    ::GetClientRect(handle(), &rc);
    const int view = std::max(0, static_cast<int>(rc.bottom) - headerHeight());
    const int content = top(rows() + 1);
    scroll_ = std::clamp(scroll_, 0, std::max(0, content - view));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    si.nMax = std::max(0, content - 1);
    si.nPage = static_cast<UINT>(view);
    si.nPos = scroll_;
    ::SetScrollInfo(handle(), SB_VERT, &si, TRUE);
}

void Grid::scrollTo(int y) {
    RECT rc;
    ::GetClientRect(live(), &rc);
    const int view = std::max(0, static_cast<int>(rc.bottom) - headerHeight());
    y = std::clamp(y, 0, std::max(0, top(rows() + 1) - view));
    if (y == scroll_) return;
    scroll_ = y;
    updateScroll();
    ::InvalidateRect(handle(), nullptr, FALSE);
}

void Grid::ensureVisible(int row) {
    checkRow(row);
    RECT rc;
    ::GetClientRect(live(), &rc);
    const int view = static_cast<int>(rc.bottom) - headerHeight();
    const int t = top(row), b = t + rowHeight(row);
    if (t < scroll_) scrollTo(t);
    else if (b > scroll_ + view) scrollTo(std::min(t, b - view));
}

void Grid::selectRow(int row) {
    if (row) checkRow(row);
    if (row == selected_) return;
    selected_ = row;
    if (exists()) {
        if (row) ensureVisible(row);
        ::InvalidateRect(handle(), nullptr, FALSE);
        if (row) {
            ::NotifyWinEvent(EVENT_OBJECT_SELECTION, handle(), OBJID_CLIENT, row);
            if (::GetFocus() == handle()) ::NotifyWinEvent(EVENT_OBJECT_FOCUS, handle(), OBJID_CLIENT, row);
        }
    }
}

void Grid::choose(int row) {
    if (row < 1 || row > rows()) return;
    const bool changed = row != selected_;
    selectRow(row);
    ensureVisible(row);
    if (changed && onSelectionChange) onSelectionChange();
}

void Grid::key(WPARAM vk) {
    if (rows_.empty()) return;
    RECT rc;
    ::GetClientRect(handle(), &rc);
    const int view = std::max(1, static_cast<int>(rc.bottom) - headerHeight());
    const int from = selected_ ? selected_ : 1;
    switch (vk) {
        case VK_UP: choose(selected_ ? std::max(1, selected_ - 1) : 1); break;
        case VK_DOWN: choose(selected_ ? std::min(rows(), selected_ + 1) : 1); break;
        case VK_HOME: choose(1); break;
        case VK_END: choose(rows()); break;
        case VK_PRIOR: {
            int row = from;
            while (row > 1 && top(from) - top(row - 1) <= view) --row;
            choose(std::max(1, row == from ? from - 1 : row));
            break;
        }
        case VK_NEXT: {
            int row = from;
            while (row < rows() && top(row + 2) - top(from) <= view) ++row;
            choose(std::min(rows(), row == from ? from + 1 : row));
            break;
        }
        default: break;
    }
}

// ---- drawing -------------------------------------------------------------------------------

void Grid::drawHeader(HDC dc, const std::vector<int>& widths, int right) {
    const int h = headerHeight();
    int iconW = 0, iconH = 0;
    if (images_) ImageList_GetIconSize(images_, &iconW, &iconH);
    int x = 0;
    ::SetTextColor(dc, sys(COLOR_BTNTEXT));
    for (size_t col = 0; col < columns_.size(); ++col) {
        if (widths[col] <= 0) continue;
        RECT box{x, 0, x + widths[col], h};
        fill(dc, box, sys(COLOR_BTNFACE));
        ::DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);
        RECT inner{box.left + 2 * pad(), box.top, box.right - 2 * pad(), box.bottom};
        const GridColumn& c = columns_[col];
        if (c.icon >= 0 && images_) {
            ImageList_Draw(images_, c.icon, dc, inner.left, (h - iconH) / 2, ILD_TRANSPARENT);
            inner.left += iconW + pad();
        }
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextW(dc, c.header.c_str(), static_cast<int>(c.header.size()), &inner,
                    (c.align & (DT_CENTER | DT_RIGHT)) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        x += widths[col];
    }
    if (x < right) {
        RECT rest{x, 0, right, h};
        fill(dc, rest, sys(COLOR_BTNFACE));
        ::DrawEdge(dc, &rest, BDR_RAISEDINNER, BF_RECT);
    }
}

void Grid::drawRow(HDC dc, int row, int y, const std::vector<int>& widths, int right) {
    const Row& r = rows_[static_cast<size_t>(row - 1)];
    const bool enabled = ::IsWindowEnabled(handle()) != FALSE, focused = ::GetFocus() == handle();
    const bool chosen = row == selected_;
    const COLORREF back = !enabled ? sys(COLOR_BTNFACE) : chosen ? sys(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE)
                                                                 : sys(COLOR_WINDOW);
    RECT line{0, y, right, y + r.height};
    fill(dc, line, back);
    ::SetBkMode(dc, TRANSPARENT);
    int iconW = 0, iconH = 0;
    if (images_) ImageList_GetIconSize(images_, &iconW, &iconH);
    int x = 0;
    for (size_t col = 0; col < columns_.size(); ++col) {
        if (widths[col] <= 0) continue;
        const GridCell& c = r.cells[col];
        RECT box{x + pad(), y + pad(), x + widths[col] - pad(), y + r.height - pad()};
        if (c.icon >= 0 && images_) {
            const UINT align = columns_[col].align;
            int ix = box.left;
            if (align & DT_RIGHT) ix = box.right - iconW;
            else if (align & DT_CENTER) ix = (box.left + box.right - iconW) / 2;
            ImageList_Draw(images_, c.icon, dc, ix, box.top, ILD_TRANSPARENT);
            if (!(align & (DT_RIGHT | DT_CENTER))) box.left += iconW + pad();
        }
        if (!c.text.empty()) {
            COLORREF ink = c.color == CLR_DEFAULT ? sys(COLOR_WINDOWTEXT) : shownInk(c.color);
            if (chosen && focused) ink = sys(COLOR_HIGHLIGHTTEXT);
            if (!enabled) ink = sys(COLOR_GRAYTEXT);
            ::SetTextColor(dc, ink);
            std::wstring shown = c.text;  // what the drawing may shorten is a copy
            ::DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &box,
                        (c.flags & ~DT_MODIFYSTRING) | DT_NOPREFIX);
        }
        x += widths[col];
    }
    RECT rule{0, y + r.height - 1, right, y + r.height};
    fill(dc, rule, sys(COLOR_BTNFACE));
    if (chosen && focused) {
        RECT focus = line;
        ::DrawFocusRect(dc, &focus);
    }
}

void Grid::paint(HDC dc, const RECT& client) {
    const bool enabled = ::IsWindowEnabled(handle()) != FALSE;
    fill(dc, client, sys(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    Selected withFont(dc, font());
    const std::vector<int> widths = columnWidths();
    const int header = headerHeight();
    if (!rows_.empty()) {
        int row = hitTest(POINT{0, header});
        if (!row) row = 1;
        for (int y = header + top(row) - scroll_; row <= rows() && y < client.bottom; ++row) {
            drawRow(dc, row, y, widths, client.right);
            y += rows_[static_cast<size_t>(row - 1)].height;
        }
    }
    drawHeader(dc, widths, client.right);
}

// ---- messages ------------------------------------------------------------------------------

LRESULT Grid::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = handle();
    switch (msg) {
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wp);
            refit();
            return 0;
        case WM_SIZE: {
            RECT rc;
            ::GetClientRect(h, &rc);
            if (rc.right != fittedWidth_) refit();  // rows keep fitting their text at the new width
            else layoutChanged();
            return 0;
        }
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND: return 1;
        case WM_PRINTCLIENT: {  // drawn into another's device context (a magnifier, a picture of it)
            RECT rc;
            ::GetClientRect(h, &rc);
            paint(reinterpret_cast<HDC>(wp), rc);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(h, &ps);
            RECT rc;
            ::GetClientRect(h, &rc);
            UniqueMemoryDc buffer(::CreateCompatibleDC(dc));
            UniqueBitmap canvas(::CreateCompatibleBitmap(dc, std::max(1L, rc.right), std::max(1L, rc.bottom)));
            if (buffer && canvas) {
                Selected into(buffer.get(), canvas.get());
                paint(buffer.get(), rc);
                ::BitBlt(dc, 0, 0, rc.right, rc.bottom, buffer.get(), 0, 0, SRCCOPY);
            } else {
                paint(dc, rc);
            }
            ::EndPaint(h, &ps);
            return 0;
        }
        case WM_VSCROLL: {
            SCROLLINFO si{sizeof si, SIF_ALL};
            ::GetScrollInfo(h, SB_VERT, &si);
            const int line = lineHeight(), page = std::max(line, static_cast<int>(si.nPage) - line);
            switch (LOWORD(wp)) {
                case SB_LINEUP: scrollTo(scroll_ - line); break;
                case SB_LINEDOWN: scrollTo(scroll_ + line); break;
                case SB_PAGEUP: scrollTo(scroll_ - page); break;
                case SB_PAGEDOWN: scrollTo(scroll_ + page); break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: scrollTo(si.nTrackPos); break;
                case SB_TOP: scrollTo(0); break;
                case SB_BOTTOM: scrollTo(top(rows() + 1)); break;
                default: break;
            }
            return 0;
        }
        case WM_MOUSEWHEEL: {
            UINT lines = 3;
            ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            wheelRest_ += GET_WHEEL_DELTA_WPARAM(wp);
            const int notches = wheelRest_ / WHEEL_DELTA;
            wheelRest_ %= WHEEL_DELTA;
            if (lines == WHEEL_PAGESCROLL) {
                RECT rc;
                ::GetClientRect(h, &rc);
                scrollTo(scroll_ - notches * (static_cast<int>(rc.bottom) - headerHeight()));
            } else {
                scrollTo(scroll_ - notches * static_cast<int>(lines) * lineHeight());
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            ::SetFocus(h);
            const int row = hitTest(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            choose(row);
            if (msg == WM_LBUTTONDBLCLK && row && onDoubleClick) onDoubleClick();
            return 0;
        }
        case WM_KEYDOWN: key(wp); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(h, nullptr, FALSE);
            if (msg == WM_SETFOCUS)
                ::NotifyWinEvent(EVENT_OBJECT_FOCUS, h, OBJID_CLIENT, selected_ ? selected_ : CHILDID_SELF);
            return 0;
        case WM_ENABLE: ::InvalidateRect(h, nullptr, FALSE); return 0;
        default: return ::DefWindowProcW(h, msg, wp, lp);
    }
}

}  // namespace qb::ui
