#include "ui/look/pictures.h"

#include <utility>

namespace qb::ui {
namespace {

// Image lists of pictures drawn here: each drawn on magenta, which becomes transparent.
class DrawnPictures {
public:
    explicit DrawnPictures(int size, int count)
        : size_(size), images_(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0)), screen_(nullptr),
          dc_(::CreateCompatibleDC(screen_.get())) {}
    DrawnPictures(const DrawnPictures&) = delete;
    DrawnPictures& operator=(const DrawnPictures&) = delete;

    // Adds a picture: `draw` paints on the device context with `fill` as its brush.
    template <class Draw>
    void add(COLORREF fill, Draw draw) {
        UniqueBitmap bmp(::CreateCompatibleBitmap(screen_.get(), size_, size_));
        {
            Selected canvas(dc_.get(), bmp.get());
            RECT all{0, 0, size_, size_};
            UniqueBrush magenta(::CreateSolidBrush(kTransparent));
            ::FillRect(dc_.get(), &all, magenta.get());
            UniqueBrush brush(::CreateSolidBrush(fill));
            Selected paint(dc_.get(), brush.get());
            draw(dc_.get());
        }
        ImageList_AddMasked(images_.get(), bmp.get(), kTransparent);
    }
    UniqueImageList images() { return std::move(images_); }

private:
    static constexpr COLORREF kTransparent = RGB(255, 0, 255);
    int size_;
    UniqueImageList images_;
    WindowDc screen_;
    UniqueMemoryDc dc_;
};

}  // namespace

UniqueImageList keywordPictures() {
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

UniqueImageList itemKindPictures() {
    DrawnPictures pictures(32, 7);
    UniquePen pen(::CreatePen(PS_SOLID, 2, RGB(60, 60, 60)));
    auto add = [&](COLORREF fill, auto draw) {
        pictures.add(fill, [&](HDC dc) {
            Selected outline(dc, pen.get());
            draw(dc);
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
    return pictures.images();
}

int itemKindPicture(std::wstring_view key) {
    static const wchar_t* const keys[] = {L"Mail", L"Contact", L"Task", L"Appointment", L"Note", L"Web", L"Server"};
    for (int i = 0; i < 7; ++i)
        if (key == keys[i]) return i;
    return -1;
}

}  // namespace qb::ui
