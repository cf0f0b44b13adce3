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
    cmbFolders.onChange = [this] { cmbFolders_Change(); };
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
    if (!imgTheme_) imgTheme_ = ui::themePictures();
    if (!imgFolders_) imgFolders_ = ui::keywordPictures();
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
    qualified(ctx_.qualified(L"LoadMemo"), [&] {
        if (pageMemos().items().empty()) {
            txtMemo.setText(m_.strMemo);
            m_.blnEditMemo = false;
            chkMemo_Click(0);
        } else {
            m_.blnEditMemo = true;
            EditMemo();
            chkMemo_Click(-1);
        }
    });
}

// With several memos the last one answered is shown.
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
        Object filing = createObject(progid::CatMemo);
        filing.call(L"loaddata", {m_.SelectedMemoId});
        Object category = filing.callObject(L"GetRegistersByMemo");
        if (category.isNothing()) return;
        // The list must hold the category, or choosing it would forget it: a filed memo would ask
        // for a folder again on "Ok".
        ensureFolders();
        m_.SelectedCatId = category.get(L"CatId").toShort();
        SelectComboCat();
        cboTheme.select(static_cast<int>(m_.SelectedTheme) - 1);
    });
}

void WebMemoPage::SaveMemo() {
    qualified(ctx_.qualified(L"SaveMemo"), [&] {
        Variant view(ctx_.viewId);
        Object memo = createObject(progid::Memo);
        memo.call(L"loaddata", {Arg::missing(), ctx_.fileId(), txtMemo.text(), static_cast<long>(cboTheme.selected() + 1),
                                true, Arg::byRef(view)});
        Variant newId(memo.call(L"Insert").toLong());
        Object filing = createObject(progid::CatMemo);
        filing.call(L"loaddata", {Arg::byRef(newId), m_.SelectedCatId});
        filing.call(L"Insert");
    });
}

void WebMemoPage::UpdateMemo() {
    qualified(ctx_.qualified(L"UpdateMemo"), [&] {
        Object memo = createObject(progid::Memo);
        memo.call(L"loaddata", {m_.SelectedMemoId, Arg::missing(), automation::trimBlanks(txtMemo.text()),
                                static_cast<long>(cboTheme.selected() + 1), true});
        memo.call(L"Update");
        Object filing = createObject(progid::CatMemo);
        filing.call(L"loaddata", {m_.SelectedMemoId, m_.SelectedCatId});
        if (filing.call(L"DeleteByMemo").toBool()) filing.call(L"Insert");
    });
}

int WebMemoPage::allMemoCount() {
    return qualified(ctx_.qualified(L"allMemoCount"), [&] {
        Object memos = createObject(progid::Memo);
        memos.call(L"loaddata", {Arg::missing(), ctx_.fileId()});
        return static_cast<int>(memos.callObject(L"GetByFileId").items().size());
    });
}

void WebMemoPage::DeleteMemo() {
    qualified(ctx_.qualified(L"DeleteMemo"), [&] {
        Object memos = createObject(progid::Memo);
        memos.call(L"loaddata", {Arg::missing(), ctx_.fileId()});
        memos.call(L"DeleteByFileId");
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
        // The first is chosen, as a click would choose it: the category in use is the one shown.
        if (cmbFolders.count() > 0) cmbFolders.select(0);
        SelectedCategory();
    });
}

void WebMemoPage::viewChanged() {
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
        Object categories = createObject(progid::Category);
        categories.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), root});
        for (const Object& category : categories.callObject(L"GetByParentId").items()) {
            cmbFolders.add(category.get(L"CatName").toText(), ui::kGroupPicture, 1,
                           categoryKey(category.get(L"CatId").toLong()), kCategoryTag);
            LoadCategoryChild(category, 2);
        }
    });
}

void WebMemoPage::LoadCategoryChild(const Object& category, short level) {
    qualified(ctx_.qualified(L"LoadCategoryChild"), [&] {
        Object children = createObject(progid::Category);
        children.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), category.get(L"CatId")});
        for (const Object& child : children.callObject(L"GetByParentId").items()) {
            cmbFolders.add(child.get(L"CatName").toText(), ui::kGroupPicture, level, categoryKey(child.get(L"CatId").toLong()),
                           kCategoryTag);
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

void WebMemoPage::cmbFolders_Change() {
    ctx_.window.event(L"cmbFolders_Change", [&] { SelectedCategory(); });
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
