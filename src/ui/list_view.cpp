#include "ui/list_view.h"

#include <climits>
#include <string_view>

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
    item.iItem = INT_MAX;  // past the end: appended
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

namespace {

// Image lists of pictures drawn here: each drawn on magenta, which becomes transparent.
class DrawnPictures {
public:
    explicit DrawnPictures(int size, int count)
        : size_(size), images_(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0)),
          screen_(::GetDC(nullptr)), dc_(::CreateCompatibleDC(screen_)) {}
    ~DrawnPictures() {
        ::DeleteDC(dc_);
        ::ReleaseDC(nullptr, screen_);
    }
    DrawnPictures(const DrawnPictures&) = delete;
    DrawnPictures& operator=(const DrawnPictures&) = delete;

    // Adds a picture: `draw` paints on the device context with `fill` as its brush.
    template <class Draw>
    void add(COLORREF fill, Draw draw) {
        HBITMAP bmp = ::CreateCompatibleBitmap(screen_, size_, size_);
        HGDIOBJ oldBmp = ::SelectObject(dc_, bmp);
        RECT all{0, 0, size_, size_};
        HBRUSH magenta = ::CreateSolidBrush(kTransparent);
        ::FillRect(dc_, &all, magenta);
        ::DeleteObject(magenta);
        HBRUSH brush = ::CreateSolidBrush(fill);
        HGDIOBJ oldBrush = ::SelectObject(dc_, brush);
        draw(dc_);
        ::SelectObject(dc_, oldBrush);
        ::DeleteObject(brush);
        ::SelectObject(dc_, oldBmp);
        ImageList_AddMasked(images_, bmp, kTransparent);
        ::DeleteObject(bmp);
    }
    HIMAGELIST images() const { return images_; }

private:
    static constexpr COLORREF kTransparent = RGB(255, 0, 255);
    int size_;
    HIMAGELIST images_;
    HDC screen_, dc_;
};

}  // namespace

HIMAGELIST keywordPictures() {
    DrawnPictures pictures(16, 2);
    pictures.add(RGB(240, 200, 80), [](HDC dc) {  // group: a folder
        ::Rectangle(dc, 1, 4, 15, 14);
        ::Rectangle(dc, 1, 2, 7, 5);
    });
    pictures.add(RGB(90, 140, 220), [](HDC dc) {  // keyword: a tag
        POINT tag[] = {{1, 8}, {6, 3}, {14, 3}, {14, 13}, {6, 13}};
        ::Polygon(dc, tag, 5);
    });
    return pictures.images();
}

HIMAGELIST itemKindPictures() {
    DrawnPictures pictures(32, 7);
    HPEN pen = ::CreatePen(PS_SOLID, 2, RGB(60, 60, 60));
    auto add = [&](COLORREF fill, auto draw) {
        pictures.add(fill, [&](HDC dc) {
            HGDIOBJ oldPen = ::SelectObject(dc, pen);
            draw(dc);
            ::SelectObject(dc, oldPen);
        });
    };
    add(RGB(250, 230, 150), [](HDC dc) {  // mail: an envelope
        ::Rectangle(dc, 3, 8, 29, 25);
        ::MoveToEx(dc, 3, 8, nullptr), ::LineTo(dc, 16, 18), ::LineTo(dc, 29, 8);
    });
    add(RGB(150, 200, 240), [](HDC dc) {  // contact: a head and shoulders
        ::Ellipse(dc, 10, 3, 22, 15);
        ::Ellipse(dc, 5, 16, 27, 34);
    });
    add(RGB(170, 220, 160), [](HDC dc) {  // task: a ticked box
        ::Rectangle(dc, 5, 5, 27, 27);
        ::MoveToEx(dc, 9, 16, nullptr), ::LineTo(dc, 14, 22), ::LineTo(dc, 24, 9);
    });
    add(RGB(240, 170, 150), [](HDC dc) {  // appointment: a calendar sheet
        ::Rectangle(dc, 4, 6, 28, 28);
        ::MoveToEx(dc, 4, 12, nullptr), ::LineTo(dc, 28, 12);
    });
    add(RGB(255, 240, 120), [](HDC dc) {  // note: a folded sheet
        ::Rectangle(dc, 6, 4, 26, 28);
        ::MoveToEx(dc, 19, 28, nullptr), ::LineTo(dc, 26, 21);
    });
    add(RGB(120, 170, 230), [](HDC dc) {  // web: a globe
        ::Ellipse(dc, 4, 4, 28, 28);
        ::Ellipse(dc, 11, 4, 21, 28);
        ::MoveToEx(dc, 4, 16, nullptr), ::LineTo(dc, 28, 16);
    });
    add(RGB(190, 190, 200), [](HDC dc) {  // server: a tower
        ::Rectangle(dc, 9, 3, 23, 29);
        ::MoveToEx(dc, 12, 9, nullptr), ::LineTo(dc, 20, 9);
        ::MoveToEx(dc, 12, 14, nullptr), ::LineTo(dc, 20, 14);
    });
    ::DeleteObject(pen);
    return pictures.images();
}

int itemKindPicture(std::wstring_view key) {
    static const wchar_t* const keys[] = {L"Mail", L"Contact", L"Task", L"Appointment", L"Note", L"Web", L"Server"};
    for (int i = 0; i < 7; ++i)
        if (key == keys[i]) return i;
    return -1;
}

}  // namespace qb::ui
