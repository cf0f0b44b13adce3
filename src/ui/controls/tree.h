#pragma once
// A tree view whose nodes carry a key and a tag, found by key through an index kept in step with
// every add and remove (the control itself is never walked to find a node).
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <unordered_map>

#include "ui/controls/control.h"

namespace qb::ui {

class KeyedTree final : public Control {
public:
    // Notifications of the tree (double click, keys, start of a drag); the answer goes back to it.
    std::function<LRESULT(NMHDR*)> onNotify;

    const wchar_t* windowClass() const override { return WC_TREEVIEWW; }
    DWORD style() const override {
        return WS_CHILD | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }

    // Removes every node.
    void clear();
    // Adds a node under `parent` (nullptr: the invisible root); picture counts from 1 (0: none).
    HTREEITEM add(HTREEITEM parent, const std::wstring& key, const std::wstring& text, const std::wstring& tag,
                  int picture, bool bold = false);
    // Whether the node shows a button to open it, whatever it holds now (false: as it holds nodes).
    void setHasChildren(HTREEITEM node, bool children);
    // Removes a node (and what hangs under it).
    void remove(HTREEITEM node);
    // The node whose key equals `key` trimmed of blanks, or nullptr.
    HTREEITEM find(std::wstring_view key) const;
    bool exists(std::wstring_view key) const { return find(key) != nullptr; }

    HTREEITEM selected() const;
    void select(HTREEITEM node);
    std::wstring text(HTREEITEM node) const;
    std::wstring key(HTREEITEM node) const;
    std::wstring tag(HTREEITEM node) const;
    HTREEITEM parent(HTREEITEM node) const;
    size_t count() const { return nodes_.size(); }
    // The node at a point of the tree's client area, or nullptr.
    HTREEITEM hitTest(POINT client) const;
    void setRedraw(bool on);
    // A background of its own (the system's window colour under high contrast).
    void setBackColor(COLORREF designed);

protected:
    void colorsChanged() override;
    // Its shown nodes as the items a screen reader lists.
    IAccessible* makeAccessible(IAccessible* standard) const override;
    LRESULT notify(NMHDR* header) override { return onNotify ? onNotify(header) : 0; }
    bool selectedItemRect(RECT& item) const override;
    bool takesEnter() const override { return true; }
    void destroyed() override;

private:
    struct Node {
        std::wstring key, tag;
    };
    void forget(HTREEITEM node);
    // Looked up by views of keys, without making a string for every lookup.
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::wstring_view k) const noexcept { return std::hash<std::wstring_view>{}(k); }
    };
    COLORREF back_ = CLR_DEFAULT;
    std::unordered_map<HTREEITEM, Node> nodes_;
    std::unordered_map<std::wstring, HTREEITEM, KeyHash, std::equal_to<>> byKey_;
};

}  // namespace qb::ui
