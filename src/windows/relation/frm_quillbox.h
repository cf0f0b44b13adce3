#pragma once
// frmQuillbox: the relation window of an item: the Info, Keywords, Themes, Files and Server
// pages on a tab control, the view chooser, "Ok", and the connection-state control.
#include <memory>
#include <string>

#include "fileinfo/file_info.h"
#include "windows/pages/server_page.h"
#include "windows/relation/relation_window.h"

namespace qb::windows {

class frmQuillbox final : public RelationWindow {
public:
    frmQuillbox();
    ~frmQuillbox() override;

    // Set by the opener before the load step.
    std::wstring m_UserFile;
    std::unique_ptr<fileinfo::CFileInfo> fi;

    ui::TabStrip ssTab;
    InfoPage info;
    KeywordsPage keywords;
    ThemesPage themes;
    FilesPage files;
    ServerPage server;

    static constexpr int kInfoTab = 1, kKeywordsTab = 2, kFilesTab = 4, kServerTab = 5;

    // Loads the window (the opener's first use of it).
    // Header of a local file: its shell icon.
    void LoadFileInfo(std::wstring fil);
    // Header of an item that is not a local file: the picture of its kind.
    void LoadFileOutlookInfo(const std::wstring& pstrName, const std::wstring& pstrType);
    static long ConvertTwipsToPixels(long lngTwips, long lngDirection);

    // Event handlers.
    void cmdOk_Click();
    void cmdUpload_Click() { server.cmdUpload_Click(); }

    void ConfigGrid() { themes.ConfigGrid(); }
    void LoadMemoRelationed() { themes.LoadMemoRelationed(); }
    void LoadFileRelationed() { files.LoadFileRelationed(); }

protected:
    void preparePages() override { server.prepare(); }
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void uploadDone();
};

}  // namespace qb::windows
