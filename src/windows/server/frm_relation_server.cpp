#include "windows/server/frm_relation_server.h"

#include "automation/failure.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {
namespace {

// The pages are laid out for tabs at the top of a window; here the view chooser is above them.
constexpr int kBelowChooser = 420;

}  // namespace

frmRelationServer::frmRelationServer()
    : RelationWindow({L"frmRelationServer", L"Relations", 8040, 7440, RGB(224, 224, 224)}),
      info(context()),
      keywords(context(), KeywordOptions{L"LoadKeyWords", L"mnu_NewKeyword", {&relate.SSFrame1}, true}),
      themes(context()),
      files(context()),
      relate(context()) {
    usePages({&info, &keywords, &themes, &files, &RelationTab, kKeywordsTab});
    cmdOk.onClick = [this] { cmdOk_Click(); };
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { cmdCancel_Click(); };

    place({{cmdView, {L"cmdView", L"", {60, 45, 7920, 345}, 0, {}, L"Keyword view"}},
           {SSFrame3, {L"SSFrame3", L"", {0, 0, 8040, 420}}},
           {RelationTab, {L"RelationTab", L"Info|Keywords|Themes|File", {60, 480, 7920, 5640}}}});
    place(ui::movedDown(kBelowChooser, info.layout(kInfoTab)));
    place(ui::withPlace(ui::movedDown(kBelowChooser, keywords.layout(kKeywordsTab)), keywords.cmdUpdate,
                        {5280, 6240, 2700, 375}, 0));
    place(ui::movedDown(kBelowChooser, themes.layout(kThemesTab)));
    place(ui::movedDown(kBelowChooser, files.layout(kFileTab)));
    place(relate.layout());
    place({{cmdOk, {L"cmdOk", L"Ok", {5280, 7005, 1300, 375}}}, {cmdCancel, {L"cmdCancel", L"Cancel", {6680, 7005, 1300, 375}}}});
}

frmRelationServer::~frmRelationServer() { unload(); }

void frmRelationServer::preparePages() { relate.prepare(); }

// No header procedure in this window: the header and the option picture show the link.
void frmRelationServer::recordShown() {
    info.showKindPicture(L"Link");
    relate.Picture2.repaint();
}

void frmRelationServer::RelationTab_TabClick(int tab) {
    event(L"RelationTab_TabClick", [&] {
        if (!keywords.cmdUpdate.exists()) return;
        if (tab == kInfoTab || tab == kThemesTab) ::ShowWindow(keywords.cmdUpdate.handle(), SW_HIDE);
        else if (tab == kKeywordsTab) ::ShowWindow(keywords.cmdUpdate.handle(), SW_SHOW);
    });
}

std::wstring frmRelationServer::GetFileServerPath(const std::wstring& pstrUrl) {
    return automation::qualified(qualifiedName(L"GetFileServerPath"), [&] { return shell::GetFileServerPath(pstrUrl); });
}

bool frmRelationServer::RelDownLoadFile() {
    return automation::qualified(qualifiedName(L"RelDownLoadFile"), [&] {
        const std::wstring path = oFileSelected.get(contract::field::FileCurrentPath).toText();
        copyToDownloadFolder({GetFileServerPath(path), keywords.relatedInListOrder(), handle()}, lastSegment(path));
        return false;
    });
}

bool frmRelationServer::RelDonwLoadFileOtherPath() {
    return automation::qualified(qualifiedName(L"RelDonwLoadFileOtherPath"), [&] {
        const std::wstring address = GetFileServerPath(oFileSelected.get(contract::field::FileCurrentPath).toText());
        copyToChosenFolder({address, keywords.relatedInListOrder(), handle()}, lastSegment(address));
        return false;
    });
}

// A copy that fails is reported and the window stays open: nothing is lost, the user may choose
// another way or Cancel.
void frmRelationServer::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        if (relate.chkLocalCopyDP.value()) RelDownLoadFile();
        if (relate.chkLocalCopyOP.value()) RelDonwLoadFileOtherPath();
        unload();
    });
}

}  // namespace qb::windows
