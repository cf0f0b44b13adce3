#include "windows/dialogs/exist_file_server.h"
#include "base/per_thread.h"

#include <commctrl.h>
#include <shellapi.h>

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "fileinfo/file_info.h"
#include "shell/file_function.h"
#include "support/services.h"
#include "ui/look/pictures.h"

namespace qb::windows {
namespace {

using automation::Object;
using support::createObject;

constexpr wchar_t kClash[] = L"The file's server already contains a file name \"";
// The record of the server's file of that name (positioned on its row).
Object serverFile(const std::wstring& name) {
    Object found = createObject(contract::progid::Gatehouse).callObject(L"GetOneFile", {name});
    if (!(found.get(L"BOF").toBool() && found.get(L"EOF").toBool())) found.call(L"MoveFirst");
    return found;
}

automation::Variant field(const Object& record, const wchar_t* name) {
    return record.callObject(L"fields", {name}).get(L"Value");
}

}  // namespace

FormSlot<frmExistFileServer>& existFileServerSlot() {
    return perThread<FormSlot<frmExistFileServer>>();
}

frmExistFileServer::frmExistFileServer()
    : Form({L"frmExistFileServer", L"Relations", 5085, 6000, RGB(224, 224, 224), true}) {
    cmdOk.isDefault = true;
    cmdOk.onClick = [this] { cmdOk_Click(); };
    opCancel.onClick = [this] { opCancel_Click(); };
    optRename.onClick = [this] { optRename_Click(); };
    optReplace.onClick = [this] { optReplace_Click(); };
    for (ui::OptionButton* option : {&optReplace, &optRename, &opCancel}) option->setGroup({&optReplace, &optRename, &opCancel});
    Picture2.onDraw = [this](HDC dc, const RECT& area) { drawPicture(dc, area, true); };
    Picture1.onDraw = [this](HDC dc, const RECT& area) { drawPicture(dc, area, false); };
    // Frames after what they hold, so that they lie beneath it; the tab order is the options',
    // then the new name, then Ok.
    // The title ends above "Server's Items", so that its second line shows whole.
    place({{lblTitle, {L"lblTitle", L"", {45, 60, 4920, 390}}},
           {Label1, {L"Label1", L"Server's Items", {75, 450, 2400, 195}}},
           {Picture2, {L"Picture2", L"", {165, 750, 240, 240}, 0, {}, L"Server's file"}},
           {SSPanel1, {L"SSPanel1", L"Name:", {165, 1005, 975, 285}}},
           {lblNameS, {L"lblNameS", L"", {1200, 1020, 3690, 255}, 0, {}, L"Server's file name"}},
           {SSPanel2, {L"SSPanel2", L"Created:", {165, 1320, 975, 285}}},
           {lblCreateS, {L"lblCreateS", L"", {1200, 1335, 3690, 255}, 0, {}, L"Server's file created"}},
           {SSPanel3, {L"SSPanel3", L"Size:", {165, 1650, 975, 285}}},
           {lblSizeS, {L"lblSizeS", L"", {1200, 1665, 3690, 255}, 0, {}, L"Server's file size"}},
           {Frame1, {L"Frame1", L"", {45, 630, 4950, 1470}}},
           {Label2, {L"Label2", L"File to Upload", {75, 2160, 2400, 195}}},
           {Picture1, {L"Picture1", L"", {165, 2445, 240, 240}, 0, {}, L"File to upload"}},
           {SSPanel4, {L"SSPanel4", L"Name:", {165, 2700, 975, 285}}},
           {lblName, {L"lblName", L"", {1200, 2715, 3690, 255}, 0, {}, L"File to upload name"}},
           {SSPanel5, {L"SSPanel5", L"Created:", {165, 3015, 975, 285}}},
           {lblCreated, {L"lblCreated", L"", {1200, 3030, 3690, 255}, 0, {}, L"File to upload created"}},
           {SSPanel6, {L"SSPanel6", L"Size:", {165, 3345, 975, 285}}},
           {lblSize, {L"lblSize", L"", {1200, 3360, 3690, 255}, 0, {}, L"File to upload size"}},
           {Frame2, {L"Frame2", L"", {45, 2325, 4950, 1470}}},
           {Label3, {L"Label3", L"Action", {75, 3825, 2400, 195}}},
           {optReplace, {L"optReplace", L"Replace to existing file with this one.", {300, 4245, 4620, 255}}},
           {optRename, {L"optRename", L"Rename the file before uploading to the server.", {300, 4590, 4620, 255}}},
           {opCancel, {L"opCancel", L"Cancel", {300, 5250, 4620, 255}}},
           {txtRename, {L"txtRename", L"", {990, 4890, 3885, 285}, 0, {}, L"New name"}},
           {Frame3, {L"Frame3", L"", {45, 3990, 4950, 1590}}},
           {cmdOk, {L"cmdOk", L"Ok", {4095, 5610, 885, 300}}}});
}

void frmExistFileServer::formLoad() {
    event(L"Form_Load", [&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        opCancel.choose();
        txtRename.setEnabled(false);
    });
}

bool frmExistFileServer::ExistServerItem(const std::wstring& pstrNameFile) {
    return automation::qualified(qualifiedName(L"ExistServerItem"),
                                 [&] { return field(serverFile(pstrNameFile), L"Return").toBool(); });
}

bool frmExistFileServer::LoadDataServerItem() {
    return automation::qualified(qualifiedName(L"LoadDataServerItem"), [&] {
        Object found = serverFile(strFileName);
        if (!field(found, L"Return").toBool()) return false;
        load();
        strFileServerPath = field(found, L"FullPath").toText();
        strFileServerType = field(found, L"Type").toText();
        lblNameS.showData(field(found, L"Name").toText());
        lblCreateS.showData(shell::FormatLongDateTime(field(found, L"DateCreation")));
        lblSizeS.showData(field(found, L"Size").toText() + L" bytes");
        return true;
    });
}

void frmExistFileServer::LoadDataFileItem() {
    automation::qualified(qualifiedName(L"LoadDataFileItem"), [&] {
        load();
        std::wstring path = strFilePath;
        ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
        fileinfo::CFileInfo file;
        file.setFullPathName(path);
        if (!file.FileExists()) return;
        lblName.showData(file.DisplayName());
        lblSize.showData(fileinfo::CFileInfo::FormatFileSize(file.FileSize()));
        lblCreated.showData(fileinfo::CFileInfo::FormatFileDate(file.CreationTime()));
    });
}

void frmExistFileServer::showForClash() {
    load();
    lblTitle.showData(kClash + strFileName + L".\"");
    Picture1.repaint();
    showModal();
}

frmExistFileServer::Choice frmExistFileServer::choice() const {
    if (!isLoaded()) return Choice::Cancel;
    if (optRename.value()) return Choice::Rename;
    if (optReplace.value()) return Choice::Replace;
    return Choice::Cancel;
}

void frmExistFileServer::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        strNewName.clear();
        if (optRename.value()) {
            const std::wstring typed = txtRename.text();
            if (automation::trimBlanks(typed).empty()) {
                support::services().prompter->messageBox(handle(), L"The name is missing.", L"Vellumdex",
                                                         MB_OK | MB_ICONSTOP);
                return;
            }
            strNewName = typed + strFileServerType;  // as typed: blanks stay
            if (!shell::IsPlainFileName(strNewName)) {
                support::services().prompter->messageBox(
                    handle(),
                    L"\"" + strNewName + L"\" is not a valid file name. A name can't contain any of the following characters: \\ / : * ? \" < > |",
                    L"Vellumdex", MB_OK | MB_ICONSTOP);
                strNewName.clear();
                return;
            }
            if (ExistServerItem(strNewName)) {
                support::services().prompter->messageBox(handle(), kClash + strNewName + L".\"", L"Vellumdex",
                                                         MB_OK | MB_ICONSTOP);
                return;
            }
        }
        hide();
    });
}

void frmExistFileServer::optRename_Click() {
    event(L"optRename_Click", [&] {
        txtRename.setEnabled(true);
        txtRename.setFocus();
    });
}

void frmExistFileServer::opCancel_Click() {
    event(L"opCancel_Click", [&] { txtRename.setEnabled(false); });
}

void frmExistFileServer::optReplace_Click() {
    event(L"optReplace_Click", [&] { txtRename.setEnabled(false); });
}

void frmExistFileServer::drawPicture(HDC dc, const RECT& area, bool server) {
    const int size = std::min(area.right - area.left, area.bottom - area.top);
    if (server) {
        if (!pictures_ || picturesSize_ != size) pictures_ = ui::attachmentPictures(picturesSize_ = size);
        ImageList_DrawEx(pictures_.get(), ui::kServerPicture - 1, dc, area.left, area.top, size, size, CLR_NONE,
                         CLR_NONE, ILD_TRANSPARENT);
        return;
    }
    // The local file: the shell's icon of its type.
    SHFILEINFOW shell{};
    if (::SHGetFileInfoW(strFilePath.empty() ? L"file" : strFilePath.c_str(), FILE_ATTRIBUTE_NORMAL, &shell,
                         sizeof shell, SHGFI_ICON | (size > 16 ? SHGFI_LARGEICON : SHGFI_SMALLICON) | SHGFI_USEFILEATTRIBUTES)) {
        UniqueIcon icon(shell.hIcon);
        ::DrawIconEx(dc, area.left, area.top, icon.get(), size, size, 0, nullptr, DI_NORMAL);
    }
}

}  // namespace qb::windows
