#include "screen_check.h"

#include <set>

#include "fakes.h"

namespace qb::testing {
namespace {

// The texts of an answer's first column, for the item `fileId` (?1) in the view `view` (?2).
std::multiset<std::wstring> texts(tesra::Database& db, const char* sql, long fileId, long view = -1) {
    std::multiset<std::wstring> out;
    auto s = db.prepare(sql);
    s.bind(1, static_cast<int64_t>(fileId));
    if (view != -1) s.bind(2, static_cast<int64_t>(view));
    while (s.step()) out.insert(s.text(0));
    return out;
}

// What `shown` holds that `stored` does not (each stored row covers one shown row), and, when
// exact, what `stored` holds that `shown` does not.
template <class T>
void compare(const std::multiset<T>& stored, const std::multiset<T>& shown, Agreement how, const std::string& what,
             std::vector<std::string>& out) {
    std::multiset<T> left = stored;
    for (const T& v : shown) {
        auto it = left.find(v);
        if (it == left.end()) {
            out.push_back(what + " shows " + narrow(v) + ", not stored");
        } else {
            left.erase(it);
        }
    }
    if (how == Agreement::Exact && !left.empty()) out.push_back(what + " leaves out what is stored");
}

}  // namespace

// Compared as a user reads the window: the view named on its button, keyword and item names, memo
// texts; the keys of the tree only where no text tells a related keyword from another.
std::vector<std::string> screenDisagreement(const ShownLists& w, tesra::Database& db, long fileId, Agreement how) {
    std::vector<std::string> out;
    auto v = db.prepare("SELECT ViewId FROM views WHERE ViewName = ?");
    v.bind(1, w.cmdView.text());
    // A window whose load stopped before it chose a view names none: it may show nothing of any.
    long view = -2;
    if (v.step()) view = static_cast<long>(v.integer(0));
    else if (!w.cmdView.text().empty()) out.push_back("the view button names no stored view: " + narrow(w.cmdView.text()));
    if (view == -2) how = Agreement::NoMoreThan;
    const auto related = texts(db, "SELECT k.KeyName FROM keyword_items r JOIN keywords k ON k.KeyId = r.KeyId "
                                   "WHERE r.FileId = ?1 AND k.ViewId = ?2", fileId, view);
    std::multiset<std::wstring> listed;
    for (int i = 0; i < w.keywords.lstKeyRel.count(); ++i) listed.insert(w.keywords.lstKeyRel.text(i));
    compare(related, listed, how, "the related list", out);
    auto keys = db.prepare("SELECT k.KeyId, EXISTS(SELECT 1 FROM keyword_items r WHERE r.KeyId = k.KeyId AND r.FileId = ?1) "
                           "FROM keywords k WHERE k.ViewId = ?2");
    keys.bind(1, static_cast<int64_t>(fileId));
    keys.bind(2, static_cast<int64_t>(view));
    while (keys.step()) {
        const long id = static_cast<long>(keys.integer(0));
        const bool isRelated = keys.integer(1) != 0;
        const bool inTree = w.keywords.ExistNode(std::to_wstring(id));
        if (isRelated && inTree) out.push_back("the tree offers " + std::to_string(id) + ", which is related");
        if (!isRelated && !inTree && how == Agreement::Exact && w.keywords.txtFilter.text().empty())
            out.push_back("the tree leaves out keyword " + std::to_string(id));
    }
    if (w.files) {
        const auto attached = texts(db, "SELECT i.FileName FROM attachments a JOIN items i ON i.FileId = "
                                        "CASE WHEN a.Attach1 = ?1 THEN a.Attach2 ELSE a.Attach1 END "
                                        "WHERE a.Attach1 = ?1 OR a.Attach2 = ?1", fileId);
        std::multiset<std::wstring> files;
        for (int i = 0; i < w.files->lstFileRel.count(); ++i) files.insert(w.files->lstFileRel.text(i));
        compare(attached, files, how, "the Files list", out);
    }
    if (w.themes) {
        const auto memos = texts(db, "SELECT '...' || MemoText || '...' FROM memos WHERE FileId = ?1 AND ViewId = ?2", fileId, view);
        std::multiset<std::wstring> grid;
        for (int row = 1; row <= w.themes->grdMemo.rows(); ++row) grid.insert(w.themes->grdMemo.cell(row, 5).text);
        compare(memos, grid, how, "the memo grid", out);
    }
    return out;
}

}  // namespace qb::testing
