#include "ui/controls/list_view.h"

#include <climits>
#include <string_view>

namespace qb::ui {

void TaggedList::created() {
    ::SendMessageW(handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | (checkBoxes ? LVS_EX_CHECKBOXES : 0));
    if (checkBoxes) checkBoxPictures_.reset(ListView_GetImageList(handle(), LVSIL_STATE));
}

// Tips for the items are asked for when the pointer first comes over the list: turning them on
// costs milliseconds under Wine, which a window opened and closed from the keyboard need not pay.
void TaggedList::pointerMoved() {
    if (infoTips_) return;
    infoTips_ = true;
    ::SendMessageW(handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);
}

bool TaggedList::selectedItemRect(RECT& item) const {
    int index = selected();
    return index >= 0 && ListView_GetItemRect(handle(), index, &item, LVIR_LABEL);
}

void TaggedList::addColumn(const std::wstring& title, int width) {
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.pszText = const_cast<wchar_t*>(title.c_str());
    col.cx = width;
    int n = Header_GetItemCount(ListView_GetHeader(handle()));
    ::SendMessageW(handle(), LVM_INSERTCOLUMNW, n, reinterpret_cast<LPARAM>(&col));
}

void TaggedList::setColumnWidth(int column, int width) { ListView_SetColumnWidth(handle(), column, width); }

void TaggedList::clear() { ListView_DeleteAllItems(handle()); }

int TaggedList::add(const std::wstring& text, long tag, int picture) {
    LVITEMW item{LVIF_TEXT | LVIF_PARAM | (picture ? LVIF_IMAGE : 0u)};
    item.iItem = INT_MAX;  // past the end: appended
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = tag;
    item.iImage = picture - 1;
    return static_cast<int>(::SendMessageW(handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void TaggedList::remove(int index) { ListView_DeleteItem(handle(), index); }

int TaggedList::count() const { return ListView_GetItemCount(handle()); }

int TaggedList::selected() const { return ListView_GetNextItem(handle(), -1, LVNI_SELECTED); }

void TaggedList::select(int index) {
    ListView_SetItemState(handle(), index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring TaggedList::text(int index) const { return subItem(index, 0); }

void TaggedList::setSubItem(int index, int column, const std::wstring& text) {
    LVITEMW item{LVIF_TEXT};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(handle(), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

std::wstring TaggedList::subItem(int index, int column) const {
    wchar_t buf[1024] = {};
    LVITEMW item{LVIF_TEXT};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = 1024;
    ::SendMessageW(handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return buf;
}

bool TaggedList::checked(int index) const { return ListView_GetCheckState(handle(), index) != FALSE; }

void TaggedList::setChecked(int index, bool on) { ListView_SetCheckState(handle(), index, on); }

long TaggedList::tag(int index) const {
    LVITEMW item{LVIF_PARAM};
    item.iItem = index;
    ::SendMessageW(handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<long>(item.lParam);
}

int TaggedList::hitTest(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    return ListView_HitTest(handle(), &hit);
}

void TaggedList::setRedraw(bool on) {
    ::SendMessageW(handle(), WM_SETREDRAW, on, 0);
    if (on) ::InvalidateRect(handle(), nullptr, TRUE);
}

}  // namespace qb::ui
