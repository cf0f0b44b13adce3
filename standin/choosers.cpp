#include "choosers.h"

#include <windows.h>
#include <commdlg.h>

#include "automation/com_error.h"
#include "automation/text.h"
#include "paths.h"
#include "support/services.h"

namespace tesra {
namespace {

using qb::automation::ComError;
constexpr COLORREF kBack = RGB(236, 236, 236);
constexpr long kUserError = static_cast<long>(0x80040000L + 0x1300);

std::wstring trimmed(const std::wstring& s) {
    size_t b = s.find_first_not_of(L" \t");
    return b == std::wstring::npos ? std::wstring() : s.substr(b, s.find_last_not_of(L" \t") - b + 1);
}

// Tells the user why the dialog cannot go on; the dialog stays open.
void tell(HWND owner, const std::wstring& text, const std::wstring& caption) {
    qb::support::services().prompter->messageBox(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

long insertKeyword(Database& db, long viewId, const std::wstring& name, long groupId) {
    std::wstring n = trimmed(name);
    if (n.empty()) throw ComError(kUserError, L"Type a name for the keyword.", L"Tagpick.Engine");
    auto same = db.prepare("SELECT 1 FROM keywords WHERE ViewId = ? AND KeyName = ? COLLATE NOCASE");
    same.bind(1, static_cast<int64_t>(viewId)).bind(2, n);
    if (same.step()) throw ComError(kUserError, L"This view already has a keyword \"" + n + L"\".", L"Tagpick.Engine");
    auto s = db.prepare("INSERT INTO keywords(KeyName, GroupId, ViewId) VALUES(?, ?, ?)");
    s.bind(1, n).bind(2, static_cast<int64_t>(groupId)).bind(3, static_cast<int64_t>(viewId)).step();
    return static_cast<long>(db.lastInsertId());
}

// ---- Lenspick: choose a view -------------------------------------------------------------------

ViewChooser::ViewChooser(std::shared_ptr<Database> db)
    : Form({L"frmViews", L"Choose a view", 4200, 3300, kBack}), db_(std::move(db)) {
    cmdOk.isDefault = true;
    cmdCancel.isCancel = true;
    cmdOk.onClick = lstViews.onDoubleClick = [this] {
        int i = lstViews.selected();
        if (i < 0) return;
        chosen = lstViews.itemData(i);
        unload();
    };
    cmdCancel.onClick = [this] { unload(); };
    place({{lblViews, {L"lblViews", L"Keyword views:", {120, 120, 3960, 240}}},
           {lstViews, {L"lstViews", L"", {120, 390, 3960, 2220}}},
           {cmdOk, {L"cmdOk", L"Ok", {1800, 2760, 1080, 360}}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {3000, 2760, 1080, 360}}}});
}

void ViewChooser::formLoad() {
    event(L"Form_Load", [&] {
        auto s = db_->prepare("SELECT ViewId, ViewName FROM views ORDER BY ViewName COLLATE NOCASE, ViewId");
        while (s.step()) lstViews.add(s.text(1), static_cast<long>(s.integer(0)));
        if (lstViews.count() > 0) lstViews.select(0);
    });
}

// ---- Tagpick: a new keyword --------------------------------------------------------------------

NewKeywordDialog::NewKeywordDialog(std::shared_ptr<Database> db, long viewId)
    : Form({L"frmNewKeyword", L"New keyword", 4800, 1860, kBack}), db_(std::move(db)), viewId_(viewId) {
    cmdOk.isDefault = true;
    cmdCancel.isCancel = true;
    cmdOk.onClick = [this] { accept(); };
    cmdCancel.onClick = [this] { unload(); };
    place({{lblName, {L"lblName", L"Name:", {120, 180, 840, 240}}},
           {txtName, {L"txtName", L"", {1020, 120, 3660, 315}}},
           {lblGroup, {L"lblGroup", L"Group:", {120, 660, 840, 240}}},
           {cboGroup, {L"cboGroup", L"", {1020, 600, 3660, 2400}}},
           {cmdOk, {L"cmdOk", L"Ok", {2400, 1320, 1080, 360}}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {3600, 1320, 1080, 360}}}});
}

void NewKeywordDialog::formLoad() {
    event(L"Form_Load", [&] {
        cboGroup.add(L"(no group)", 0);
        auto s = db_->prepare("SELECT GroupId, GroupName FROM groups WHERE ViewId = ? ORDER BY GroupName COLLATE NOCASE");
        s.bind(1, static_cast<int64_t>(viewId_));
        while (s.step()) cboGroup.add(s.text(1), static_cast<long>(s.integer(0)));
        cboGroup.select(0);
    });
}

void NewKeywordDialog::accept() {
    try {
        int g = cboGroup.selected();
        created = insertKeyword(*db_, viewId_, txtName.text(), g < 0 ? 0 : cboGroup.itemData(g));
        unload();
    } catch (const ComError& e) {
        tell(handle(), e.description(), caption());
    }
}

// ---- Tagpick: the keyword set of a view --------------------------------------------------------

KeywordEditor::KeywordEditor(std::shared_ptr<Database> db, long viewId)
    : Form({L"frmKeywords", L"Keywords", 6600, 4500, kBack}), db_(std::move(db)), viewId_(viewId) {
    cmdAdd.isDefault = true;
    cmdClose.isCancel = true;
    lstKeywords.onSelectionChange = [this] { keywordChosen(); };
    cmdClose.onClick = [this] { unload(); };
    cmdAdd.onClick = [this] {
        act([&](const std::wstring& name, long group) { fillKeywords(insertKeyword(*db_, viewId_, name, group)); });
    };
    cmdRename.onClick = [this] {
        act([&](const std::wstring& name, long group) {
            long id = selectedKeyword();
            if (!id) throw ComError(kUserError, L"Choose a keyword in the list first.", L"Tagpick.Engine");
            if (name.empty()) throw ComError(kUserError, L"Type a name for the keyword.", L"Tagpick.Engine");
            auto s = db_->prepare("UPDATE keywords SET KeyName = ?, GroupId = ? WHERE KeyId = ?");
            s.bind(1, name).bind(2, static_cast<int64_t>(group)).bind(3, static_cast<int64_t>(id)).step();
            fillKeywords(id);
        });
    };
    cmdDelete.onClick = [this] {
        act([&](const std::wstring&, long) {
            long id = selectedKeyword();
            if (!id) throw ComError(kUserError, L"Choose a keyword in the list first.", L"Tagpick.Engine");
            auto s = db_->prepare("DELETE FROM keywords WHERE KeyId = ?");  // its relations go with it
            s.bind(1, static_cast<int64_t>(id)).step();
            fillKeywords(0);
        });
    };
    cmdNewGroup.onClick = [this] {
        act([&](const std::wstring& name, long) {
            if (name.empty()) throw ComError(kUserError, L"Type the group's name in Name.", L"Tagpick.Engine");
            auto s = db_->prepare("INSERT INTO groups(GroupName, ViewId) VALUES(?, ?)");
            s.bind(1, name).bind(2, static_cast<int64_t>(viewId_)).step();
            fillGroups(static_cast<long>(db_->lastInsertId()));
        });
    };
    cmdDeleteGroup.onClick = [this] {
        act([&](const std::wstring&, long group) {
            if (!group) throw ComError(kUserError, L"Choose a group first.", L"Tagpick.Engine");
            // Its keywords stay, without a group.
            auto s = db_->prepare("DELETE FROM groups WHERE GroupId = ?");
            s.bind(1, static_cast<int64_t>(group)).step();
            fillGroups(0);
            fillKeywords(selectedKeyword());
        });
    };
    place({{lstKeywords, {L"lstKeywords", L"", {120, 120, 3600, 4260}, 0, {}, L"Keywords"}},
           {lblName, {L"lblName", L"Name:", {3900, 120, 2580, 240}}},
           {txtName, {L"txtName", L"", {3900, 390, 2580, 315}}},
           {lblGroup, {L"lblGroup", L"Group:", {3900, 840, 2580, 240}}},
           {cboGroup, {L"cboGroup", L"", {3900, 1110, 2580, 2400}}},
           {cmdAdd, {L"cmdAdd", L"Add", {3900, 1620, 1230, 360}}},
           {cmdRename, {L"cmdRename", L"Change", {5250, 1620, 1230, 360}}},
           {cmdDelete, {L"cmdDelete", L"Delete", {3900, 2100, 1230, 360}}},
           {cmdNewGroup, {L"cmdNewGroup", L"New group", {3900, 2760, 1230, 360}}},
           {cmdDeleteGroup, {L"cmdDeleteGroup", L"Delete group", {5250, 2760, 1230, 360}}},
           {cmdClose, {L"cmdClose", L"Close", {5250, 4020, 1230, 360}}}});
}

void KeywordEditor::formLoad() {
    event(L"Form_Load", [&] {
        fillGroups(0);
        fillKeywords(0);
    });
}

template <class F>
void KeywordEditor::act(F&& action) {
    try {
        int g = cboGroup.selected();
        action(trimmed(txtName.text()), g < 0 ? 0 : cboGroup.itemData(g));
    } catch (const ComError& e) {
        tell(handle(), e.description(), caption());
    }
}

void KeywordEditor::fillGroups(long selectId) {
    cboGroup.clear();
    cboGroup.add(L"(no group)", 0);
    cboGroup.select(0);
    auto s = db_->prepare("SELECT GroupId, GroupName FROM groups WHERE ViewId = ? ORDER BY GroupName COLLATE NOCASE");
    s.bind(1, static_cast<int64_t>(viewId_));
    while (s.step()) {
        int i = cboGroup.add(s.text(1), static_cast<long>(s.integer(0)));
        if (s.integer(0) == selectId) cboGroup.select(i);
    }
}

void KeywordEditor::fillKeywords(long selectId) {
    lstKeywords.clear();
    auto s = db_->prepare(
        "SELECT k.KeyId, k.KeyName, g.GroupName FROM keywords k LEFT JOIN groups g ON g.GroupId = k.GroupId "
        "WHERE k.ViewId = ? ORDER BY k.KeyName COLLATE NOCASE");
    s.bind(1, static_cast<int64_t>(viewId_));
    while (s.step()) {
        std::wstring label = s.text(1) + (s.isNull(2) ? L"" : L"  [" + s.text(2) + L"]");
        int i = lstKeywords.add(label, static_cast<long>(s.integer(0)));
        if (s.integer(0) == selectId) lstKeywords.select(i);
    }
}

long KeywordEditor::selectedKeyword() {
    int i = lstKeywords.selected();
    return i < 0 ? 0 : lstKeywords.itemData(i);
}

void KeywordEditor::keywordChosen() {
    auto s = db_->prepare("SELECT KeyName, GroupId FROM keywords WHERE KeyId = ?");
    s.bind(1, static_cast<int64_t>(selectedKeyword()));
    if (!s.step()) return;
    txtName.setText(s.text(0));
    for (int i = 0; i < cboGroup.count(); ++i)
        if (cboGroup.itemData(i) == s.integer(1)) cboGroup.select(i);
}

// ---- Routepick: where did the file go? ---------------------------------------------------------

FileLocator::FileLocator(std::shared_ptr<Database> db, std::wstring missingPath)
    : Form({L"frmLocate", L"Locate file", 6000, 1980, kBack}), db_(std::move(db)), missing_(std::move(missingPath)) {
    cmdOk.isDefault = true;
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { unload(); };
    cmdBrowse.onClick = [this] { browse(); };
    cmdOk.onClick = [this] { accept(); };
    place({{lblMissing, {L"lblMissing", L"", {120, 120, 5760, 480}}},
           {txtNewPath, {L"txtNewPath", L"", {120, 720, 4560, 315}, 0, {}, L"New place of the file"}},
           {cmdBrowse, {L"cmdBrowse", L"Browse...", {4800, 700, 1080, 360}}},
           {cmdOk, {L"cmdOk", L"Ok", {3600, 1440, 1080, 360}}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {4800, 1440, 1080, 360}}}});
}

void FileLocator::formLoad() {
    lblMissing.setText(L"This file cannot be found. Where is it now?\r\n" + missing_);
    txtNewPath.setText(missing_);
}

void FileLocator::browse() {
    wchar_t file[MAX_PATH * 4] = {};
    OPENFILENAMEW ofn{sizeof ofn};
    ofn.hwndOwner = handle();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 4;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (::GetOpenFileNameW(&ofn)) txtNewPath.setText(file);
}

void FileLocator::accept() {
    std::wstring path = fullPath(trimmed(txtNewPath.text()));
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (path.empty() || attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        tell(handle(), L"There is no file at \"" + path + L"\".", caption());
        return;
    }
    try {
        auto s = db_->prepare("UPDATE items SET FileCurrentPath = ? WHERE FileCurrentPath = ? COLLATE PATH");
        s.bind(1, path).bind(2, missing_).step();
        moved = true;
        unload();
    } catch (const ComError& e) {
        tell(handle(), e.description(), caption());
    }
}

// ---- Foldermint: a new category ----------------------------------------------------------------

NewCategoryDialog::NewCategoryDialog(std::shared_ptr<Database> db, long parentId, long viewId)
    : Form({L"frmNewCategory", L"New category", 4800, 1200, kBack}), db_(std::move(db)), parentId_(parentId), viewId_(viewId) {
    cmdOk.isDefault = true;
    cmdCancel.isCancel = true;
    cmdOk.onClick = [this] { accept(); };
    cmdCancel.onClick = [this] { unload(); };
    place({{lblName, {L"lblName", L"&Name:", {120, 180, 840, 240}}},
           {txtName, {L"txtName", L"", {1020, 120, 3660, 315}}},
           {cmdOk, {L"cmdOk", L"Ok", {2400, 660, 1080, 360}}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {3600, 660, 1080, 360}}}});
}

// A blank name, or one a sibling in the view has already (letter case aside), is refused.
void NewCategoryDialog::accept() {
    try {
        const std::wstring name = qb::automation::trimBlanks(txtName.text());
        if (name.empty()) throw ComError(kUserError, L"Type a name for the category.", L"Foldermint.Engine");
        auto same = db_->prepare("SELECT 1 FROM categories WHERE ParentCategoryId = ? AND ViewId = ? AND CatName = ? COLLATE NOCASE");
        same.bind(1, static_cast<int64_t>(parentId_)).bind(2, static_cast<int64_t>(viewId_)).bind(3, name);
        if (same.step()) throw ComError(kUserError, L"This folder already holds a category \"" + name + L"\".", L"Foldermint.Engine");
        auto insert = db_->prepare("INSERT INTO categories(CatName, ParentCategoryId, ViewId) VALUES (?, ?, ?)");
        insert.bind(1, name).bind(2, static_cast<int64_t>(parentId_)).bind(3, static_cast<int64_t>(viewId_)).step();
        created = static_cast<long>(db_->lastInsertId());
        unload();
    } catch (const ComError& e) {
        tell(handle(), e.description(), caption());
    }
}

// ---- the engines -------------------------------------------------------------------------------

const MemberTable& ViewPicker::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        // The chosen Tesra.View, or Nothing when cancelled.
        t.method<ViewPicker>(L"showviews", [](ViewPicker& p, const CallArgs&) {
            ViewChooser dialog(p.connection());
            dialog.showModal();
            auto* view = new Record(viewKind(), p.connection());
            auto hold = qb::automation::ComPtr<IDispatch>::attach(view);
            if (!dialog.chosen) return Variant(static_cast<IDispatch*>(nullptr));
            return view->one("WHERE ViewId = ?", {Variant(dialog.chosen)});
        });
        return t;
    }();
    return table;
}

const MemberTable& KeywordPicker::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        // The new keyword's id, 0 when none was made.
        t.method<KeywordPicker>(L"AddNewKeyword", [](KeywordPicker& p, const CallArgs& a) {
            a.require(0);
            NewKeywordDialog dialog(p.connection(), a.value(0).toLong());
            dialog.showModal();
            return dialog.created;
        });
        t.method<KeywordPicker>(L"UpdateKeyWords", [](KeywordPicker& p, const CallArgs& a) {
            a.require(0);
            KeywordEditor dialog(p.connection(), a.value(0).toLong());
            dialog.showModal();
        });
        return t;
    }();
    return table;
}

const MemberTable& PathPicker::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.method<PathPicker>(L"Show", [](PathPicker& p, const CallArgs& a) {
            a.require(0);
            FileLocator dialog(p.connection(), a.value(0).toText());
            dialog.showModal();
        });
        return t;
    }();
    return table;
}

namespace {

// A whole number given as a number (not a text), as the suite's engines take their ids.
long idArgument(const CallArgs& a, size_t i, const wchar_t* engine) {
    a.require(i);
    switch (a.value(i).type()) {
        case VT_I2: case VT_I4: case VT_UI1: case VT_UI2: case VT_UI4: case VT_INT: case VT_UINT: case VT_I8: case VT_R8:
            return a.value(i).toLong();
        default:
            throw ComError(13, L"Type mismatch", engine);
    }
}

// The view's root category; raises when the suite has no such view.
long viewRoot(Database& db, long viewId, const wchar_t* engine) {
    auto v = db.prepare("SELECT coalesce(ParentCategoryId, 0) FROM views WHERE ViewId = ?");
    v.bind(1, static_cast<int64_t>(viewId));
    if (!v.step()) throw ComError(5, L"The suite has no view " + std::to_wstring(viewId) + L".", engine);
    return static_cast<long>(v.integer(0));
}

bool isWordCharacter(wchar_t c) { return ::IsCharAlphaNumericW(c) != FALSE; }

// Whether `word` stands in `text` as a whole word (both in lower case).
bool holdsWord(const std::wstring& text, const std::wstring& word) {
    if (word.empty()) return false;
    for (size_t at = text.find(word); at != std::wstring::npos; at = text.find(word, at + 1)) {
        const bool startsWord = at == 0 || !isWordCharacter(text[at - 1]);
        const size_t end = at + word.size();
        if (startsWord && (end == text.size() || !isWordCharacter(text[end]))) return true;
    }
    return false;
}

std::wstring lower(std::wstring s) {
    ::CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

}  // namespace

const MemberTable& CategoryMaker::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        // The new category (CatId), made under `parent` in the view; when cancelled, blncancel
        // tells so and the parent category is answered (Nothing for the view's root).
        t.method<CategoryMaker>(L"ShowNewCategory", [](CategoryMaker& m, const CallArgs& a) {
            const long parent = idArgument(a, 0, L"Foldermint.Engine"), view = idArgument(a, 1, L"Foldermint.Engine");
            const long root = viewRoot(m.db(), view, L"Foldermint.Engine");
            auto* record = new Record(categoryKind(), m.connection());
            auto hold = qb::automation::ComPtr<IDispatch>::attach(record);
            if (parent != root && record->one("WHERE CatId = ? AND ViewId = ?", {Variant(parent), Variant(view)}).isNothing())
                throw ComError(5, L"Category " + std::to_wstring(parent) + L" is not of view " + std::to_wstring(view) + L".",
                               L"Foldermint.Engine");
            NewCategoryDialog dialog(m.connection(), parent, view);
            dialog.showModal();
            m.cancelled = dialog.created == 0;
            return record->one("WHERE CatId = ?", {Variant(m.cancelled ? parent : dialog.created)});
        });
        t.property<CategoryMaker>(L"blncancel", [](CategoryMaker& m) { return m.cancelled; });
        return t;
    }();
    return table;
}

const MemberTable& KeywordAdvisor::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        // The keywords of the view whose names stand in the text as whole words (letter case
        // aside), by name; Nothing when none does.
        t.method<KeywordAdvisor>(L"Show", [](KeywordAdvisor& k, const CallArgs& a) {
            a.require(0);
            if (a.value(0).type() != VT_BSTR) throw ComError(13, L"Type mismatch", L"Tagadvisor.Engine");
            const std::wstring text = lower(a.value(0).toText());
            const long view = idArgument(a, 1, L"Tagadvisor.Engine");
            viewRoot(k.db(), view, L"Tagadvisor.Engine");
            std::wstring ids;
            auto s = k.db().prepare("SELECT KeyId, KeyName FROM keywords WHERE ViewId = ?");
            s.bind(1, static_cast<int64_t>(view));
            while (s.step())
                if (holdsWord(text, lower(s.text(1)))) ids += (ids.empty() ? L"" : L",") + std::to_wstring(s.integer(0));
            if (ids.empty()) return Variant(static_cast<IDispatch*>(nullptr));
            auto* record = new Record(keyWordKind(), k.connection());
            auto hold = qb::automation::ComPtr<IDispatch>::attach(record);
            return record->many("WHERE KeyId IN (" + qb::automation::toUtf8(ids) + ") ORDER BY KeyName COLLATE NOCASE", {});
        });
        return t;
    }();
    return table;
}

}  // namespace tesra
