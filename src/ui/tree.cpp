#include "ui/tree.h"

#include <vector>

#include "automation/text.h"


namespace qb::ui {

void KeyedTree::clear() {
    TreeView_DeleteAllItems(tree_);
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
    auto node = reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) return nullptr;
    nodes_[node] = Node{key, tag};
    byKey_[key] = node;  // the last node added with a key is the one found
    return node;
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
        for (HTREEITEM c = TreeView_GetChild(tree_, pending[i]); c; c = TreeView_GetNextSibling(tree_, c))
            pending.push_back(c);
    for (HTREEITEM n : pending) forget(n);
    TreeView_DeleteItem(tree_, node);
}

HTREEITEM KeyedTree::find(std::wstring_view key) const {
    auto it = byKey_.find(automation::trimmedBlanks(key));
    return it == byKey_.end() ? nullptr : it->second;
}

HTREEITEM KeyedTree::selected() const { return TreeView_GetSelection(tree_); }

void KeyedTree::select(HTREEITEM node) { TreeView_SelectItem(tree_, node); }

std::wstring KeyedTree::text(HTREEITEM node) const {
    wchar_t buf[1024] = {};
    TVITEMW item{TVIF_TEXT};
    item.hItem = node;
    item.pszText = buf;
    item.cchTextMax = 1024;
    ::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
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

HTREEITEM KeyedTree::parent(HTREEITEM node) const { return TreeView_GetParent(tree_, node); }

HTREEITEM KeyedTree::hitTest(POINT client) const {
    TVHITTESTINFO hit{};
    hit.pt = client;
    HTREEITEM node = TreeView_HitTest(tree_, &hit);
    return (hit.flags & TVHT_ONITEM) ? node : nullptr;
}

void KeyedTree::setRedraw(bool on) {
    ::SendMessageW(tree_, WM_SETREDRAW, on, 0);
    if (on) ::InvalidateRect(tree_, nullptr, TRUE);
}

}  // namespace qb::ui
