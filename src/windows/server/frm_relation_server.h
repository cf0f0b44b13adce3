#pragma once
// frmRelationServer: the relation window of an item kept on the suite's file server. How the user
// keeps the server file: as a link, or also as a local copy made on "Ok" (in the suite's download
// folder or in one the user picks), fetched by the suite's downloader.
#include <string>

#include "windows/relation/remote_item_window.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

class frmRelationServer final : public RemoteItemWindow {
public:
    frmRelationServer();
    ~frmRelationServer() override;

    // Procedures (failures leave them with the window's qualified name appended).
    std::wstring GetFileServerPath(const std::wstring& pstrUrl);
    CopyOutcome RelDownLoadFile();
    CopyOutcome RelDonwLoadFileOtherPath();

protected:
    void recordShown() override;
    CopyOutcome copyChosen() override;
};

}  // namespace qb::windows
