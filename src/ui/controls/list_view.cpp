#include "ui/controls/list_view.h"

#include "ui/controls/items_accessible.h"

#include <climits>
#include <string_view>

#include "ui/window/form.h"

namespace qb::ui {

void TaggedList::created() {
    HWND h = madeWindow();
    ::SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | (checkBoxes ? LVS_EX_CHECKBOXES : 0));
    if (checkBoxes) checkBoxPictures_.reset(ListView_GetImageList(h, LVSIL_STATE));
    // What it was given before: from now on the window holds it.
    if (images_) ListView_SetImageList(h, images_, LVSIL_SMALL);
    auto columns = std::move(columns_);
    auto rows = std::move(rows_);
    const int chosen = selected_;
    columns_.clear(), rows_.clear(), selected_ = -1;
    for (const auto& [title, width] : columns) addColumn(title, width);
    if (!rows.empty()) ::SendMessageW(h, WM_SETREDRAW, FALSE, 0);  // the rows appear together
    for (const Row& r : rows) {
        const int at = add(r.text, r.tag, r.picture);
        for (size_t c = 0; c < r.columns.size(); ++c)
            if (!r.columns[c].empty()) setSubItem(at, static_cast<int>(c) + 1, r.columns[c]);
        if (r.checked) setChecked(at, true);
    }
    if (!rows.empty()) ::SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    if (chosen >= 0) select(chosen);
    auto steps = std::move(whenMade_);
    whenMade_.clear();
    for (auto& step : steps) step();
}

void TaggedList::destroyed() {
    checkBoxPictures_.reset();
    infoTips_ = false;
    columns_.clear(), rows_.clear(), whenMade_.clear();
    selected_ = -1;
    images_ = nullptr;
}

TaggedList::Row& TaggedList::row(int index) { return rows_.at(static_cast<size_t>(index)); }
const TaggedList::Row& TaggedList::row(int index) const { return rows_.at(static_cast<size_t>(index)); }

void TaggedList::whenMade(std::function<void()> step) {
    if (waitsForWindow()) whenMade_.push_back(std::move(step));
    else if (madeWindow()) step();
}

int TaggedList::clientWidth() const {
    if (!waitsForWindow()) {
        RECT rc{};
        ::GetClientRect(madeWindow(), &rc);
        return rc.right;
    }
    const RECT r = toPixels(placement().bounds, form().dpi());
    return r.right - r.left - 2 * ::GetSystemMetrics(SM_CXEDGE);  // inside the sunken edge
}

void TaggedList::setImageList(HIMAGELIST images) {
    if (waitsForWindow()) images_ = images;
    else ListView_SetImageList(madeWindow(), images, LVSIL_SMALL);
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
    if (waitsForWindow()) {
        columns_.emplace_back(title, width);
        return;
    }
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.pszText = const_cast<wchar_t*>(title.c_str());
    col.cx = width;
    int n = Header_GetItemCount(ListView_GetHeader(madeWindow()));
    ::SendMessageW(madeWindow(), LVM_INSERTCOLUMNW, n, reinterpret_cast<LPARAM>(&col));
}

void TaggedList::setColumnWidth(int column, int width) {
    if (!waitsForWindow()) ListView_SetColumnWidth(madeWindow(), column, width);
    else if (column >= 0 && static_cast<size_t>(column) < columns_.size()) columns_[static_cast<size_t>(column)].second = width;
}

void TaggedList::clear() {
    if (!waitsForWindow()) {
        ListView_DeleteAllItems(madeWindow());
        return;
    }
    rows_.clear();
    selected_ = -1;
}

int TaggedList::add(const std::wstring& text, long tag, int picture) {
    if (waitsForWindow()) {
        rows_.push_back({text, tag, picture, {}});
        return static_cast<int>(rows_.size()) - 1;
    }
    LVITEMW item{LVIF_TEXT | LVIF_PARAM | (picture ? LVIF_IMAGE : 0u)};
    item.iItem = INT_MAX;  // past the end: appended
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = tag;
    item.iImage = picture - 1;
    return static_cast<int>(::SendMessageW(madeWindow(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void TaggedList::remove(int index) {
    if (!waitsForWindow()) {
        ListView_DeleteItem(madeWindow(), index);
        return;
    }
    if (index < 0 || index >= count()) return;
    rows_.erase(rows_.begin() + index);
    selected_ = selected_ == index ? -1 : selected_ > index ? selected_ - 1 : selected_;
}

int TaggedList::count() const {
    return waitsForWindow() ? static_cast<int>(rows_.size()) : ListView_GetItemCount(madeWindow());
}

int TaggedList::selected() const {
    return waitsForWindow() ? selected_ : ListView_GetNextItem(madeWindow(), -1, LVNI_SELECTED);
}

void TaggedList::select(int index) {
    if (waitsForWindow()) {
        if (index >= 0 && index < count()) selected_ = index;
        return;
    }
    ListView_SetItemState(madeWindow(), index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring TaggedList::text(int index) const { return subItem(index, 0); }

void TaggedList::setSubItem(int index, int column, const std::wstring& text) {
    if (waitsForWindow()) {
        if (index < 0 || index >= count() || column < 0) return;
        if (column == 0) {
            row(index).text = text;
            return;
        }
        auto& columns = row(index).columns;
        if (columns.size() < static_cast<size_t>(column)) columns.resize(static_cast<size_t>(column));
        columns[static_cast<size_t>(column) - 1] = text;
        return;
    }
    LVITEMW item{LVIF_TEXT};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(madeWindow(), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

std::wstring TaggedList::subItem(int index, int column) const {
    if (waitsForWindow()) {
        if (index < 0 || index >= count()) return {};
        if (column == 0) return row(index).text;
        const auto& columns = row(index).columns;
        return static_cast<size_t>(column) <= columns.size() ? columns[static_cast<size_t>(column) - 1] : std::wstring();
    }
    wchar_t buf[1024] = {};
    LVITEMW item{LVIF_TEXT};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = 1024;
    ::SendMessageW(madeWindow(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return buf;
}

bool TaggedList::checked(int index) const {
    if (waitsForWindow()) return index >= 0 && index < count() && row(index).checked;
    return ListView_GetCheckState(madeWindow(), index) != FALSE;
}

void TaggedList::setChecked(int index, bool on) {
    if (!waitsForWindow()) {
        ListView_SetCheckState(madeWindow(), index, on);
    } else if (index >= 0 && index < count()) {
        row(index).checked = on;
    }
}

long TaggedList::tag(int index) const {
    if (waitsForWindow()) return index >= 0 && index < count() ? row(index).tag : 0;
    LVITEMW item{LVIF_PARAM};
    item.iItem = index;
    ::SendMessageW(madeWindow(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<long>(item.lParam);
}

int TaggedList::hitTest(POINT client) const {
    if (waitsForWindow()) return -1;  // nothing shows
    LVHITTESTINFO hit{};
    hit.pt = client;
    return ListView_HitTest(madeWindow(), &hit);
}

void TaggedList::setRedraw(bool on) {
    if (waitsForWindow()) return;
    ::SendMessageW(madeWindow(), WM_SETREDRAW, on, 0);
    if (on) ::InvalidateRect(madeWindow(), nullptr, TRUE);
}

IAccessible* TaggedList::makeAccessible(IAccessible* standard) const {
    std::vector<SpokenItem> items;
    HWND h = madeWindow();
    const bool boxes = (ListView_GetExtendedListViewStyle(h) & LVS_EX_CHECKBOXES) != 0;
    for (int i = 0, n = ListView_GetItemCount(h); i < n; ++i) {
        std::wstring name = text(i);
        if (boxes && ListView_GetCheckState(h, i)) name += L", ticked";
        items.push_back({std::move(name), ListView_GetItemState(h, i, LVIS_SELECTED) != 0});
    }
    return withItems(standard, std::move(items), ROLE_SYSTEM_LISTITEM);
}

}  // namespace qb::ui
