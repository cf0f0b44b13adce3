#include "choosers.h"

#include <windows.h>
#include <commdlg.h>

#include "automation/com_error.h"
#include "support/services.h"

namespace tesra {
namespace {

using qb::automation::ComError;
using ui::ControlKind;
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
    : Form({L"frmViews", L"Choose a view", 4200, 3300, kBack,
            {{L"lblViews", ControlKind::Label, L"Keyword views:", 120, 120, 3960, 240},
             {L"lstViews", ControlKind::ListBox, L"", 120, 390, 3960, 2220},
             {L"cmdOk", ControlKind::Button, L"Ok", 1800, 2760, 1080, 360, true},
             {L"cmdCancel", ControlKind::Button, L"Cancel", 3000, 2760, 1080, 360, false, true}}}),
      db_(std::move(db)) {}

void ViewChooser::formLoad() {
    event(L"Form_Load", [&] {
        auto s = db_->prepare("SELECT ViewId, ViewName FROM views ORDER BY ViewName COLLATE NOCASE, ViewId");
        while (s.step()) addItem(L"lstViews", s.text(1), static_cast<long>(s.integer(0)));
        if (itemCount(L"lstViews") > 0) select(L"lstViews", 0);
    });
}

void ViewChooser::click(std::wstring_view control) {
    if (control == L"cmdOk") {
        int i = selectedIndex(L"lstViews");
        if (i < 0) return;
        chosen = itemData(L"lstViews", i);
        unload();
    } else if (control == L"cmdCancel") {
        unload();
    }
}

void ViewChooser::doubleClick(std::wstring_view control) {
    if (control == L"lstViews") click(L"cmdOk");
}

// ---- Tagpick: a new keyword --------------------------------------------------------------------

NewKeywordDialog::NewKeywordDialog(std::shared_ptr<Database> db, long viewId)
    : Form({L"frmNewKeyword", L"New keyword", 4800, 1860, kBack,
            {{L"lblName", ControlKind::Label, L"Name:", 120, 180, 840, 240},
             {L"txtName", ControlKind::TextBox, L"", 1020, 120, 3660, 315},
             {L"lblGroup", ControlKind::Label, L"Group:", 120, 660, 840, 240},
             {L"cboGroup", ControlKind::ComboBox, L"", 1020, 600, 3660, 2400},
             {L"cmdOk", ControlKind::Button, L"Ok", 2400, 1320, 1080, 360, true},
             {L"cmdCancel", ControlKind::Button, L"Cancel", 3600, 1320, 1080, 360, false, true}}}),
      db_(std::move(db)),
      viewId_(viewId) {}

void NewKeywordDialog::formLoad() {
    event(L"Form_Load", [&] {
        addItem(L"cboGroup", L"(no group)", 0);
        auto s = db_->prepare("SELECT GroupId, GroupName FROM groups WHERE ViewId = ? ORDER BY GroupName COLLATE NOCASE");
        s.bind(1, static_cast<int64_t>(viewId_));
        while (s.step()) addItem(L"cboGroup", s.text(1), static_cast<long>(s.integer(0)));
        select(L"cboGroup", 0);
    });
}

void NewKeywordDialog::click(std::wstring_view control) {
    if (control == L"cmdCancel") {
        unload();
    } else if (control == L"cmdOk") {
        try {
            int g = selectedIndex(L"cboGroup");
            created = insertKeyword(*db_, viewId_, text(L"txtName"), g < 0 ? 0 : itemData(L"cboGroup", g));
            unload();
        } catch (const ComError& e) {
            tell(handle(), e.description(), caption());
        }
    }
}

// ---- Tagpick: the keyword set of a view --------------------------------------------------------

KeywordEditor::KeywordEditor(std::shared_ptr<Database> db, long viewId)
    : Form({L"frmKeywords", L"Keywords", 6600, 4500, kBack,
            {{L"lstKeywords", ControlKind::ListBox, L"", 120, 120, 3600, 4260},
             {L"lblName", ControlKind::Label, L"Name:", 3900, 120, 2580, 240},
             {L"txtName", ControlKind::TextBox, L"", 3900, 390, 2580, 315},
             {L"lblGroup", ControlKind::Label, L"Group:", 3900, 840, 2580, 240},
             {L"cboGroup", ControlKind::ComboBox, L"", 3900, 1110, 2580, 2400},
             {L"cmdAdd", ControlKind::Button, L"Add", 3900, 1620, 1230, 360, true},
             {L"cmdRename", ControlKind::Button, L"Change", 5250, 1620, 1230, 360},
             {L"cmdDelete", ControlKind::Button, L"Delete", 3900, 2100, 1230, 360},
             {L"cmdNewGroup", ControlKind::Button, L"New group", 3900, 2760, 1230, 360},
             {L"cmdDeleteGroup", ControlKind::Button, L"Delete group", 5250, 2760, 1230, 360},
             {L"cmdClose", ControlKind::Button, L"Close", 5250, 4020, 1230, 360, false, true}}}),
      db_(std::move(db)),
      viewId_(viewId) {}

void KeywordEditor::formLoad() {
    event(L"Form_Load", [&] {
        fillGroups(0);
        fillKeywords(0);
    });
}

void KeywordEditor::fillGroups(long selectId) {
    clearItems(L"cboGroup");
    addItem(L"cboGroup", L"(no group)", 0);
    select(L"cboGroup", 0);
    auto s = db_->prepare("SELECT GroupId, GroupName FROM groups WHERE ViewId = ? ORDER BY GroupName COLLATE NOCASE");
    s.bind(1, static_cast<int64_t>(viewId_));
    while (s.step()) {
        int i = addItem(L"cboGroup", s.text(1), static_cast<long>(s.integer(0)));
        if (s.integer(0) == selectId) select(L"cboGroup", i);
    }
}

void KeywordEditor::fillKeywords(long selectId) {
    clearItems(L"lstKeywords");
    auto s = db_->prepare(
        "SELECT k.KeyId, k.KeyName, g.GroupName FROM keywords k LEFT JOIN groups g ON g.GroupId = k.GroupId "
        "WHERE k.ViewId = ? ORDER BY k.KeyName COLLATE NOCASE");
    s.bind(1, static_cast<int64_t>(viewId_));
    while (s.step()) {
        std::wstring label = s.text(1) + (s.isNull(2) ? L"" : L"  [" + s.text(2) + L"]");
        int i = addItem(L"lstKeywords", label, static_cast<long>(s.integer(0)));
        if (s.integer(0) == selectId) select(L"lstKeywords", i);
    }
}

long KeywordEditor::selectedKeyword() {
    int i = selectedIndex(L"lstKeywords");
    return i < 0 ? 0 : itemData(L"lstKeywords", i);
}

void KeywordEditor::selectionChanged(std::wstring_view control) {
    if (control != L"lstKeywords") return;
    auto s = db_->prepare("SELECT KeyName, GroupId FROM keywords WHERE KeyId = ?");
    s.bind(1, static_cast<int64_t>(selectedKeyword()));
    if (!s.step()) return;
    setText(L"txtName", s.text(0));
    for (int i = 0; i < itemCount(L"cboGroup"); ++i)
        if (itemData(L"cboGroup", i) == s.integer(1)) select(L"cboGroup", i);
}

void KeywordEditor::click(std::wstring_view control) {
    try {
        int g = selectedIndex(L"cboGroup");
        long group = g < 0 ? 0 : itemData(L"cboGroup", g);
        std::wstring name = trimmed(text(L"txtName"));
        if (control == L"cmdClose") {
            unload();
        } else if (control == L"cmdAdd") {
            fillKeywords(insertKeyword(*db_, viewId_, name, group));
        } else if (control == L"cmdRename") {
            long id = selectedKeyword();
            if (!id) throw ComError(kUserError, L"Choose a keyword in the list first.", L"Tagpick.Engine");
            if (name.empty()) throw ComError(kUserError, L"Type a name for the keyword.", L"Tagpick.Engine");
            auto s = db_->prepare("UPDATE keywords SET KeyName = ?, GroupId = ? WHERE KeyId = ?");
            s.bind(1, name).bind(2, static_cast<int64_t>(group)).bind(3, static_cast<int64_t>(id)).step();
            fillKeywords(id);
        } else if (control == L"cmdDelete") {
            long id = selectedKeyword();
            if (!id) throw ComError(kUserError, L"Choose a keyword in the list first.", L"Tagpick.Engine");
            auto s = db_->prepare("DELETE FROM keywords WHERE KeyId = ?");  // its relations go with it
            s.bind(1, static_cast<int64_t>(id)).step();
            fillKeywords(0);
        } else if (control == L"cmdNewGroup") {
            if (name.empty()) throw ComError(kUserError, L"Type the group's name in Name.", L"Tagpick.Engine");
            auto s = db_->prepare("INSERT INTO groups(GroupName, ViewId) VALUES(?, ?)");
            s.bind(1, name).bind(2, static_cast<int64_t>(viewId_)).step();
            fillGroups(static_cast<long>(db_->lastInsertId()));
        } else if (control == L"cmdDeleteGroup") {
            if (!group) throw ComError(kUserError, L"Choose a group first.", L"Tagpick.Engine");
            // Its keywords stay, without a group.
            auto s = db_->prepare("DELETE FROM groups WHERE GroupId = ?");
            s.bind(1, static_cast<int64_t>(group)).step();
            fillGroups(0);
            fillKeywords(selectedKeyword());
        }
    } catch (const ComError& e) {
        tell(handle(), e.description(), caption());
    }
}

// ---- Routepick: where did the file go? ---------------------------------------------------------

FileLocator::FileLocator(std::shared_ptr<Database> db, std::wstring missingPath)
    : Form({L"frmLocate", L"Locate file", 6000, 1980, kBack,
            {{L"lblMissing", ControlKind::Label, L"", 120, 120, 5760, 480},
             {L"txtNewPath", ControlKind::TextBox, L"", 120, 720, 4560, 315},
             {L"cmdBrowse", ControlKind::Button, L"Browse...", 4800, 700, 1080, 360},
             {L"cmdOk", ControlKind::Button, L"Ok", 3600, 1440, 1080, 360, true},
             {L"cmdCancel", ControlKind::Button, L"Cancel", 4800, 1440, 1080, 360, false, true}}}),
      db_(std::move(db)),
      missing_(std::move(missingPath)) {}

void FileLocator::formLoad() {
    setText(L"lblMissing", L"This file cannot be found. Where is it now?\r\n" + missing_);
    setText(L"txtNewPath", missing_);
}

void FileLocator::click(std::wstring_view control) {
    if (control == L"cmdCancel") {
        unload();
    } else if (control == L"cmdBrowse") {
        wchar_t file[MAX_PATH * 4] = {};
        OPENFILENAMEW ofn{sizeof ofn};
        ofn.hwndOwner = handle();
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH * 4;
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (::GetOpenFileNameW(&ofn)) setText(L"txtNewPath", file);
    } else if (control == L"cmdOk") {
        std::wstring path = trimmed(text(L"txtNewPath"));
        DWORD attrs = ::GetFileAttributesW(path.c_str());
        if (path.empty() || attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
            tell(handle(), L"There is no file at \"" + path + L"\".", caption());
            return;
        }
        try {
            auto s = db_->prepare("UPDATE items SET FileCurrentPath = ? WHERE FileCurrentPath = ? COLLATE NOCASE");
            s.bind(1, path).bind(2, missing_).step();
            moved = true;
            unload();
        } catch (const ComError& e) {
            tell(handle(), e.description(), caption());
        }
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

}  // namespace tesra
