#include "windows/pages/web_memo_page.h"

#include "automation/failure.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "shell/download.h"
#include "support/services.h"
#include "ui/look/pictures.h"
#include "windows/shared/memo_themes.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
using automation::Variant;
using automation::qualified;
using support::createObject;
namespace progid = contract::progid;

const std::wstring kCategoryTag = L"Category";

std::wstring categoryKey(long id) { return L"C" + std::to_wstring(id); }

}  // namespace

WebMemoPage::WebMemoPage(RelationContext context, WebMemoMembers members) : ctx_(context), m_(members) {
    chkMemo.onClick = [this] { chkMemo_Click(chkMemo.checked() ? -1 : 0); };
    cmbFolders.onClick = [this] { cmbFolders_Click(); };
    cmdAddCategory.onClick = [this] { cmdAddCategory_Click(); };
}

ui::LayoutTable WebMemoPage::layout(int page) {
    return ui::onPage(page, {{SSPanel3, {L"SSPanel3", L"Theme Relations", {240, 480, 7500, 285}}},
                             {chkMemo, {L"chkMemo", L"&Enable", {360, 900, 3000, 285}}},
                             {txtMemo, {L"txtMemo", L"", {360, 1260, 7260, 2100}, 0, {}, L"Memo"}},
                             {lblTheme, {L"lblTheme", L"T&heme:", {360, 3540, 1200, 240}}},
                             {cboTheme, {L"cboTheme", L"", {1620, 3480, 2700, 1800}}},
                             {lblCategory, {L"lblCategory", L"C&ategory:", {360, 4020, 1200, 240}}},
                             {cmbFolders, {L"cmbFolders", L"", {1620, 3960, 4200, 2400}}},
                             {cmdAddCategory, {L"cmdAddCategory", L"&New Category", {5940, 3930, 1680, 375}}},
                             {fmMemo, {L"fmMemo", L"", {240, 780, 7500, 3780}}}});
}

void WebMemoPage::prepare() {
    foldersLoaded_ = false;
    load_ = Load::Pending;
    shown_.reset();
    damageReported_ = false;
    drawPictures();
}

void WebMemoPage::drawPictures() {
    const int size = ui::pictureSize(16, ctx_.window.dpi().y);
    imgTheme_ = themePictures(size);
    imgFolders_ = ui::keywordPictures(size);
    cboTheme.setImageList(imgTheme_.get());
    cmbFolders.setImageList(imgFolders_.get());
}

// The themes 1 to 4, first chosen. A change of view runs it again: the themes are not added twice
// (a memo's theme is its position in the list).
void WebMemoPage::LoadComboItems() {
    qualified(ctx_.qualified(L"LoadComboItems"), [&] {
        if (cboTheme.count() == 0) fillThemes(cboTheme);
    });
}

Object WebMemoPage::pageMemos() {
    Variant view(ctx_.viewId);
    Object memos = createObject(progid::Memo);
    memos.call(L"loaddata", {Arg::missing(), ctx_.fileId(), Arg::missing(), Arg::missing(), Arg::missing(), Arg::byRef(view)});
    return memos.callObject(L"GetByFileId");
}

void WebMemoPage::LoadMemo() {
    load_ = Load::Pending;
    qualified(ctx_.qualified(L"LoadMemo"), [&] {
        try {
            shown_.reset();
            if (pageMemos().items().empty()) {
                txtMemo.setText(m_.strMemo);
                m_.blnEditMemo = false;
                chkMemo_Click(0);
            } else {
                m_.blnEditMemo = true;
                EditMemo();
                chkMemo_Click(-1);
            }
        } catch (...) {
            load_ = Load::Failed;
            throw;
        }
        load_ = Load::Done;
    });
}

// With several memos the last one answered is shown. Its theme and category show as stored: one
// the lists do not hold shows none (and stays as stored unless the user chooses another).
void WebMemoPage::EditMemo() {
    qualified(ctx_.qualified(L"EditMemo"), [&] {
        Object memos = pageMemos();
        if (memos.isNothing()) return;
        automation::MemberIds ids;
        memos.forEach([&](const Variant& item) {
            Object memo = Object::from(item);
            m_.SelectedMemoId = memo.get(ids, L"MemoId").toLong();
            txtMemo.setText(memo.get(ids, L"MemoText").toText());
            m_.SelectedTheme = memo.get(ids, L"MemoTheme").toLong();
        });
        const int theme = m_.SelectedTheme >= 1 && m_.SelectedTheme <= cboTheme.count() ? static_cast<int>(m_.SelectedTheme) - 1 : -1;
        cboTheme.select(theme);
        shown_ = Shown{m_.SelectedMemoId, txtMemo.text(), m_.SelectedTheme, theme, 0};
        m_.SelectedCatId = 0;
        Object filing = createObject(progid::CatMemo);
        filing.call(L"loaddata", {m_.SelectedMemoId});
        Object category = filing.callObject(L"GetRegistersByMemo");
        if (category.isNothing()) return;
        // The list must hold the category, or choosing it would forget it: a filed memo would ask
        // for a folder again on "Ok".
        ensureFolders();
        m_.SelectedCatId = category.get(L"CatId").toShort();
        SelectComboCat();
        shown_->category = m_.SelectedCatId;
    });
}

WebMemoPage::Change WebMemoPage::pendingChange() const {
    if (!chkMemo.checked()) return shown_ ? Change::Delete : Change::None;
    if (!shown_) return Change::Insert;
    const bool changed = txtMemo.text() != shown_->text || cboTheme.selected() != shown_->themeShown ||
                         m_.SelectedCatId != shown_->category;
    return changed ? Change::Update : Change::None;
}

std::optional<std::wstring> WebMemoPage::unstoredText() const {
    if (load_ != Load::Done || !chkMemo.checked()) return std::nullopt;
    const std::wstring text = txtMemo.text();
    if (text == (shown_ ? shown_->text : m_.strMemo)) return std::nullopt;
    return text;
}

void WebMemoPage::keepTyped(const std::wstring& text) {
    txtMemo.setText(text);
    chkMemo_Click(-1);
}

void WebMemoPage::store(Change change) {
    switch (change) {
        case Change::None: return;
        case Change::Insert: return SaveMemo();
        case Change::Update: return UpdateMemo();
        case Change::Delete: return DeleteMemo();
    }
}

void WebMemoPage::SaveMemo() {
    qualified(ctx_.qualified(L"SaveMemo"), [&] {
        Variant view(ctx_.viewId);
        const std::wstring text = txtMemo.text();
        const long theme = cboTheme.selected() + 1;
        Object memo = createObject(progid::Memo);
        memo.call(L"loaddata", {Arg::missing(), ctx_.fileId(), text, theme, true, Arg::byRef(view)});
        Variant newId(memo.call(L"Insert").toLong());
        // Stored: from here on it is the memo the window shows (an "Ok" again files it, and
        // inserts no second one).
        m_.SelectedMemoId = newId.toLong();
        m_.SelectedTheme = theme;
        m_.blnEditMemo = true;
        shown_ = Shown{m_.SelectedMemoId, text, theme, cboTheme.selected(), 0};
        try {
            Object filing = createObject(progid::CatMemo);
            filing.call(L"loaddata", {Arg::byRef(newId), m_.SelectedCatId});
            filing.call(L"Insert");
        } catch (...) {
            // A memo filed nowhere is not what the user asked for: it goes again, and the next
            // "Ok" inserts it afresh. Should that fail too, it stays as the memo shown, and the
            // report says so.
            const ComError failure = automation::currentError();
            try {
                Object unmade = createObject(progid::Memo);
                unmade.call(L"loaddata", {newId});
                unmade.call(L"DeleteByMemoId");
                shown_.reset();
                m_.blnEditMemo = false;
            } catch (...) {
                throw automation::notPutBack(failure, L"The new memo", automation::currentError(), L"its category");
            }
            throw;
        }
        shown_->category = m_.SelectedCatId;
    });
}

// What the user changed of the memo shown, and only that: text (trimmed) and theme together,
// and the filing when another category was chosen.
void WebMemoPage::UpdateMemo() {
    qualified(ctx_.qualified(L"UpdateMemo"), [&] {
        const bool textChanged = txtMemo.text() != shown_->text;
        const bool themeChanged = cboTheme.selected() != shown_->themeShown;
        const Shown before = *shown_;
        auto rewrite = [&](const std::wstring& text, long theme) {
            Object memo = createObject(progid::Memo);
            memo.call(L"loaddata", {m_.SelectedMemoId, Arg::missing(), text, theme, true});
            memo.call(L"Update");
        };
        if (textChanged || themeChanged) {
            const std::wstring text = textChanged ? automation::trimBlanks(txtMemo.text()) : shown_->text;
            const long theme = themeChanged ? cboTheme.selected() + 1 : shown_->theme;
            rewrite(text, theme);
            shown_->text = text;
            shown_->theme = m_.SelectedTheme = theme;
            shown_->themeShown = cboTheme.selected();
        }
        if (m_.SelectedCatId == shown_->category) return;
        try {
            refile();
        } catch (...) {
            // The change is stored whole or not at all: the text and theme go back too.
            if (textChanged || themeChanged) {
                const ComError failure = automation::currentError();
                try {
                    rewrite(before.text, before.theme);
                    *shown_ = before;
                    m_.SelectedTheme = before.theme;
                } catch (...) {
                    throw automation::notPutBack(failure, L"The memo's text and theme", automation::currentError(),
                                                 L"the memo");
                }
            }
            throw;
        }
    });
}

// The memo's filing moved to the category chosen; the old one is put back when the new one
// cannot be stored (a category deleted meanwhile).
void WebMemoPage::refile() {
    Object filing = createObject(progid::CatMemo);
    filing.call(L"loaddata", {m_.SelectedMemoId, m_.SelectedCatId});
    if (!filing.call(L"DeleteByMemo").toBool()) return;
    try {
        filing.call(L"Insert");
    } catch (...) {
        if (shown_->category != 0) {
            const ComError failure = automation::currentError();
            try {
                Object back = createObject(progid::CatMemo);
                back.call(L"loaddata", {m_.SelectedMemoId, shown_->category});
                back.call(L"Insert");
            } catch (...) {
                shown_->category = 0;  // filed nowhere now
                throw automation::notPutBack(failure, L"The memo's category", automation::currentError(),
                                             L"the memo's category");
            }
        }
        throw;
    }
    shown_->category = m_.SelectedCatId;
}

// The memo the window shows goes, and no other: a memo of another view, or one the window
// could not show, is never deleted from here.
void WebMemoPage::DeleteMemo() {
    qualified(ctx_.qualified(L"DeleteMemo"), [&] {
        if (!shown_) return;
        Object memo = createObject(progid::Memo);
        memo.call(L"loaddata", {shown_->id});
        memo.call(L"DeleteByMemoId");
        shown_.reset();
        m_.blnEditMemo = false;
    });
}

Object WebMemoPage::currentView() {
    Variant view(ctx_.viewId);
    Object lookup = createObject(progid::View);
    lookup.call(L"loaddata", {Arg::byRef(view)});
    return lookup.callObject(L"GetOne");
}

void WebMemoPage::LoadFolders() {
    qualified(ctx_.qualified(L"LoadFolders"), [&] {
        cmbFolders.clear();
        cmbFolders.select(-1);
        Object view = currentView();
        cmbFolders.clear();
        LoadCategory(view.get(L"ViewId").toText());
        // The category in use is the one shown: a stored memo's own (none when it is not
        // listed), else the first, as a click would choose it.
        if (shown_) SelectComboCat();
        else if (cmbFolders.count() > 0) cmbFolders.select(0);
        SelectedCategory();
    });
}

void WebMemoPage::viewChanged() {
    shown_.reset();  // the old view's memo; LoadMemo shows the new view's
    qualified(ctx_.qualified(L"LoadFolders"), [&] {
        if (foldersLoaded_) LoadFolders();
        else m_.SelectedCatId = 0;  // another view's category is no choice here
    });
}

void WebMemoPage::ensureFolders() {
    if (foldersLoaded_) return;
    LoadFolders();
    foldersLoaded_ = true;
    cmbFolders.refresh();
}

void WebMemoPage::LoadCategory(const std::wstring& viewIdText) {
    qualified(ctx_.qualified(L"LoadCategory"), [&] {
        if (viewIdText.empty()) return;
        cmbFolders.clear();
        Variant id(viewIdText);
        Object lookup = createObject(progid::View);
        lookup.call(L"loaddata", {Arg::byRef(id)});
        const Variant root = lookup.callObject(L"GetOne").get(L"ParentCategoryId");
        listed_ = {root.toLong()};
        damaged_.clear();
        Object categories = createObject(progid::Category);
        categories.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), root});
        for (const Object& category : categories.callObject(L"GetByParentId").items()) {
            const long id = category.get(L"CatId").toLong();
            if (!listed_.insert(id).second) {
                damaged_ = category.get(L"CatName").toText();
                continue;
            }
            cmbFolders.add(category.get(L"CatName").toText(), ui::kGroupPicture, 1, categoryKey(id), kCategoryTag);
            LoadCategoryChild(category, 2);
        }
        // A category that is its own ancestor is listed once; the user hears of it once.
        if (!damaged_.empty() && !damageReported_) {
            damageReported_ = true;
            ctx_.window.event(L"LoadCategory", [&] {
                throw automation::ComError(automation::err::InvalidProcedureCall,
                                           L"The suite's categories of this view are damaged: \"" + damaged_ +
                                               L"\" is filed under itself. It is listed once; the suite's data needs mending.",
                                           automation::kComponentSource);
            });
        }
    });
}

void WebMemoPage::LoadCategoryChild(const Object& category, short level) {
    qualified(ctx_.qualified(L"LoadCategoryChild"), [&] {
        Object children = createObject(progid::Category);
        children.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), category.get(L"CatId")});
        for (const Object& child : children.callObject(L"GetByParentId").items()) {
            const long id = child.get(L"CatId").toLong();
            if (!listed_.insert(id).second) {
                damaged_ = child.get(L"CatName").toText();
                continue;
            }
            cmbFolders.add(child.get(L"CatName").toText(), ui::kGroupPicture, level, categoryKey(id), kCategoryTag);
            if (level == 32767) throw automation::ComError::runtime(automation::err::Overflow);
            LoadCategoryChild(child, static_cast<short>(level + 1));
        }
    });
}

void WebMemoPage::SelectedCategory() {
    qualified(ctx_.qualified(L"SelectedCategory"), [&] {
        const int at = cmbFolders.selected();
        if (at < 0) {
            m_.SelectedCatId = 0;
        } else if (cmbFolders.itemTag(at) == kCategoryTag) {
            m_.SelectedCatId = Variant(cmbFolders.itemKey(at).substr(1)).toShort();
        } else {
            SelectComboCat();
        }
    });
}

void WebMemoPage::SelectComboCat() {
    qualified(ctx_.qualified(L"SelectComboCat"), [&] {
        const int at = cmbFolders.find(categoryKey(m_.SelectedCatId));
        if (at >= 0) cmbFolders.select(at);
        else m_.SelectedCatId = 0;
    });
}

void WebMemoPage::LoadRecomendedKW(const std::wstring& text, bool recommended) {
    qualified(ctx_.qualified(L"LoadRecomendedKW"), [&] {
        if (m_.strMemo.empty() || !recommended) return;
        Variant said(text), view(ctx_.viewId);
        Object found = createObject(L"Tagadvisor.Engine").callObject(L"Show", {Arg::byRef(said), Arg::byRef(view)});
        if (found.isNothing()) return;
        for (const Object& keyword : found.items()) {
            Object relation = createObject(progid::KeyWordFile);
            relation.call(L"loaddata", {keyword.get(L"KeyId"), ctx_.fileId()});
            if (!relation.call(L"ExistRegister").toBool()) relation.call(L"Insert");
        }
    });
}

void WebMemoPage::chkMemo_Click(short value) {
    ctx_.window.event(L"chkMemo_Click", [&] {
        shell::DoEvents();
        if (value == 0 || value == -1) {
            chkMemo.setChecked(value == -1);
            for (ui::Control* c : std::initializer_list<ui::Control*>{&fmMemo, &txtMemo, &cmbFolders, &cboTheme})
                c->setEnabled(value == -1);
        }
        for (ui::Control* c : std::initializer_list<ui::Control*>{&chkMemo, &fmMemo, &txtMemo, &cmbFolders, &cboTheme})
            c->refresh();
    });
}

void WebMemoPage::cmbFolders_Click() {
    ctx_.window.event(L"cmbFolders_Click", [&] { SelectedCategory(); });
}

void WebMemoPage::cmdAddCategory_Click() {
    ctx_.window.event(L"cmdAddCategory_Click", [&] {
        Object maker = createObject(L"Foldermint.Engine");
        Variant view(ctx_.viewId);
        const Variant parent = m_.SelectedCatId != 0 ? Variant(m_.SelectedCatId) : currentView().get(L"ParentCategoryId");
        Object made = ctx_.connection.aroundSuiteDialog(
            [&] { return maker.callObject(L"ShowNewCategory", {parent, Arg::byRef(view)}); });
        if (made.isNothing()) return;
        m_.SelectedCatId = made.get(L"CatId").toShort();
        if (!maker.get(L"blncancel").toBool()) {
            LoadCategory(std::to_wstring(ctx_.viewId));
            SelectComboCat();
        }
    });
}

}  // namespace qb::windows
