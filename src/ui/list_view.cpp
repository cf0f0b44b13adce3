#include "ui/list_view.h"

namespace qb::ui {

void TaggedList::addColumn(const std::wstring& title, int width) {
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.pszText = const_cast<wchar_t*>(title.c_str());
    col.cx = width;
    int n = Header_GetItemCount(ListView_GetHeader(list_));
    ::SendMessageW(list_, LVM_INSERTCOLUMNW, n, reinterpret_cast<LPARAM>(&col));
}

void TaggedList::setColumnWidth(int column, int width) { ListView_SetColumnWidth(list_, column, width); }

void TaggedList::clear() { ListView_DeleteAllItems(list_); }

int TaggedList::add(const std::wstring& text, long tag, int picture) {
    LVITEMW item{LVIF_TEXT | LVIF_PARAM | (picture ? LVIF_IMAGE : 0u)};
    item.iItem = count();
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = tag;
    item.iImage = picture - 1;
    return static_cast<int>(::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void TaggedList::remove(int index) { ListView_DeleteItem(list_, index); }

int TaggedList::count() const { return ListView_GetItemCount(list_); }

int TaggedList::selected() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

void TaggedList::select(int index) {
    ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring TaggedList::text(int index) const {
    wchar_t buf[1024] = {};
    LVITEMW item{LVIF_TEXT};
    item.iItem = index;
    item.pszText = buf;
    item.cchTextMax = 1024;
    ::SendMessageW(list_, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return buf;
}

long TaggedList::tag(int index) const {
    LVITEMW item{LVIF_PARAM};
    item.iItem = index;
    ::SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<long>(item.lParam);
}

int TaggedList::hitTest(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    return ListView_HitTest(list_, &hit);
}

void TaggedList::setRedraw(bool on) {
    ::SendMessageW(list_, WM_SETREDRAW, on, 0);
    if (on) ::InvalidateRect(list_, nullptr, TRUE);
}

HIMAGELIST keywordPictures() {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    auto picture = [&](COLORREF fill, bool folder) {
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = ::SelectObject(dc, bmp);
        RECT all{0, 0, 16, 16};
        HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(dc, &all, magenta);
        ::DeleteObject(magenta);
        HBRUSH brush = ::CreateSolidBrush(fill);
        HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        if (folder) {
            ::Rectangle(dc, 1, 4, 15, 14);
            ::Rectangle(dc, 1, 2, 7, 5);
        } else {
            POINT tag[] = {{1, 8}, {6, 3}, {14, 3}, {14, 13}, {6, 13}};
            ::Polygon(dc, tag, 5);
        }
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(brush);
        ::SelectObject(dc, old);
        ImageList_AddMasked(images, bmp, RGB(255, 0, 255));
        ::DeleteObject(bmp);
    };
    picture(RGB(240, 200, 80), true);
    picture(RGB(90, 140, 220), false);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return images;
}

}  // namespace qb::ui
