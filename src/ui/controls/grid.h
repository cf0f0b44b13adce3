#pragma once
// A grid of rows whose height fits their wrapped text: columns found by key (width, alignment,
// visibility, header picture), cells with text, picture, text colour and drawing flags, one
// selected row. Rows and columns count from 1; row 0 is "none". Keyboard and mouse work as in a
// list view (arrows, Page Up/Down, Home/End, click, double click, wheel), and a screen reader
// finds one list item per row, named by the texts of its visible cells.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/control.h"

namespace qb::ui {

struct GridColumn {
    std::wstring key;
    std::wstring header;
    // How the header and the cells' pictures sit: DT_LEFT, DT_CENTER or DT_RIGHT.
    UINT align = DT_LEFT;
    // The header's picture in the grid's image list (from 0), or -1.
    int icon = -1;
    // Pixels at 96 dots per inch (scaled with the window); the last visible column also takes
    // whatever width the others leave.
    int width = 0;
    bool visible = true;
};

struct GridCell {
    std::wstring text;
    int icon = -1;                // picture in the grid's image list (from 0), or -1
    COLORREF color = CLR_DEFAULT;  // the text's colour; CLR_DEFAULT: the window text colour
    UINT flags = DT_SINGLELINE | DT_END_ELLIPSIS;  // DrawText flags for the text
    std::wstring spoken;  // what a screen reader says for the cell's picture
};

class Grid final : public Control {
public:
    std::function<void()> onSelectionChange;
    std::function<void()> onDoubleClick;

    const wchar_t* windowClass() const override;
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | WS_VSCROLL; }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }

    // The pictures of cells and headers; the grid does not own them.
    void setImageList(HIMAGELIST images);
    HIMAGELIST imageList() const { return images_; }
    void addColumn(GridColumn column);
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn& column(int col) const;
    // The column's number, or 0 for a key the grid does not have.
    int columnIndex(std::wstring_view key) const;

    // Rows.
    void clear();
    int addRow();  // returns its number
    int rows() const { return static_cast<int>(rows_.size()); }
    const GridCell& cell(int row, int col) const;
    void setCellText(int row, int col, std::wstring text, UINT flags);
    // A picture; `spoken` is what it means, for screen readers ("Red").
    void setCellIcon(int row, int col, int icon, UINT flags, std::wstring spoken = {});
    void setCellTextColor(int row, int col, COLORREF color);
    // Heights in pixels of the screen.
    int rowHeight(int row) const;
    void setRowHeight(int row, int pixels);
    // The height that shows all of the row's text, wrapped in its cells.
    void autoHeightRow(int row);

    int selectedRow() const { return selected_; }
    void selectRow(int row);  // 0 clears the selection
    void ensureVisible(int row);
    // The row at a point of the client area, or 0.
    int hitTest(POINT client) const;
    // The row's rectangle in the client area (empty for row 0).
    RECT rowRect(int row) const;
    // What a screen reader says for the row: its visible cells' texts.
    std::wstring rowName(int row) const;
    // Off: changes are not drawn until it is on again.
    void setRedraw(bool on);

    // The window procedure of the grid's class.
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    // The grid of a window of the grid's class, or nullptr once it is gone.
    static const Grid* fromWindow(HWND window);

protected:
    void created() override;
    bool selectedItemRect(RECT& item) const override;
    bool takesEnter() const override { return false; }
    IAccessible* makeAccessible(IAccessible* standard) const override;

private:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp);
    GridCell& at(int row, int col);
    void checkRow(int row) const;
    // Cell and header geometry.
    std::vector<int> columnWidths() const;
    int headerHeight() const;
    int lineHeight() const;
    int pad() const;
    int dpiScale(int pixels) const;
    int top(int row) const;  // of the row, in the scrolled content (row 1 at 0)
    void layoutChanged();
    void updateScroll();
    void scrollTo(int y);
    void paint(HDC dc, const RECT& client);
    void drawRow(HDC dc, int row, int y, const std::vector<int>& widths, int right);
    void drawHeader(HDC dc, const std::vector<int>& widths, int right);
    void key(WPARAM vk);
    void choose(int row);  // by the user: selects, shows, tells
    HFONT font() const;
    int fittedHeight(HDC dc, int row, const std::vector<int>& widths) const;
    // Fitted rows measured again (another width or font).
    void refit();

    struct Row {
        std::vector<GridCell> cells;
        int height = 0;
        bool fitted = false;  // the height follows the text (autoHeightRow)
    };
    std::vector<GridColumn> columns_;
    std::vector<Row> rows_;
    mutable std::vector<int> tops_;  // row tops, rebuilt when heights changed
    mutable bool topsStale_ = true;
    HIMAGELIST images_ = nullptr;
    HFONT font_ = nullptr;
    int selected_ = 0;
    int scroll_ = 0;  // pixels of content above the view
    bool redraw_ = true;
    int wheelRest_ = 0;
    LONG fittedWidth_ = -1;
    int lineHeight_ = 16;   // of the font  // the client width the fitted rows were measured at
};

// Before the module unloads.
void unregisterGridClass();

}  // namespace qb::ui
