#include "windows/server/frm_relation_server.h"

#include "automation/failure.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

frmRelationServer::frmRelationServer()
    : RemoteItemWindow({L"frmRelationServer", L"Info|Keywords|Themes|File", {}, {}}) {}

frmRelationServer::~frmRelationServer() { unload(); }

// No header procedure in this window: the header and the option picture show the link.
void frmRelationServer::recordShown() {
    info.showKindPicture(L"Link");
    relate.Picture2.repaint();
}

std::wstring frmRelationServer::GetFileServerPath(const std::wstring& pstrUrl) {
    return automation::qualified(qualifiedName(L"GetFileServerPath"), [&] { return shell::GetFileServerPath(pstrUrl); });
}

CopyOutcome frmRelationServer::RelDownLoadFile() {
    return automation::qualified(qualifiedName(L"RelDownLoadFile"), [&] {
        const std::wstring path = oFileSelected.get(contract::field::FileCurrentPath).toText();
        return copyToDownloadFolder({GetFileServerPath(path), oFileSelected, handle()}, copyName(lastSegment(path)));
    });
}

CopyOutcome frmRelationServer::RelDonwLoadFileOtherPath() {
    return automation::qualified(qualifiedName(L"RelDonwLoadFileOtherPath"), [&] {
        const std::wstring address = GetFileServerPath(oFileSelected.get(contract::field::FileCurrentPath).toText());
        return copyToChosenFolder({address, oFileSelected, handle()}, lastSegment(address));
    });
}

CopyOutcome frmRelationServer::copyChosen() {
    if (relate.chkLocalCopyDP.value()) return RelDownLoadFile();
    if (relate.chkLocalCopyOP.value()) return RelDonwLoadFileOtherPath();
    return CopyOutcome::Skipped;
}

}  // namespace qb::windows
