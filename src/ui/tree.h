#pragma once
// A tree view whose nodes carry a key and a tag, found by key through an index kept in step with
// every add and remove (the control itself is never walked to find a node).
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>

namespace qb::ui {

class KeyedTree {
public:
    void attach(HWND tree) { tree_ = tree; }
    HWND handle() const { return tree_; }

    // Removes every node.
    void clear();
    // Adds a node under `parent` (nullptr: the invisible root); picture counts from 1 (0: none).
    HTREEITEM add(HTREEITEM parent, const std::wstring& key, const std::wstring& text, const std::wstring& tag,
                  int picture, bool bold = false);
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

private:
    struct Node {
        std::wstring key, tag;
    };
    void forget(HTREEITEM node);
    HWND tree_ = nullptr;
    // Looked up by views of keys, without making a string for every lookup.
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::wstring_view k) const noexcept { return std::hash<std::wstring_view>{}(k); }
    };
    std::unordered_map<HTREEITEM, Node> nodes_;
    std::unordered_map<std::wstring, HTREEITEM, KeyHash, std::equal_to<>> byKey_;
};

}  // namespace qb::ui
