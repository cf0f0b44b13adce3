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

void frmRelationServer::copyChosen() {
    if (relate.chkLocalCopyDP.value()) RelDownLoadFile();
    if (relate.chkLocalCopyOP.value()) RelDonwLoadFileOtherPath();
}

}  // namespace qb::windows
