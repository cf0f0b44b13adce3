#pragma once
// The items of a tree or a list view as a screen reader asks for them, where the system's object
// for the window has fewer children than items (Wine's has only the windows inside; Windows'
// proxies list the items, and are then left to answer).
#include <oleacc.h>

#include <string>
#include <vector>

namespace qb::ui {

struct SpokenItem {
    std::wstring name;
    bool selected = false;
    int expanded = -1;  // a tree's node: 1 open, 0 closed, -1 nothing to open
};

// A new reference: the system's object for the window, with `items` as its children of `role`.
IAccessible* withItems(IAccessible* standard, std::vector<SpokenItem> items, long role);

}  // namespace qb::ui
