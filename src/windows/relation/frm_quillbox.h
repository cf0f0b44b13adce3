#pragma once
// frmQuillbox: the relation window of an item: the Info, Keywords, Themes, Files and Server
// pages on a tab control, the view chooser, "Ok", and the connection-state control.
#include <memory>
#include <string>

#include "automation/object.h"
#include "fileinfo/file_info.h"
#include "windows/pages/files_page.h"
#include "windows/pages/info_page.h"
#include "windows/pages/keywords_page.h"
#include "windows/pages/server_page.h"
#include "windows/pages/themes_page.h"
#include "windows/shared/connection_watch.h"

namespace qb::windows {

class frmQuillbox final : public ui::Form {
public:
    frmQuillbox();
    ~frmQuillbox() override;

    // Set by the opener before the load step.
    automation::Object oFileSelected;
    std::wstring m_UserFile;
    // The keyword view in use, kept per user in the registry.
    short SelectedViewId = 0;
    // The list a drag started from: "lstKey" (the tree) or "lstKeyRel".
    std::wstring StartDrag;
    std::unique_ptr<fileinfo::CFileInfo> fi;

    ui::TabStrip ssTab;
    ui::Button cmdOk;
    ui::Button cmdView;  // on the Keywords page; its caption names the view in use
    InfoPage info;
    KeywordsPage keywords;
    ThemesPage themes;
    FilesPage files;
    ServerPage server;

    static constexpr int kInfoTab = 1, kKeywordsTab = 2, kServerTab = 5;

    // Loads the window (the opener's first use of it).
    // Header of a local file: its shell icon.
    void LoadFileInfo(std::wstring fil);
    // Header of an item that is not a local file: the picture of its kind.
    void LoadFileOutlookInfo(const std::wstring& pstrName, const std::wstring& pstrType);
    static long ConvertTwipsToPixels(long lngTwips, long lngDirection);
    void LoadSelectView();

    // Event handlers.
    void cmdView_Click();
    void cmdOk_Click();
    void cmdUpload_Click() { server.cmdUpload_Click(); }
    void CheckState1_ChangeState();
    void CheckState1_ChangeView(short viewId);

    void ConfigGrid() { themes.ConfigGrid(); }
    void LoadMemoRelationed() { themes.LoadMemoRelationed(); }
    void LoadFileRelationed() { files.LoadFileRelationed(); }

protected:
    void formLoad() override;
    void formUnload() override {
        files.detach();
        CheckState1.stop();
    }
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    RelationContext context();
    void resync(const automation::ComError& reported) noexcept;
    void uploadDone();
    ConnectionWatch CheckState1;
};

}  // namespace qb::windows
