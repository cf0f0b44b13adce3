#pragma once
// A drop-down list whose items carry a picture of an image list: items from 0, pictures from 1
// (0: none), as a list of themes or kinds shows them. An item may be indented (a tree of
// categories shown as a list) and carry a key and a tag of the caller's. The items are kept here
// too, so that a combo of a tab page not shown yet is filled without making its window (a
// drop-down list costs a pop-up window).
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/control.h"

namespace qb::ui {

class ImageCombo final : public Control {
public:
    // The user chose an item (choosing by code does not tell).
    std::function<void()> onClick;

    const wchar_t* windowClass() const override { return WC_COMBOBOXEXW; }
    // Its height in the layout is the open list's.
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; }

    // The items' pictures; the combo does not own them.
    void setImageList(HIMAGELIST images);
    void clear();
    // Adds an item at the end, `indent` levels in (one level is the width of a picture); returns
    // its index.
    int add(const std::wstring& text, int picture, int indent = 0, std::wstring key = {}, std::wstring tag = {});
    int count() const;
    int selected() const;  // -1: none
    void select(int index);  // -1: none, and nothing shown
    const std::wstring& itemText(int index) const { return items_.at(static_cast<size_t>(index)).text; }
    int itemPicture(int index) const { return items_.at(static_cast<size_t>(index)).picture; }
    int itemIndent(int index) const { return items_.at(static_cast<size_t>(index)).indent; }
    const std::wstring& itemKey(int index) const { return items_.at(static_cast<size_t>(index)).key; }
    const std::wstring& itemTag(int index) const { return items_.at(static_cast<size_t>(index)).tag; }
    // The index of the first item with that key; -1 when none has it.
    int find(const std::wstring& key) const;
    // WM_GETOBJECT to the combo inside, which takes the focus: the combo named as the form names
    // it, the chosen item its value, the items its children.
    bool answerInside(HWND inner, WPARAM wp, LPARAM lp, LRESULT& result) const override;

protected:
    void command(WORD code) override;
    void created() override;
    void destroyed() override;

private:
    struct Item {
        std::wstring text;
        int picture, indent;
        std::wstring key, tag;
    };
    void insert(const Item& item) const;
    void mustBeLoaded() const;

    std::vector<Item> items_;  // in the combo's order
    int selected_ = -1;        // while the window is not made
    HIMAGELIST images_ = nullptr;
};

}  // namespace qb::ui
