#pragma once
// A drop-down list whose items carry a picture of an image list: items from 0, pictures from 1
// (0: none), as a list of themes or kinds shows them.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

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
    int add(const std::wstring& text, int picture);  // returns the item's index
    int count() const;
    int selected() const;  // -1: none
    void select(int index);
    std::wstring itemText(int index) const;
    int itemPicture(int index) const;

protected:
    void command(WORD code) override;
};

}  // namespace qb::ui
