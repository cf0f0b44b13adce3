#include "ui/controls/tree.h"

#include "ui/controls/items_accessible.h"
#include "ui/look/colors.h"

#include <vector>

#include "automation/text.h"

namespace qb::ui {

void KeyedTree::destroyed() {
    nodes_.clear();
    byKey_.clear();
}

bool KeyedTree::selectedItemRect(RECT& item) const {
    HTREEITEM node = selected();
    return node && TreeView_GetItemRect(handle(), node, &item, TRUE);
}

void KeyedTree::clear() {
    TreeView_DeleteAllItems(handle());
    nodes_.clear();
    byKey_.clear();
}

HTREEITEM KeyedTree::add(HTREEITEM parent, const std::wstring& key, const std::wstring& text, const std::wstring& tag,
                         int picture, bool bold) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | (bold ? TVIF_STATE : 0) | (picture ? TVIF_IMAGE | TVIF_SELECTEDIMAGE : 0);
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = insert.item.iSelectedImage = picture - 1;
    insert.item.state = bold ? TVIS_BOLD : 0;
    insert.item.stateMask = TVIS_BOLD;
    auto node = reinterpret_cast<HTREEITEM>(::SendMessageW(handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) return nullptr;
    nodes_[node] = Node{key, tag};
    byKey_[key] = node;  // the last node added with a key is the one found
    return node;
}

void KeyedTree::setHasChildren(HTREEITEM node, bool children) {
    TVITEMW item{TVIF_CHILDREN};
    item.hItem = node;
    item.cChildren = children ? 1 : 0;
    ::SendMessageW(handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void KeyedTree::forget(HTREEITEM node) {
    auto it = nodes_.find(node);
    if (it == nodes_.end()) return;
    auto k = byKey_.find(it->second.key);
    if (k != byKey_.end() && k->second == node) byKey_.erase(k);
    nodes_.erase(it);
}

void KeyedTree::remove(HTREEITEM node) {
    if (!node) return;
    std::vector<HTREEITEM> pending{node};
    for (size_t i = 0; i < pending.size(); ++i)
        for (HTREEITEM c = TreeView_GetChild(handle(), pending[i]); c; c = TreeView_GetNextSibling(handle(), c))
            pending.push_back(c);
    for (HTREEITEM n : pending) forget(n);
    TreeView_DeleteItem(handle(), node);
}

HTREEITEM KeyedTree::find(std::wstring_view key) const {
    auto it = byKey_.find(automation::trimmedBlanks(key));
    return it == byKey_.end() ? nullptr : it->second;
}

HTREEITEM KeyedTree::selected() const { return TreeView_GetSelection(handle()); }

void KeyedTree::select(HTREEITEM node) { TreeView_SelectItem(handle(), node); }

std::wstring KeyedTree::text(HTREEITEM node) const {
    wchar_t buf[1024] = {};
    TVITEMW item{TVIF_TEXT};
    item.hItem = node;
    item.pszText = buf;
    item.cchTextMax = 1024;
    ::SendMessageW(handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return buf;
}

std::wstring KeyedTree::key(HTREEITEM node) const {
    auto it = nodes_.find(node);
    return it == nodes_.end() ? std::wstring() : it->second.key;
}

std::wstring KeyedTree::tag(HTREEITEM node) const {
    auto it = nodes_.find(node);
    return it == nodes_.end() ? std::wstring() : it->second.tag;
}

HTREEITEM KeyedTree::parent(HTREEITEM node) const { return TreeView_GetParent(handle(), node); }

HTREEITEM KeyedTree::hitTest(POINT client) const {
    TVHITTESTINFO hit{};
    hit.pt = client;
    HTREEITEM node = TreeView_HitTest(handle(), &hit);
    return (hit.flags & TVHT_ONITEM) ? node : nullptr;
}

void KeyedTree::setRedraw(bool on) {
    ::SendMessageW(handle(), WM_SETREDRAW, on, 0);
    if (on) ::InvalidateRect(handle(), nullptr, TRUE);
}

void KeyedTree::setBackColor(COLORREF designed) {
    back_ = designed;
    colorsChanged();
}

void KeyedTree::colorsChanged() {
    if (HWND h = madeWindow(); h && back_ != CLR_DEFAULT) TreeView_SetBkColor(h, shownColor(back_, COLOR_WINDOW));
}

IAccessible* KeyedTree::makeAccessible(IAccessible* standard) const {
    std::vector<SpokenItem> items;
    HWND h = madeWindow();
    const HTREEITEM chosen = TreeView_GetSelection(h);
    for (HTREEITEM n = TreeView_GetRoot(h); n; n = TreeView_GetNextVisible(h, n)) {
        TVITEMW item{TVIF_STATE | TVIF_CHILDREN, n};
        item.stateMask = TVIS_EXPANDED;
        TreeView_GetItem(h, &item);
        items.push_back({text(n), n == chosen, item.cChildren ? ((item.state & TVIS_EXPANDED) ? 1 : 0) : -1});
    }
    return withItems(standard, std::move(items), ROLE_SYSTEM_OUTLINEITEM);
}

}  // namespace qb::ui
