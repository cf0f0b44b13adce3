#include "windows/outlook/frm_relation_outlook.h"

#include "automation/failure.h"
#include "automation/text.h"
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
                        {L"fradownload", L"Out&look's Item"}, {L"SSPanel6", L"Item &Id: "}}),
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
    return automation::qualified(qualifiedName(L"MailSave"), [&] {
        const Object mapi = shell::OutlookSession(handle());
        if (mapi.isNothing()) return false;
        Object item = mapi.callObject(L"GetItemFromID", {identifier});
        if (item.isNothing())
            throw ComError(automation::err::FileNotFound,
                           L"The mail client has no item with the id " + identifier +
                               L" (it may have been moved or deleted). No copy was saved.",
                           automation::kComponentSource);
        Object safe = createObject(L"Redemption.SafeMailItem");
        safe.putRef(L"Item", automation::Variant(item.ptr()));
        if (target.empty()) return false;
        safe.call(L"SaveAs", {target, kOutlookMessageFile});
        return true;
    });
}

CopyOutcome frmRelationOutlook::copyInto(const std::function<std::wstring()>& folder, const std::wstring& title,
                                         const wchar_t* between) {
    // A blank subject would make a file named ".msg".
    const std::wstring named = automation::trimBlanks(MakeFileName(title, L"")) == L"." ? L"Untitled" : title;
    const std::wstring name = fitted(MakeFileName(named, L"msg"), folder(), between);
    requirePlainName(name);
    ReservedTarget target(folder, name, between);
    // Not running: the user was told; the window stays for another try once it runs.
    if (!MailSave(oFileSelected.get(field::FileCurrentPath).toText(), target.path())) return CopyOutcome::Cancelled;
    handOver(target);
    target.keep();
    return CopyOutcome::Made;
}

void frmRelationOutlook::handOver(ReservedTarget& target) {
    RecordAside earlier(recordAt(target.path()));
    changeRecord(oFileSelected,
                 {{L"UpDateName", oFileSelected.get(field::FileName).toText(), target.name()},
                  {L"UpDateType", oFileSelected.get(field::FileType).toText(), contract::kind::File},
                  {L"UpDatePath", oFileSelected.get(field::FileCurrentPath).toText(), target.path()}},
                 [&] { target.keep(); });  // the record may name it
    earlier.drop();
}

CopyOutcome frmRelationOutlook::RelDownLoadItem() {
    return automation::qualified(qualifiedName(L"RelDownLoadItem"), [&] {
        return copyInto(downloadFolder, oFileSelected.get(field::FileName).toText(), L" of ");
    });
}

CopyOutcome frmRelationOutlook::RelDonwLoadItemOtherPath() {
    return automation::qualified(qualifiedName(L"RelDonwLoadItemOtherPath"), [&] {
        // The dialog proposes the item's name as a file name would have it, without the ".msg"
        // that is added to whatever the user chooses.
        std::wstring proposed = MakeFileName(oFileSelected.get(field::FileName).toText(), L"");
        proposed.pop_back();
        const ui::SavedFile chosen =
            support::services().files->saveFile(handle(), shell::IsPlainFileName(proposed) ? proposed : L"");
        if (chosen.path.empty()) return CopyOutcome::Skipped;
        // The title as the user typed it: a typed ".msg" gets its own ".msg".
        const std::wstring folder = chosen.path.substr(0, chosen.path.find_last_of(L'\\'));
        return copyInto([&] { return folder; }, chosen.title, L" ");
    });
}

CopyOutcome frmRelationOutlook::copyChosen() {
    if (relate.chkLocalCopyDP.value()) return RelDownLoadItem();
    if (relate.chkLocalCopyOP.value()) return RelDonwLoadItemOtherPath();
    return CopyOutcome::Skipped;
}

}  // namespace qb::windows
