#include "windows/dialogs/memo_relation.h"

#include "automation/failure.h"
#include "automation/module.h"
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
using support::createObject;

// The window background as an OLE system colour, in the text the tree takes.
constexpr wchar_t kWindowBackground[] = L"-2147483643";

}  // namespace

frmMemoRelation::frmMemoRelation()
    : Form({L"frmMemoRelation", L"Theme", 6300, 5400, RGB(224, 224, 224), true}),
      CheckState1(*this, {[this] { CheckState1_ChangeState(); }, [this](short view) { CheckState1_ChangeView(view); }}) {
    txtMemoFile.face = L"Arial";
    txtMemoFile.onKeyDown = [this](WORD key, int shift) { txtMemoFile_KeyDown(key, shift); };
    cboTheme.onClick = [this] { cboTheme_Click(); };
    cmdOk.isDefault = true;  // Enter in the memo itself makes a new line
    cmdOk.onClick = [this] { cmdOk_Click(); };
    cmdExit.isCancel = true;
    cmdExit.onClick = [this] { cmdExit_Click(); };
    place({{SSPanel3, {L"SSPanel3", L"Theme Relations", {120, 120, 6060, 420}}},
           {lblText, {L"lblText", L"&Text:", {120, 660, 2400, 240}}},
           {txtMemoFile, {L"txtMemoFile", L"", {120, 900, 6060, 1260}}},
           {lblTheme, {L"lblTheme", L"T&heme:", {120, 2280, 2400, 240}}},
           {cboTheme, {L"cboTheme", L"", {120, 2520, 2760, 1800}}},
           {lblCategory, {L"lblCategory", L"&Category:", {120, 2940, 2400, 240}}},
           {TreeCategory1, {L"TreeCategory1", L"", {120, 3180, 6060, 1620}}},
           {cmdOk, {L"cmdOk", L"Ok", {3660, 4920, 1200, 375}}},
           {cmdExit, {L"cmdExit", L"Cancel", {4980, 4920, 1200, 375}}}});
}

frmMemoRelation::~frmMemoRelation() { unload(); }

std::wstring frmMemoRelation::CleanText(const std::wstring& text) {
    return automation::qualified(L"frmMemoRelation.CleanText()", [&] {
        std::wstring clean;
        for (wchar_t c : text)
            if (c != L'\r' && c != L'\n') clean += c;
        return clean;
    });
}

void frmMemoRelation::formLoad() {
    event(L"Form_Load", [&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        LoadComboItems();
        txtMemoFile.setForeColor(kThemeColors[0]);
        blnText = false;
        txtMemoFile.setText(kPlaceholder);
        TreeCategory1.create(kCategoryTreeProgId);
        const Object& tree = TreeCategory1.object();
        treeEvents_.connect(
            tree.ptr(), DIID_CategoryTreeEvents,
            {{1, [this](const automation::CallArgs& a) {
                  TreeCategory1_ChangeItem(a.value(0).toText(), a.value(1).toLong(), a.value(2).toText());
              }},
             {2, [this](const automation::CallArgs&) { TreeCategory1_TreeChanged(); }}},
            qualifiedName(L"TreeCategory1"));
        tree.put(L"ShowRoot", true);
        tree.put(L"ViewId", Variant(SelectViewID.toText()));
        tree.call(L"SetBackColor", {kWindowBackground});
        tree.call(L"LoadTree");
        CheckState1.start();
        ::RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ::RedrawWindow(txtMemoFile.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        tree.call(L"ExpandAll");
    });
}

void frmMemoRelation::formUnload() {
    treeEvents_.disconnect();
    CheckState1.stop();
    TreeCategory1.destroy();
}

void frmMemoRelation::LoadComboItems() {
    automation::qualified(L"frmMemoRelation.LoadComboItems()", [&] {
        imgTheme_ = themePictures(ui::pictureSize(16, dpi().y));
        cboTheme.setImageList(imgTheme_.get());
        fillThemes(cboTheme);
    });
}

void frmMemoRelation::cboTheme_Click() {
    event(L"cboTheme_Click", [&] {
        if (const COLORREF color = themeColor(cboTheme.selected() + 1); color != CLR_INVALID)
            txtMemoFile.setForeColor(color);
    });
}

// The first key, whatever it is, takes the placeholder away; the key then acts in the empty box.
void frmMemoRelation::txtMemoFile_KeyDown(WORD, int) {
    event(L"txtMemoFile_KeyDown", [&] {
        if (blnText) return;
        txtMemoFile.setText(L"");
        blnText = true;
    });
}

void frmMemoRelation::TreeCategory1_ChangeItem(const std::wstring&, long id, const std::wstring& kind) {
    event(L"TreeCategory1_ChangeItem", [&] { selectCatId = kind == L"Category" ? id : 0; });
}

// The tree put its nodes in anew: drawn again once what is waiting has run. Failures are ignored.
void frmMemoRelation::TreeCategory1_TreeChanged() {
    automation::ignoreFailure([&] { shell::DoEvents(); });
    automation::ignoreFailure([&] {
        if (!TreeCategory1.exists()) return;
        ::ShowWindow(TreeCategory1.handle(), SW_HIDE);
        ::ShowWindow(TreeCategory1.handle(), SW_SHOW);
    });
}

void frmMemoRelation::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        if (selectCatId == 0) {
            support::services().prompter->messageBox(handle(), L"Please select a folder.", L"Zirerovu Rezad",
                                                     MB_OK | MB_ICONINFORMATION);
            return;
        }
        Object memo = createObject(contract::progid::Memo);
        memo.call(L"loaddata", {Arg::missing(), oSelectedFile.get(contract::field::FileId), txtMemoFile.text(),
                                static_cast<long>(cboTheme.selected() + 1), L"NO", Arg::byRef(SelectViewID)});
        Variant newId(memo.call(L"Insert").toShort());
        Variant category(selectCatId);
        Object filing = createObject(contract::progid::CatMemo);
        filing.call(L"loaddata", {Arg::byRef(newId), Arg::byRef(category)});
        filing.call(L"Insert");
        unload();
    });
}

void frmMemoRelation::cmdExit_Click() { unload(); }

void frmMemoRelation::CheckState1_ChangeState() {
    support::services().prompter->messageBox(
        handle(), L"Your connection with Vellumdex Server to changed state, because of it this window will be closed.",
        L"Vellumdex", MB_OK | MB_ICONINFORMATION);
    unload();
}

}  // namespace qb::windows
