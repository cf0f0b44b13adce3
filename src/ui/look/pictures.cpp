#include "ui/look/pictures.h"

#include <initializer_list>
#include <utility>

namespace qb::ui {
namespace {

// Image lists of pictures drawn here: each drawn on magenta, which becomes transparent.
class DrawnPictures {
public:
    // Room for `count` pictures of `size` pixels, drawn on a design of `design` units square;
    // `grow` more can be added later (a shell icon keeps its alpha in a list of 32-bit colour).
    DrawnPictures(int size, int design, int count, int grow = 0)
        : size_(size),
          design_(design),
          images_(ImageList_Create(size, size, (grow ? ILC_COLOR32 : ILC_COLOR24) | ILC_MASK, count, grow)),
          screen_(nullptr),
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
            // Drawn at the size asked for: the design's lines and shapes scaled, not its pixels.
            const int mode = ::SetGraphicsMode(dc_.get(), GM_ADVANCED);
            const float scale = static_cast<float>(size_) / static_cast<float>(design_);
            XFORM xf{scale, 0, 0, scale, 0, 0};
            ::SetWorldTransform(dc_.get(), &xf);
            draw(dc_.get());
            ::ModifyWorldTransform(dc_.get(), nullptr, MWT_IDENTITY);
            ::SetGraphicsMode(dc_.get(), mode);
        }
        ImageList_AddMasked(images_.get(), bmp.get(), kTransparent);
    }
    UniqueImageList images() { return std::move(images_); }

private:
    static constexpr COLORREF kTransparent = RGB(255, 0, 255);
    int size_, design_;
    UniqueImageList images_;
    WindowDc screen_;
    UniqueMemoryDc dc_;
};

}  // namespace

UniqueImageList keywordPictures(int size) {
    DrawnPictures pictures(size, 16, 2);
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

UniqueImageList notePictures(int size, std::span<const COLORREF> inks) {
    DrawnPictures pictures(size, 16, static_cast<int>(inks.size()));
    for (COLORREF ink : inks) {
        pictures.add(ink, [](HDC dc) {  // a note with its corner folded
            POINT note[] = {{2, 1}, {10, 1}, {14, 5}, {14, 15}, {2, 15}};
            ::Polygon(dc, note, 5);
            ::MoveToEx(dc, 10, 1, nullptr);
            ::LineTo(dc, 10, 5);
            ::LineTo(dc, 14, 5);
            for (int y : {8, 11}) {
                ::MoveToEx(dc, 5, y, nullptr);
                ::LineTo(dc, 12, y);
            }
        });
    }
    return pictures.images();
}

namespace {

// The kinds' pictures, designed on 32 x 32 and drawn at any size.
struct KindPicture {
    const wchar_t* key;
    COLORREF fill;
    void (*draw)(HDC);
};

const KindPicture kKinds[] = {
    {L"Mail", RGB(250, 230, 150), [](HDC dc) {  // an envelope
         ::Rectangle(dc, 3, 8, 29, 25);
         ::MoveToEx(dc, 3, 8, nullptr), ::LineTo(dc, 16, 18), ::LineTo(dc, 29, 8);
     }},
    {L"Contact", RGB(150, 200, 240), [](HDC dc) {  // a head and shoulders
         ::Ellipse(dc, 10, 3, 22, 15);
         ::Ellipse(dc, 5, 16, 27, 34);
     }},
    {L"Task", RGB(170, 220, 160), [](HDC dc) {  // a ticked box
         ::Rectangle(dc, 5, 5, 27, 27);
         ::MoveToEx(dc, 9, 16, nullptr), ::LineTo(dc, 14, 22), ::LineTo(dc, 24, 9);
     }},
    {L"Appointment", RGB(240, 170, 150), [](HDC dc) {  // a calendar sheet
         ::Rectangle(dc, 4, 6, 28, 28);
         ::MoveToEx(dc, 4, 12, nullptr), ::LineTo(dc, 28, 12);
     }},
    {L"Note", RGB(255, 240, 120), [](HDC dc) {  // a folded sheet
         ::Rectangle(dc, 6, 4, 26, 28);
         ::MoveToEx(dc, 19, 28, nullptr), ::LineTo(dc, 26, 21);
     }},
    {L"Web", RGB(120, 170, 230), [](HDC dc) {  // a globe
         ::Ellipse(dc, 4, 4, 28, 28);
         ::Ellipse(dc, 11, 4, 21, 28);
         ::MoveToEx(dc, 4, 16, nullptr), ::LineTo(dc, 28, 16);
     }},
    {L"Server", RGB(190, 190, 200), [](HDC dc) {  // a tower
         ::Rectangle(dc, 9, 3, 23, 29);
         ::MoveToEx(dc, 12, 9, nullptr), ::LineTo(dc, 20, 9);
         ::MoveToEx(dc, 12, 14, nullptr), ::LineTo(dc, 20, 14);
     }},
    {L"Link", RGB(200, 220, 250), [](HDC dc) {  // two links of a chain
         ::RoundRect(dc, 3, 11, 19, 21, 8, 8);
         ::RoundRect(dc, 13, 11, 29, 21, 8, 8);
     }},
    {L"LocalCopy", RGB(170, 220, 160), [](HDC dc) {  // a sheet with an arrow down onto it
         ::Rectangle(dc, 6, 12, 26, 29);
         POINT arrow[] = {{13, 2}, {19, 2}, {19, 9}, {23, 9}, {16, 16}, {9, 9}, {13, 9}};
         ::Polygon(dc, arrow, 7);
     }},
    {L"MissingFile", RGB(245, 245, 245), [](HDC dc) {  // a sheet struck through
         ::Rectangle(dc, 6, 3, 26, 29);
         UniquePen red(::CreatePen(PS_SOLID, 3, RGB(200, 30, 30)));
         Selected strike(dc, red.get());
         ::MoveToEx(dc, 8, 8, nullptr), ::LineTo(dc, 24, 24);
         ::MoveToEx(dc, 24, 8, nullptr), ::LineTo(dc, 8, 24);
     }},
};

const KindPicture& kind(std::wstring_view key) {
    for (const KindPicture& k : kKinds)
        if (key == k.key) return k;
    return kKinds[0];
}

UniqueImageList kindPictures(int size, std::initializer_list<const wchar_t*> keys, int grow = 0) {
    DrawnPictures pictures(size, 32, static_cast<int>(keys.size()), grow);
    UniquePen pen(::CreatePen(PS_SOLID, 2, RGB(60, 60, 60)));
    for (const wchar_t* key : keys) {
        const KindPicture& k = kind(key);
        pictures.add(k.fill, [&](HDC dc) {
            Selected outline(dc, pen.get());
            k.draw(dc);
        });
    }
    return pictures.images();
}

}  // namespace

UniqueImageList itemKindPictures(int size) {
    return kindPictures(size, {L"Mail", L"Contact", L"Task", L"Appointment", L"Note", L"Web", L"Server", L"Link", L"LocalCopy"});
}

UniqueImageList attachmentPictures(int size) {
    return kindPictures(size, {L"MissingFile", L"Mail", L"Task", L"Contact", L"Appointment", L"Note", L"Web", L"Server"}, 16);
}

int itemKindPicture(std::wstring_view key) {
    static const wchar_t* const keys[] = {L"Mail",   L"Contact", L"Task", L"Appointment", L"Note",
                                          L"Web",    L"Server",  L"Link", L"LocalCopy"};
    for (int i = 0; i < 9; ++i)
        if (key == keys[i]) return i;
    return -1;
}

}  // namespace qb::ui
