#pragma once
// A report-style list view whose items carry a whole-number tag.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

namespace qb::ui {

class TaggedList {
public:
    void attach(HWND list) { list_ = list; }
    HWND handle() const { return list_; }
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
    int hitTest(POINT client) const;
    void setRedraw(bool on);

private:
    HWND list_ = nullptr;
};

// A 16 x 16 image list of simple pictures drawn here: 1 a group (folder), 2 a keyword (tag).
HIMAGELIST keywordPictures();

// 32 x 32 pictures of the kinds of items that are not local files, in this order:
// "Mail", "Contact", "Task", "Appointment", "Note", "Web", "Server".
HIMAGELIST itemKindPictures();
int itemKindPicture(std::wstring_view key);  // index in that list, -1 for an unknown key

}  // namespace qb::ui
