#pragma once
// The three edit dialogs: one design (a caption panel, one text box, "Ok") for the item's
// name, comment and path.
#include <string>

#include "automation/object.h"
#include "ui/window/form.h"

namespace qb::windows {

class EditFieldDialog : public ui::Form {
public:
    // The item record, set by the opener before the load.
    automation::Object oFileSelected;
    // The text box content right after the load filled it in.
    std::wstring strOldText;
    ui::Button cmdOk;

    void cmdOk_Click();
    // The text box's key press: Enter (13) confirms.
    void textBox_KeyPress(short& keyAscii);
    ui::TextBox& textBox() { return *textBox_; }

protected:
    // `field` is read into the text box at load; `updateMember` of the record is called on a change.
    EditFieldDialog(ui::FormSpec design, std::wstring field, std::wstring updateMember);
    // The dialog's controls, from the dialog's own constructor (once its members exist): the
    // caption panel, the text box it labels, and "Ok".
    void place(ui::Panel& caption, const ui::Placement& captionAt, ui::TextBox& box, const ui::Placement& boxAt,
               ui::Bounds okAt);
    void formLoad() override;
    // Runs after the field is in the text box (frmEditPath sets its label here).
    virtual void fieldLoaded() {}

private:
    ui::TextBox* textBox_ = nullptr;
    std::wstring field_, updateMember_;
};

class frmEditName final : public EditFieldDialog {
public:
    frmEditName();
    ui::Panel fsdfsd;
    ui::TextBox txtName;
};

class frmEditComment final : public EditFieldDialog {
public:
    frmEditComment();
    ui::Panel SSPanel7;
    ui::MultiLineTextBox txtComment;
};

class frmEditPath final : public EditFieldDialog {
public:
    frmEditPath();
    ui::Panel lblPath;
    ui::TextBox txtPath;
    // The label caption for an item type: "Path:", "Link:" or "ID:".
    static std::wstring labelFor(const std::wstring& fileType);

protected:
    void fieldLoaded() override;
};

}  // namespace qb::windows
