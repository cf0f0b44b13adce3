#include "windows/dialogs/keywords_viewer.h"

#include "automation/failure.h"
#include "automation/module.h"
#include "contract/suite.h"
#include "support/services.h"
#include "ui/layout/twips.h"
#include "ui/look/pictures.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::Object;
using automation::Variant;
using support::createObject;

}  // namespace

frmKeyWords::frmKeyWords() : Form({L"frmKeyWords", L"Relations", 2685, 3660, RGB(224, 224, 224)}) {
    cmdOk.isDefault = true;
    cmdOk.isCancel = true;  // Esc closes the viewer as "Ok" does: it changes nothing
    cmdOk.onClick = [this] { cmdOk_Click(); };
    place({{SSPanel1, {L"SSPanel1", L"Related keywords", {60, 60, 2565, 330}}},
           {lstKeyRel, {L"lstKeyRel", L"", {60, 450, 2565, 2790}, 0, L"Drag and drop to relate keyword to file",
                        L"Related keywords"}},
           {cmdOk, {L"cmdOk", L"Ok", {1890, 3330, 780, 300}}}});
}

void frmKeyWords::formLoad() {
    event(L"Form_Load", [&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        lstKeyRel.addColumn(L"KeyWord", lstKeyRel.clientWidth() - ui::twipsToPixels(300, dpi().x));
        LoadKWRelationed();
    });
}

void frmKeyWords::LoadKWRelationed() {
    automation::qualified(qualifiedName(L"LoadKWRelationed"), [&] {
        lstKeyRel.clear();
        Object relations = createObject(contract::progid::KeyWordFile);
        relations.call(L"loaddata", {Arg::missing(), oFileSelected.get(contract::field::FileId)});
        Object found = relations.callObject(L"GetByFileId");
        imgKeyWords_ = ui::keywordPictures(ui::pictureSize(16, dpi().y));
        lstKeyRel.setImageList(imgKeyWords_.get());
        // Rows go in one by one: a failure leaves the rows before it.
        found.forEach([&](const Variant& item) {
            Object keyword = createObject(contract::progid::KeyWord);
            keyword.call(L"loaddata", {Object::from(item).get(L"KeyId")});
            keyword = keyword.callObject(L"GetOneById");
            if (keyword.get(L"ViewId").toLong() == intSelectedViewId)
                lstKeyRel.add(keyword.get(L"KeyName").toText(), keyword.get(L"KeyId").toLong(), ui::kKeywordPicture);
        });
    });
}

void frmKeyWords::cmdOk_Click() { unload(); }

}  // namespace qb::windows
