#pragma once
// frmRelationOutlook: the relation window of an item of the mail client (a mail, a contact, a
// task, an appointment or a note), twin of the server item window. Its header shows the item's
// type; "Update Info" writes name and comment (the entry identifier is the suite's key of the
// item); the Server tab's button runs the component's diagnostic upload; and "Ok" can save the
// item through the mail client as a message file, which the item's record then describes.
#include <functional>
#include <string>

#include "windows/pages/server_page.h"
#include "windows/relation/remote_item_window.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

class frmRelationOutlook final : public RemoteItemWindow {
public:
    frmRelationOutlook();
    ~frmRelationOutlook() override;

    ServerPage server;
    static constexpr int kServerTab = 5;

    // The name without \ / : * " < > | (nothing else removed), then "." and `pstrSaveAs`.
    static std::wstring MakeFileName(const std::wstring& pstrName, const std::wstring& pstrSaveAs);
    // Saves the mail client's item as a message file at `target`; true when the save completed.
    // Without the mail client running the user is told and false is answered; an item the mail
    // client does not know, or a save it refuses, raises.
    bool MailSave(const std::wstring& identifier, const std::wstring& target);
    // The copy in the suite's download folder, and in a folder the user picks. A copy saved makes
    // the item's record a local file record of it; a copy not made leaves no file and the record
    // as it was.
    CopyOutcome RelDownLoadItem();
    CopyOutcome RelDonwLoadItemOtherPath();

    // Event handlers.
    void cmdUpload_Click() { server.cmdUpload_Click(); }

protected:
    void preparePages() override;
    void recordShown() override;
    CopyOutcome copyChosen() override;

private:
    // A copy named after `title` in `folder()`: the name made, checked and reserved (a taken one
    // numbered "Copy (n)" + `between` + name), the item saved there, the record handed over.
    CopyOutcome copyInto(const std::function<std::wstring()>& folder, const std::wstring& title, const wchar_t* between);
    // The item's record becomes the record of the saved file; a record of an earlier copy at that
    // path goes once it has. A step that fails puts back what the others changed, and raises; a
    // record that could not be put back keeps the saved file it may name.
    void handOver(ReservedTarget& target);
};

}  // namespace qb::windows
