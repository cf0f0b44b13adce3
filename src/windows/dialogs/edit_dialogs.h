#pragma once
// The three edit dialogs: one design (a caption panel, one text box, "Ok") for the item's
// name, comment and path.
#include <string>

#include "automation/object.h"
#include "ui/form.h"

namespace qb::windows {

struct EditFieldDesign {
    ui::FormSpec form;
    std::wstring textBox;       // the text box's control name
    std::wstring field;         // record field read at load
    std::wstring updateMember;  // record member called on a change
};

class EditFieldDialog : public ui::Form {
public:
    // The item record, set by the opener before the load.
    automation::Object oFileSelected;
    // The text box content right after the load filled it in.
    std::wstring strOldText;

    void cmdOk_Click();
    // The text box's key press: Enter (13) confirms.
    void textBox_KeyPress(short& keyAscii);
    const std::wstring& textBoxName() const { return design_.textBox; }

protected:
    explicit EditFieldDialog(EditFieldDesign design);
    void formLoad() override;
    void click(std::wstring_view control) override;
    void keyPress(std::wstring_view control, short& keyAscii) override;
    // Runs after the field is in the text box (frmEditPath sets its label here).
    virtual void fieldLoaded() {}

private:
    EditFieldDesign design_;
};

class frmEditName final : public EditFieldDialog {
public:
    frmEditName();
};

class frmEditComment final : public EditFieldDialog {
public:
    frmEditComment();
};

class frmEditPath final : public EditFieldDialog {
public:
    frmEditPath();
    // The label caption for an item type: "Path:", "Link:" or "ID:".
    static std::wstring labelFor(const std::wstring& fileType);

protected:
    void fieldLoaded() override;
};

}  // namespace qb::windows
