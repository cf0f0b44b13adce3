#include "windows/dialogs/edit_dialogs.h"

#include <algorithm>
#include <cwctype>

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"

namespace qb::windows {
namespace {

using ui::ControlKind;
constexpr COLORREF kDialogBack = RGB(224, 224, 224);
constexpr wchar_t kCaption[] = L"Relations";

EditFieldDesign nameDesign() {
    return {{L"frmEditName",
             kCaption,
             5370,
             930,
             kDialogBack,
             {{L"fsdfsd", ControlKind::Panel, L"Name:", -45, 135, 870, 330},
              {L"txtName", ControlKind::TextBox, L"", 735, 180, 4530, 285},
              {L"cmdOk", ControlKind::Button, L"Ok", 4260, 525, 1005, 330}}},
            L"txtName",
            contract::field::FileName,
            L"UpDateName"};
}

EditFieldDesign commentDesign() {
    return {{L"frmEditComment",
             kCaption,
             5280,
             2160,
             kDialogBack,
             {{L"SSPanel7", ControlKind::Panel, L"Comment: ", 45, 15, 1125, 360},
              {L"txtComment", ControlKind::MultiLineTextBox, L"", 30, 405, 5205, 1320},
              {L"cmdOk", ControlKind::Button, L"Ok", 4230, 1770, 1005, 330}}},
            L"txtComment",
            contract::field::FileComment,
            L"UpDateComment"};
}

EditFieldDesign pathDesign() {
    return {{L"frmEditPath",
             kCaption,
             5385,
             855,
             kDialogBack,
             {{L"lblPath", ControlKind::Panel, L"Path:", 0, 60, 870, 330},
              {L"txtPath", ControlKind::TextBox, L"", 780, 105, 4530, 285},
              {L"cmdOk", ControlKind::Button, L"Ok", 4305, 450, 1005, 330}}},
            L"txtPath",
            contract::field::FileCurrentPath,
            L"UpDatePath"};
}

}  // namespace

EditFieldDialog::EditFieldDialog(EditFieldDesign design) : Form(design.form), design_(std::move(design)) {}

void EditFieldDialog::formLoad() {
    event(L"Form_Load", [&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        setText(design_.textBox, oFileSelected.get(design_.field).toText());
        strOldText = text(design_.textBox);
        fieldLoaded();
    });
}

void EditFieldDialog::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        std::wstring current = text(design_.textBox);
        if (automation::trimBlanks(current) != automation::trimBlanks(strOldText)) oFileSelected.call(design_.updateMember, {current});
        unload();
    });
}

void EditFieldDialog::textBox_KeyPress(short& keyAscii) {
    automation::ignoreFailure([&] {
        if (keyAscii == 13) cmdOk_Click();
    });
}

void EditFieldDialog::click(std::wstring_view control) {
    if (control == L"cmdOk") cmdOk_Click();
}

void EditFieldDialog::keyPress(std::wstring_view control, short& keyAscii) {
    if (control == design_.textBox) textBox_KeyPress(keyAscii);
}

frmEditName::frmEditName() : EditFieldDialog(nameDesign()) {}
frmEditComment::frmEditComment() : EditFieldDialog(commentDesign()) {}
frmEditPath::frmEditPath() : EditFieldDialog(pathDesign()) {}

std::wstring frmEditPath::labelFor(const std::wstring& fileType) {
    std::wstring t = fileType;
    std::transform(t.begin(), t.end(), t.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    if (t == L"web") return L"Link:";
    if (t == L"outlook") return L"ID:";
    return L"Path:";  // "file", "server" and anything else
}

void frmEditPath::fieldLoaded() {
    setText(L"lblPath", labelFor(oFileSelected.get(contract::field::FileType).toText()));
}

}  // namespace qb::windows
