#include "windows/server/frm_relation_server.h"

#include "automation/failure.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "ui/look/pictures.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {
namespace {

// The pages are laid out for tabs at the top of a window; here the view chooser is above them.
constexpr int kBelowChooser = 420;

}  // namespace

frmRelationServer::frmRelationServer()
    : RelationWindow({L"frmRelationServer", L"Relations", 8040, 7440, RGB(224, 224, 224)}),
      info(context()),
      keywords(context(), KeywordOptions{L"LoadKeyWords", L"mnu_NewKeyword", {&SSFrame1}, true}),
      themes(context()),
      files(context()) {
    usePages({&info, &keywords, &themes, &files, &RelationTab, kKeywordsTab});
    cmdOk.onClick = [this] { cmdOk_Click(); };
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    chkLink.onClick = [this] { chkLink_Click(); };
    chkLocalCopyDP.onClick = [this] { chkLocalCopyDP_Click(); };
    chkLocalCopyOP.onClick = [this] { chkLocalCopyOP_Click(); };
    for (ui::OptionButton* o : {&chkLink, &chkLocalCopyDP, &chkLocalCopyOP}) o->setGroup({&chkLink, &chkLocalCopyDP, &chkLocalCopyOP});
    Picture2.onDraw = [this](HDC dc, const RECT& area) { drawOption(dc, area); };

    place({{cmdView, {L"cmdView", L"", {60, 45, 7920, 345}, 0, {}, L"Keyword view"}},
           {SSFrame3, {L"SSFrame3", L"", {0, 0, 8040, 420}}},
           {RelationTab, {L"RelationTab", L"Info|Keywords|Themes|File", {60, 480, 7920, 5640}}}});
    place(ui::movedDown(kBelowChooser, info.layout(kInfoTab)));
    place(ui::withPlace(ui::movedDown(kBelowChooser, keywords.layout(kKeywordsTab)), keywords.cmdUpdate,
                        {5280, 6240, 2700, 375}, 0));
    place(ui::movedDown(kBelowChooser, themes.layout(kThemesTab)));
    place(ui::movedDown(kBelowChooser, files.layout(kFileTab)));
    place({{SSPanel5, {L"SSPanel5", L"Relate With:", {90, 6225, 5040, 285}}},
           {Picture2, {L"Picture2", L"", {240, 6600, 480, 480}, 0, {}, L"Kept as"}},
           {chkLink, {L"chkLink", L"&Link", {900, 6570, 3900, 255}}},
           {chkLocalCopyDP, {L"chkLocalCopyDP", L"Local Copy in &default path", {900, 6825, 3900, 255}}},
           {chkLocalCopyOP, {L"chkLocalCopyOP", L"Local Copy in &other path", {900, 7080, 3900, 255}}},
           {SSFrame1, {L"SSFrame1", L"", {60, 6180, 5100, 1200}}},
           {cmdOk, {L"cmdOk", L"Ok", {5280, 7005, 1300, 375}}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {6680, 7005, 1300, 375}}}});
}

frmRelationServer::~frmRelationServer() { unload(); }

void frmRelationServer::preparePages() {
    chkLink.choose();  // a window loaded again starts from the link as well
    optionPicture_ = L"Link";
}

// No header procedure in this window: the header and the option picture show the link.
void frmRelationServer::recordShown() {
    info.showKindPicture(L"Link");
    Picture2.repaint();
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
        if (chkLocalCopyDP.value()) RelDownLoadFile();
        if (chkLocalCopyOP.value()) RelDonwLoadFileOtherPath();
        unload();
    });
}

void frmRelationServer::showOption(const wchar_t* handler, const wchar_t* picture) {
    event(handler, [&] {
        optionPicture_ = picture;
        Picture2.repaint();
    });
}

void frmRelationServer::chkLink_Click() { showOption(L"chkLink_Click", L"Link"); }
void frmRelationServer::chkLocalCopyDP_Click() { showOption(L"chkLocalCopyDP_Click", L"LocalCopy"); }
void frmRelationServer::chkLocalCopyOP_Click() { showOption(L"chkLocalCopyOP_Click", L"LocalCopy"); }

void frmRelationServer::drawOption(HDC dc, const RECT& area) {
    if (!imgPictures_) imgPictures_ = ui::itemKindPictures();
    ImageList_Draw(imgPictures_.get(), ui::itemKindPicture(optionPicture_), dc, area.left, area.top, ILD_TRANSPARENT);
}

}  // namespace qb::windows
