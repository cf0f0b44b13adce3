#pragma once
// frmExistFileServer: the file server already holds a file of the name being uploaded. Shows the
// server's file and the local one side by side and lets the user replace the server's, upload
// under a new name, or cancel. It sends and deletes nothing itself: the upload reads the choice
// back. One instance serves the component's life: Ok hides it (the choice and the typed name stay
// for the next clash), the close box unloads it (the next clash starts from the design).
#include <string>

#include "base/handles.h"
#include "ui/window/form.h"
#include "windows/form_slot.h"

namespace qb::windows {

class frmExistFileServer final : public ui::Form {
public:
    frmExistFileServer();

    // Set by the opener.
    std::wstring strFileName, strFilePath;
    // Set by LoadDataServerItem.
    std::wstring strFileServerPath, strFileServerType;
    // The new name when Ok was pressed with "Rename" chosen; empty otherwise.
    std::wstring strNewName;

    ui::Label lblTitle;
    ui::Label Label1, Label2, Label3;
    ui::Frame Frame1, Frame2, Frame3;
    ui::Picture Picture2, Picture1;
    ui::Panel SSPanel1, SSPanel2, SSPanel3, SSPanel4, SSPanel5, SSPanel6;
    ui::Label lblNameS, lblCreateS, lblSizeS;  // the server's file
    ui::Label lblName, lblCreated, lblSize;     // the local file
    ui::OptionButton optReplace, optRename, opCancel;
    ui::TextBox txtRename;
    ui::Button cmdOk;

    // Procedures (failures leave them with the dialog's qualified name appended).
    bool ExistServerItem(const std::wstring& pstrNameFile);
    bool LoadDataServerItem();
    void LoadDataFileItem();

    // Event handlers.
    void cmdOk_Click();
    void opCancel_Click();
    void optRename_Click();
    void optReplace_Click();

    enum class Choice { Cancel, Rename, Replace };
    // The option selected; Cancel while the dialog is not loaded (closed: its design's state).
    Choice choice() const;
    // Shows the dialog modally for the clash of strFileName; returns when it is hidden or closed.
    void showForClash();

protected:
    void formLoad() override;

private:
    void drawPicture(HDC dc, const RECT& area, bool server);
    UniqueImageList pictures_;
    int picturesSize_ = 0;
};

// The dialog's slot on the calling thread: one instance for the component's life.
FormSlot<frmExistFileServer>& existFileServerSlot();

}  // namespace qb::windows
