#pragma once
// The Info page of every relation window: the item's header picture, its name, path and comment,
// and "Update Info", which writes the three back to the suite.
#include <string>

#include "base/handles.h"
#include "fileinfo/file_info.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

// The label of the path box; the mail item window's is "SSPanel6", "Item Id: ".
struct InfoPathLabel {
    const wchar_t* name = L"lblPath";
    const wchar_t* caption = L"&Path:";
};

class InfoPage {
public:
    explicit InfoPage(RelationContext context);
    InfoPage(const InfoPage&) = delete;
    InfoPage& operator=(const InfoPage&) = delete;

    ui::Picture picIcon;
    ui::Label lblName;
    ui::TextBox txtNameUpdate;
    ui::Label lblPath;
    ui::TextBox txtPathUpdate;
    ui::Label lblComment;
    ui::MultiLineTextBox txtComment;
    ui::Button cmdUpdateData;

    // The controls where the local file window has them (twips, on one tab page).
    ui::LayoutTable layout(int page, InfoPathLabel pathLabel = {});
    // Once the window exists, for a record whose path is the suite's key of the item (a mail
    // item's entry identifier): the path box is read-only and "Update Info" never writes it.
    void keepPath() { txtPathUpdate.setReadOnly(true); }

    // At the start of the load: nothing is shown from the record yet.
    void prepare();
    // When the window goes: the record shown is let go.
    void detach() { prepare(); }
    // The three boxes from the record; "Update Info" is available from then on.
    void showRecord();
    // After an upload: the boxes and the header show the new server item, whose path is the
    // server's own (not editable); "Update Info" writes to that item from then on.
    void showUploaded(const automation::Object& serverItem);
    // The header: a local file's shell icon, or the picture of an item kind ("Mail", "Server"...).
    // The file stays the window's; the page draws its icon until told otherwise.
    void showFileIcon(const fileinfo::CFileInfo* file);
    void showKindPicture(const std::wstring& key);
    // The picture of an Outlook item's type ("OutlookMail", "OutlookContact"...); another type
    // leaves the picture as it was. `anyCase`: the type compared in lower case (the mail item
    // window does).
    void showOutlookKind(std::wstring type, bool anyCase);
    const std::wstring& headerPicture() const { return headerPicture_; }

    void cmdUpdateData_Click();

private:
    void show(const automation::Object& record);
    void drawHeader(HDC dc, const RECT& area);

    RelationContext ctx_;
    const fileinfo::CFileInfo* file_ = nullptr;
    // The record whose fields the boxes hold; nothing until they hold one: only then may
    // "Update Info" write them back.
    automation::Object shown_;
    std::wstring headerPicture_;
    UniqueImageList kindPictures_;  // imgOutlook
    int kindSize_ = 0;
};

}  // namespace qb::windows
