#pragma once
// A report-style list view whose items carry a whole-number tag. Until its window is made (a list
// of a tab page not shown yet) it keeps its columns and items itself, and the window is made with
// them; from then on the window holds them.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/handles.h"
#include "ui/controls/control.h"

namespace qb::ui {

class TaggedList final : public Control {
public:
    // Notifications of the list (double click, keys, start of a drag); the answer goes back to it.
    std::function<LRESULT(NMHDR*)> onNotify;
    // Set before the window is made: a check box in front of every item.
    bool checkBoxes = false;

    const wchar_t* windowClass() const override { return WC_LISTVIEWW; }
    // Its image lists belong to whoever sets them (a page shares one between two controls).
    DWORD style() const override {
        return WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
    // Runs `step` once the window exists: now when it does, else when it is made.
    void whenMade(std::function<void()> step);
    // The width inside the list's border, in pixels.
    int clientWidth() const;
    // The items' pictures; the list does not own them.
    void setImageList(HIMAGELIST images);
    void addColumn(const std::wstring& title, int widthPixels);
    void setColumnWidth(int column, int widthPixels);
    void clear();
    // Picture counts from 1 (0: none). Returns the new item's index.
    int add(const std::wstring& text, long tag, int picture);
    void remove(int index);
    int count() const;
    // The selected item's index, or -1.
    int selected() const;
    void select(int index);
    std::wstring text(int index) const;
    long tag(int index) const;
    // Texts of the further columns (column 1 is the first after the item's own).
    void setSubItem(int index, int column, const std::wstring& text);
    std::wstring subItem(int index, int column) const;
    bool checked(int index) const;
    void setChecked(int index, bool on);
    int hitTest(POINT client) const;
    void setRedraw(bool on);

protected:
    void created() override;
    void destroyed() override;
    LRESULT notify(NMHDR* header) override { return onNotify ? onNotify(header) : 0; }
    bool selectedItemRect(RECT& item) const override;
    bool takesEnter() const override { return true; }
    void pointerMoved() override;
    // Its rows as the items a screen reader lists (a ticked row says so).
    IAccessible* makeAccessible(IAccessible* standard) const override;

private:
    struct Row {
        std::wstring text;
        long tag;
        int picture;
        std::vector<std::wstring> columns;  // after the item's own
        bool checked = false;
    };
    Row& row(int index);
    const Row& row(int index) const;

    bool infoTips_ = false;
    std::vector<std::pair<std::wstring, int>> columns_;
    std::vector<Row> rows_;
    int selected_ = -1;
    HIMAGELIST images_ = nullptr;
    std::vector<std::function<void()>> whenMade_;
    // The boxes' pictures, which the list makes itself but does not destroy when it shares its
    // image lists.
    UniqueImageList checkBoxPictures_;
};

}  // namespace qb::ui
