// How a relation window looks for users who need more: a high-contrast theme turned on while it is
// open (the window, its texts, the keyword tree and the memo grid take the system's colours, so that
// every keyword and memo can be read), and a move to a monitor of higher DPI (its pictures drawn
// at the monitor's size).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "in_process_suite.h"
#include "ui/look/colors.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

// The High Contrast Black colours of Windows, set for the test's time and put back after (the
// colours alone: Wine does not report the theme as high contrast, and neither does a dark theme of
// the user's own).
struct HighContrastBlack {
    static constexpr int kIndexes[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    COLORREF before[std::size(kIndexes)];
    HighContrastBlack() {
        const COLORREF black[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255), RGB(0, 0, 0)};
        for (size_t i = 0; i < std::size(kIndexes); ++i) before[i] = ::GetSysColor(kIndexes[i]);
        ::SetSysColors(static_cast<int>(std::size(kIndexes)), kIndexes, black);
    }
    ~HighContrastBlack() { ::SetSysColors(static_cast<int>(std::size(kIndexes)), kIndexes, before); }
};

double luminance(COLORREF c) {
    auto lin = [](int v) { double s = v / 255.0; return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(GetRValue(c)) + 0.7152 * lin(GetGValue(c)) + 0.0722 * lin(GetBValue(c));
}
double contrast(COLORREF a, COLORREF b) {
    double x = luminance(a) + 0.05, y = luminance(b) + 0.05;
    return x > y ? x / y : y / x;
}

// The pixels of a window's client area right of `left`, drawn by the window itself.
std::vector<COLORREF> pixelsOf(HWND h, int left) {
    RECT rc;
    ::GetClientRect(h, &rc);
    HDC screen = ::GetDC(h);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<COLORREF> out;
    for (int y = 0; y < rc.bottom; y += 2)
        for (int x = left; x < rc.right; x += 2) out.push_back(::GetPixel(mem, x, y));
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(h, screen);
    return out;
}

TEST_F(SeededSuite, AHighContrastThemeTurnedOnWhileTheWindowIsOpenGivesEveryTextTheSystemsColours) {
    db->exec("INSERT INTO memos(FileId, MemoText, MemoTheme, ViewId) VALUES (1, 'Blue memo', '4', 1), (1, 'Red memo', '2', 1);");
    windows::frmQuillbox w;
    w.oFileSelected = loadItem(L"C:\\docs\\report.txt");
    w.m_UserFile = L"C:\\docs\\report.txt";
    w.load();
    ::ShowWindow(w.handle(), SW_SHOWNA);
    HighContrastBlack black;
    ::SendMessageW(w.handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);

    EXPECT_EQ(w.backColor(), RGB(0, 0, 0)) << "the window's background";
    HDC dc = ::GetDC(w.handle());
    for (ui::Control* label : {static_cast<ui::Control*>(&w.keywords.lblAllKeywords), static_cast<ui::Control*>(&w.info.lblName)}) {
        auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(w.handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(label->handle())));
        LOGBRUSH lb{};
        ::GetObjectW(brush, sizeof lb, &lb);
        EXPECT_EQ(lb.lbColor, RGB(0, 0, 0)) << narrow(label->name());
        EXPECT_GE(contrast(::GetTextColor(dc), ::GetBkColor(dc)), 7.0) << narrow(label->name());
    }
    ::ReleaseDC(w.handle(), dc);

    HWND tree = w.keywords.pvtreeKeys.handle();
    auto shown = [](COLORREF c, int sys) { return c == CLR_DEFAULT ? ::GetSysColor(sys) : c; };
    const COLORREF treeBack = shown(TreeView_GetBkColor(tree), COLOR_WINDOW), treeText = shown(TreeView_GetTextColor(tree), COLOR_WINDOWTEXT);
    EXPECT_GE(contrast(treeBack, treeText), 7.0) << "every keyword of the tree can be read";

    w.ssTab.select(3);
    // The memo texts, right of the theme's picture (which keeps its colours: it tells the themes
    // apart).
    const std::vector<COLORREF> grid = pixelsOf(w.themes.grdMemo.handle(), 60);
    for (COLORREF theme : {RGB(0, 0, 192), RGB(192, 0, 0)})
        EXPECT_EQ(std::count(grid.begin(), grid.end(), theme), 0) << "a theme's colour on the system's background";
    EXPECT_GT(std::count(grid.begin(), grid.end(), RGB(255, 255, 255)), 20) << "the memos are written in the system's text colour";
    w.unload();
}

TEST_F(SeededSuite, MovedToAMonitorOf144DpiTheWindowDrawsItsPicturesAtThatSizeAndAt192ItStaysOnTheScreen) {
    windows::frmQuillbox w;
    w.oFileSelected = loadItem(L"C:\\docs\\report.txt");
    w.m_UserFile = L"C:\\docs\\report.txt";
    w.load();
    auto side = [](HIMAGELIST images) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        return std::min(cx, cy);
    };
    EXPECT_EQ(side(TreeView_GetImageList(w.keywords.pvtreeKeys.handle(), TVSIL_NORMAL)), 16) << "at 96 dpi";
    RECT suggested;
    ::GetWindowRect(w.handle(), &suggested);
    ::SendMessageW(w.handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_GE(side(TreeView_GetImageList(w.keywords.pvtreeKeys.handle(), TVSIL_NORMAL)), 24) << "the tree";
    EXPECT_GE(side(ListView_GetImageList(w.keywords.lstKeyRel.handle(), LVSIL_SMALL)), 24) << "the related keywords";
    EXPECT_GE(side(w.themes.grdMemo.imageList()), 24) << "the memo grid";
    // On to a 192-dpi monitor of the same 1024 x 768 work area: the window would not fit at that
    // DPI, so it is laid out smaller and kept inside it rather than taking the suggested frame.
    const RECT at96 = suggested;
    RECT twice{0, 0, 2 * (at96.right - at96.left), 2 * (at96.bottom - at96.top)};
    ::SendMessageW(w.handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&twice));
    MONITORINFO monitor{sizeof monitor};
    ::GetMonitorInfoW(::MonitorFromWindow(w.handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT now;
    ::GetWindowRect(w.handle(), &now);
    ASSERT_GT(twice.bottom, monitor.rcWork.bottom - monitor.rcWork.top) << "the frame suggested must not fit for this to tell";
    EXPECT_TRUE(now.left >= monitor.rcWork.left && now.top >= monitor.rcWork.top && now.right <= monitor.rcWork.right &&
                now.bottom <= monitor.rcWork.bottom)
        << "the window at " << now.left << "," << now.top << " to " << now.right << "," << now.bottom << " is cut off";
    EXPECT_GT(now.right - now.left, at96.right - at96.left) << "and larger than at 96 dpi";
    w.unload();
}

}  // namespace
}  // namespace qb::testing
