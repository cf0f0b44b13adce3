#include "ui/controls/tabs.h"

#include <string>

#include "ui/window/form.h"

namespace qb::ui {

void TabStrip::created() {
    const std::wstring& captions = placement().caption;
    int index = 0;
    for (size_t start = 0; start <= captions.size();) {
        size_t bar = captions.find(L'|', start);
        std::wstring text = captions.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start);
        TCITEMW item{TCIF_TEXT};
        item.pszText = text.data();
        ::SendMessageW(handle(), TCM_INSERTITEMW, index++, reinterpret_cast<LPARAM>(&item));
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    // The captions were the window's text: a screen reader would read them all as its name.
    ::SetWindowTextW(handle(), L"");
    page_ = opensOn;
    if (page_ != 1) ::SendMessageW(handle(), TCM_SETCURSEL, page_ - 1, 0);
}

int TabStrip::pageCount() const { return static_cast<int>(::SendMessageW(live(), TCM_GETITEMCOUNT, 0, 0)); }

void TabStrip::show(int page) {
    page_ = page;
    ::SendMessageW(live(), TCM_SETCURSEL, page - 1, 0);
    if (onPageShown) onPageShown(page);
    // The focus is never left on a control the change hid, nor on the window itself where the
    // system puts it when it hides the control that had it: the tabs take it, as after a click.
    const HWND form = ::GetParent(handle());
    if (HWND focus = ::GetFocus(); focus && focus != handle() &&
                                   (focus == form || (::IsChild(form, focus) && (!::IsWindowVisible(focus) || !::IsWindowEnabled(focus)))))
        ::SetFocus(handle());
}

void TabStrip::select(int page) {
    if (!pageEnabled(page) || page < 1 || page > pageCount()) return;
    show(page);
}

void TabStrip::setPageEnabled(int page, bool enabled) {
    if (enabled) disabled_.erase(page);
    else disabled_.insert(page);
}

void TabStrip::step(int direction) {
    const int n = pageCount();
    for (int i = 1, page = page_; i < n; ++i) {
        page = (page - 1 + direction + n) % n + 1;
        if (pageEnabled(page)) return show(page);
    }
}

LRESULT TabStrip::notify(NMHDR* header) {
    if (header->code == TCN_SELCHANGE) {
        int chosen = static_cast<int>(::SendMessageW(handle(), TCM_GETCURSEL, 0, 0)) + 1;
        if (pageEnabled(chosen)) show(chosen);
        else ::SendMessageW(handle(), TCM_SETCURSEL, page_ - 1, 0);  // an unavailable tab cannot be chosen
    }
    return 0;
}

}  // namespace qb::ui

namespace qb::ui {

void TabStrip::painted() {
    RECT area;
    ::GetClientRect(handle(), &area);
    TabCtrl_AdjustRect(handle(), FALSE, &area);
    ::InflateRect(&area, 2, 2);  // up to the border the control draws round its pages
    WindowDc dc(handle());
    form().fillBackground(dc.get(), area);
}

}  // namespace qb::ui
