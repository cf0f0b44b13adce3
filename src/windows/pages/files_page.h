#pragma once
// The Files page of every relation window: the items attached to the window's item, of every
// kind, with their icons; attaching local files (chosen in the file-open dialog or dropped from
// the shell), removing the ticked ones, opening the selected one with the program of its kind.
#include <string>
#include <vector>

#include "ui/controls/list_view.h"
#include "ui/window/drop_target.h"
#include "windows/pages/relation_context.h"
#include "windows/shared/attachment_icons.h"

namespace qb::windows {

class FilesPage {
public:
    explicit FilesPage(RelationContext context, AttachmentIcons::Lookup iconLookup = {});
    FilesPage(const FilesPage&) = delete;
    FilesPage& operator=(const FilesPage&) = delete;

    ui::Label lblFiles;
    ui::TaggedList lstFileRel;  // column 2 (hidden): the kind
    ui::Button cmdAddAttach, cmdDelAttach, cmdOpen;

    // The controls where the local file window has them (twips, on one tab page).
    ui::LayoutTable layout(int page);
    // Once the window exists: columns, pictures, and the list as a drop target for files.
    void prepare();
    // Before the window goes.
    void detach() { drop_.revoke(); }

    // Procedures (failures leave them with the window's qualified name appended).
    void LoadFileRelationed();
    void Get_Icon(const automation::Object& record);
    void OpenItem();
    // After a failure elsewhere: the list read again; a failure of this is logged only.
    void resync(const automation::ComError& reported) noexcept;

    // Event handlers (failures reported under the window's qualified names).
    void cmdAddAttach_Click();
    void cmdDelAttach_Click();
    void cmdOpen_Click();
    void lstFileRel_DblClick();
    void lstFileRel_OLEDragDrop(const std::vector<std::wstring>& paths);
    // The list's own events: a click on an item toggles its box; ticking or clearing a box
    // selects the item.
    void lstFileRel_ItemClick(int item);
    void lstFileRel_ItemCheck(int item);

    // A row's tool tip: the attached item's path, address, server path or entry id.
    const std::wstring& toolTip(int row) const { return tips_.at(static_cast<size_t>(row)); }
    const AttachmentIcons& icons() const { return icons_; }
    // Whether files dropped from the shell are taken (OLE is initialised on the thread).
    bool takesDrops() const { return drop_.registered(); }
    const automation::ComPtr<IDropTarget>& dropTarget() const { return drop_.target(); }

private:
    LRESULT listNotify(NMHDR* header);
    // Stores the attachment of one local file; false when the suite gives no record for it.
    bool attach(const std::wstring& path);

    RelationContext ctx_;
    AttachmentIcons icons_;
    std::vector<std::wstring> tips_;  // one per row
    bool filling_ = false;            // the list's check events while rows go in are not the user's
    ui::FileDropRegistration drop_;
};

}  // namespace qb::windows
