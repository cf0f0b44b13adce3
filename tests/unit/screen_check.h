#pragma once
// What the relation window shows against what the suite stores for its item in the window's
// view: the related keywords, the tree of the others, the memo grid and the Files list.
#include <string>
#include <vector>

#include "store.h"
#include "windows/relation/relation_window.h"

namespace qb::testing {

enum class Agreement {
    Exact,     // everything stored is shown, and nothing else
    NoMoreThan  // nothing is shown that is not stored (a failed refill may show less)
};

// What a relation window shows: its view button and its shared pages (a window without the memo
// grid or the Files list leaves them null).
struct ShownLists {
    ui::Button& cmdView;
    windows::KeywordsPage& keywords;
    windows::ThemesPage* themes;
    windows::FilesPage* files;
};

// Empty when the screen agrees; otherwise one line per thing that does not.
std::vector<std::string> screenDisagreement(const ShownLists& w, tesra::Database& db, long fileId, Agreement how);
template <class Window>
std::vector<std::string> screenDisagreement(Window& w, tesra::Database& db, long fileId, Agreement how) {
    windows::ThemesPage* themes = nullptr;
    windows::FilesPage* files = nullptr;
    if constexpr (requires { w.themes; }) themes = &w.themes;
    if constexpr (requires { w.files; }) files = &w.files;
    return screenDisagreement(ShownLists{w.cmdView, w.keywords, themes, files}, db, fileId, how);
}

}  // namespace qb::testing
