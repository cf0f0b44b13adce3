#include "windows/outlook/frm_relation_outlook.h"

#include "automation/failure.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "support/services.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
using support::createObject;
namespace field = contract::field;

constexpr long kOutlookMessageFile = 3;

// The diagnostic upload of a new Engine of this component, found by its ProgID like any other
// object: the window knows nothing of the Engine.
void engineUpload() {
    Object engine = createObject(L"Quillbox.Engine");
    engine.call(L"UploadXXX");
}

// All 99 numbered names are taken: saving over one would destroy an earlier copy.
[[noreturn]] void allNamesTaken(const std::wstring& folder, const std::wstring& name, const wchar_t* between) {
    throw ComError::runtime(automation::err::FileAlreadyExists,
                            L"No copy was saved: \"" + name + L"\" and \"Copy (1)" + between + name + L"\" to \"Copy (99)" +
                                between + name + L"\" are all taken in " + folder + L".");
}

// A long subject would make a path that cannot be created: the name is cut, its ".msg" kept, so
// that even the 99th numbered copy's path stays within MAX_PATH.
std::wstring fitted(const std::wstring& name, const std::wstring& folder, const wchar_t* between) {
    const size_t numbered = std::wstring(L"Copy (99)").size() + std::wstring(between).size();
    const size_t used = folder.size() + 1 + numbered;
    if (used + name.size() < MAX_PATH || used + 8 >= MAX_PATH) return name;
    const std::wstring extension = name.substr(name.rfind(L'.'));
    return name.substr(0, MAX_PATH - 1 - used - extension.size()) + extension;
}

// MakeFileName keeps what it does not know ("?", control characters, a device's name): such a
// name is refused with a clear message before anything is created.
void requirePlainName(const std::wstring& name) {
    if (!shell::IsPlainFileName(name))
        throw ComError::runtime(automation::err::BadFileNameOrNumber,
                                L"\"" + name + L"\" cannot be the name of a file. Give the item another name (Update Info), or choose "
                                L"Local Copy in other path and type one.");
}

}  // namespace

frmRelationOutlook::frmRelationOutlook()
    : RemoteItemWindow({L"frmRelationOutlook", L"Info|Keywords|Themes|File|Server",
                        {L"fradownload", L"&Outlook's Item"}, {L"SSPanel6", L"Item &Id: "}}),
      server(context(), engineUpload) {
    place(ui::movedDown(kBelowChooser, server.layout(kServerTab)));
}

frmRelationOutlook::~frmRelationOutlook() { unload(); }

void frmRelationOutlook::preparePages() {
    RemoteItemWindow::preparePages();
    info.keepPath();
    server.prepare();
}

// The header cleared, then the picture of the item's type in lower case (none for another type);
// the option picture shows the item kept as it is.
void frmRelationOutlook::recordShown() {
    info.showKindPicture(L"");
    info.showOutlookKind(oFileSelected.get(field::FileType).toText(), true);
    relate.Picture2.repaint();
}

std::wstring frmRelationOutlook::MakeFileName(const std::wstring& pstrName, const std::wstring& pstrSaveAs) {
    std::wstring name = pstrName;
    for (wchar_t removed : {L'\\', L'/', L':', L'*', L'"', L'<', L'>', L'|'}) std::erase(name, removed);
    return name + L"." + pstrSaveAs;
}

bool frmRelationOutlook::MailSave(const std::wstring& identifier, const std::wstring& target) {
    const std::wstring where = qualifiedName(L"MailSave");
    return automation::qualified(where, [&] {
        const Object mapi = shell::OutlookSession(handle());
        if (mapi.isNothing()) return false;
        // From here on a failed step leaves its result empty and the save goes on to its end;
        // the failure is logged.
        auto step = [&](auto&& body) {
            try {
                body();
                return true;
            } catch (...) {
                ui::Form::swallowed(where);
                return false;
            }
        };
        Object item, safe;
        step([&] { item = mapi.callObject(L"GetItemFromID", {identifier}); });
        if (item.isNothing()) return false;
        // A safe item that did not take the item is as good as none (one failure, one log block).
        const bool wrapped = step([&] {
            safe = createObject(L"Redemption.SafeMailItem");
            safe.putRef(L"Item", automation::Variant(item.ptr()));
        });
        if (!wrapped || safe.isNothing()) return false;
        return !target.empty() && step([&] { safe.call(L"SaveAs", {target, kOutlookMessageFile}); });
    });
}

void frmRelationOutlook::copyInto(const std::function<std::wstring()>& folder, const std::wstring& title,
                                  const wchar_t* between) {
    const std::wstring name = fitted(MakeFileName(title, L"msg"), folder(), between);
    requirePlainName(name);
    const CopyTarget target = reserveCopyTarget(folder, name, between);
    if (!target.reserved) allNamesTaken(folder(), name, between);
    saveAs(target);
}

void frmRelationOutlook::saveAs(const CopyTarget& target) {
    if (!MailSave(oFileSelected.get(field::FileCurrentPath).toText(), target.path)) return;
    // A record of an earlier copy at that path goes; the item's record takes the path over.
    Object earlier = createObject(contract::progid::File);
    earlier.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), target.path});
    if (earlier.call(L"ExistFile").toBool()) earlier.callObject(L"GetOne").call(L"Delete");
    oFileSelected.call(L"UpDateName", {target.name});
    oFileSelected.call(L"UpDateType", {contract::kind::File});
    oFileSelected.call(L"UpDatePath", {target.path});
}

bool frmRelationOutlook::RelDownLoadItem() {
    return automation::qualified(qualifiedName(L"RelDownLoadItem"), [&] {
        Object settler = createObject(contract::progid::Settler);
        copyInto([&] { return settler.call(L"GetDownloadPath").toText(); }, oFileSelected.get(field::FileName).toText(),
                 L" of ");
        return false;
    });
}

bool frmRelationOutlook::RelDonwLoadItemOtherPath() {
    return automation::qualified(qualifiedName(L"RelDonwLoadItemOtherPath"), [&] {
        const ui::SavedFile chosen = support::services().files->saveFile(handle(), L"");
        if (chosen.path.empty()) return false;
        // The title as the user typed it: a typed ".msg" gets its own ".msg".
        const std::wstring folder = chosen.path.substr(0, chosen.path.find_last_of(L'\\'));
        copyInto([&] { return folder; }, chosen.title, L" ");
        return false;
    });
}

void frmRelationOutlook::copyChosen() {
    if (relate.chkLocalCopyDP.value()) RelDownLoadItem();
    if (relate.chkLocalCopyOP.value()) RelDonwLoadItemOtherPath();
}

}  // namespace qb::windows
