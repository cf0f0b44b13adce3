#include "screen_check.h"

#include <set>

#include "fakes.h"

namespace qb::testing {
namespace {

template <class T>
std::multiset<T> rows(tesra::Database& db, const char* sql, long fileId, long view = -1) {
    std::multiset<T> out;
    auto s = db.prepare(sql);
    s.bind(1, static_cast<int64_t>(fileId));
    if (view >= 0) s.bind(2, static_cast<int64_t>(view));
    while (s.step()) {
        if constexpr (std::is_same_v<T, long>) out.insert(static_cast<long>(s.integer(0)));
        else out.insert(std::to_wstring(s.integer(0)));
    }
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
            if constexpr (std::is_same_v<T, long>) out.push_back(what + " shows " + std::to_string(v) + ", not stored");
            else out.push_back(what + " shows " + narrow(v) + ", not stored");
        } else {
            left.erase(it);
        }
    }
    if (how == Agreement::Exact && !left.empty()) out.push_back(what + " leaves out what is stored");
}

}  // namespace

std::vector<std::string> screenDisagreement(windows::frmQuillbox& w, tesra::Database& db, long fileId, Agreement how) {
    std::vector<std::string> out;
    const long view = w.SelectedViewId;
    const auto related = rows<long>(db, "SELECT k.KeyId FROM keyword_items r JOIN keywords k ON k.KeyId = r.KeyId "
                                        "WHERE r.FileId = ? AND k.ViewId = ?", fileId, view);
    std::multiset<long> listed;
    for (int i = 0; i < w.keywords.lstKeyRel.count(); ++i) listed.insert(w.keywords.lstKeyRel.tag(i));
    compare(related, listed, how, "the related list", out);
    for (long id : related)
        if (w.keywords.pvtreeKeys.exists(std::to_wstring(id)))
            out.push_back("the tree offers " + std::to_string(id) + ", which is related");
    if (how == Agreement::Exact && w.keywords.txtFilter.text().empty()) {
        auto k = db.prepare("SELECT KeyId FROM keywords WHERE ViewId = ?");
        k.bind(1, static_cast<int64_t>(view));
        while (k.step()) {
            const long id = static_cast<long>(k.integer(0));
            if (!related.contains(id) && !w.keywords.pvtreeKeys.exists(std::to_wstring(id)))
                out.push_back("the tree leaves out keyword " + std::to_string(id));
        }
    }
    const auto attached = rows<long>(db, "SELECT CASE WHEN Attach1 = ?1 THEN Attach2 ELSE Attach1 END FROM attachments "
                                         "WHERE Attach1 = ?1 OR Attach2 = ?1", fileId);
    std::multiset<long> files;
    for (int i = 0; i < w.files.lstFileRel.count(); ++i) files.insert(w.files.lstFileRel.tag(i));
    compare(attached, files, how, "the Files list", out);
    const auto memos = rows<std::wstring>(db, "SELECT MemoId FROM memos WHERE FileId = ? AND ViewId = ?", fileId, view);
    std::multiset<std::wstring> grid;
    for (int row = 1; row <= w.themes.grdMemo.rows(); ++row) grid.insert(w.themes.grdMemo.cell(row, 6).text);
    compare(memos, grid, how, "the memo grid", out);
    return out;
}

}  // namespace qb::testing
