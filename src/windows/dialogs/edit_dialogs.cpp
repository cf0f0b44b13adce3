#include "windows/dialogs/edit_dialogs.h"

#include <algorithm>
#include <cwctype>

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"

namespace qb::windows {
namespace {

constexpr COLORREF kDialogBack = RGB(224, 224, 224);
constexpr wchar_t kCaption[] = L"Relations";

}  // namespace

EditFieldDialog::EditFieldDialog(ui::FormSpec design, std::wstring field, std::wstring updateMember)
    : Form(std::move(design)), field_(std::move(field)), updateMember_(std::move(updateMember)) {
    cmdOk.isDefault = true;
    cmdOk.onClick = [this] { cmdOk_Click(); };
}

void EditFieldDialog::place(ui::Panel& caption, const ui::Placement& captionAt, ui::TextBox& box,
                            const ui::Placement& boxAt, ui::Bounds okAt) {
    textBox_ = &box;
    box.onKeyPress = [this](short& key) { textBox_KeyPress(key); };
    Form::place({{caption, captionAt}, {box, boxAt}, {cmdOk, {L"cmdOk", L"Ok", okAt}}});
}

void EditFieldDialog::formLoad() {
    event(L"Form_Load", [&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        textBox_->setText(oFileSelected.get(field_).toText());
        strOldText = textBox_->text();
        fieldLoaded();
    });
}

void EditFieldDialog::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        std::wstring current = textBox_->text();
        if (automation::trimBlanks(current) != automation::trimBlanks(strOldText)) oFileSelected.call(updateMember_, {current});
        unload();
    });
}

void EditFieldDialog::textBox_KeyPress(short& keyAscii) {
    automation::ignoreFailure([&] {
        if (keyAscii == 13) cmdOk_Click();
    });
}

frmEditName::frmEditName()
    : EditFieldDialog({L"frmEditName", kCaption, 5370, 930, kDialogBack, true}, contract::field::FileName, L"UpDateName") {
    place(fsdfsd, {L"fsdfsd", L"Name:", {-45, 135, 870, 330}}, txtName,
          {L"txtName", L"", {735, 180, 4530, 285}, 0, {}, L"Name"}, {4260, 525, 1005, 330});
}

frmEditComment::frmEditComment()
    : EditFieldDialog({L"frmEditComment", kCaption, 5280, 2160, kDialogBack, true}, contract::field::FileComment,
                      L"UpDateComment") {
    place(SSPanel7, {L"SSPanel7", L"Comment: ", {45, 15, 1125, 360}}, txtComment,
          {L"txtComment", L"", {30, 405, 5205, 1320}, 0, {}, L"Comment"}, {4230, 1770, 1005, 330});
}

frmEditPath::frmEditPath()
    : EditFieldDialog({L"frmEditPath", kCaption, 5385, 855, kDialogBack, true}, contract::field::FileCurrentPath,
                      L"UpDatePath") {
    place(lblPath, {L"lblPath", L"Path:", {0, 60, 870, 330}}, txtPath,
          {L"txtPath", L"", {780, 105, 4530, 285}, 0, {}, L"Path"}, {4305, 450, 1005, 330});
}

std::wstring frmEditPath::labelFor(const std::wstring& fileType) {
    std::wstring t = fileType;
    std::transform(t.begin(), t.end(), t.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    if (t == L"web") return L"Link:";
    if (t == L"outlook") return L"ID:";
    return L"Path:";  // "file", "server" and anything else
}

void frmEditPath::fieldLoaded() {
    lblPath.setText(labelFor(oFileSelected.get(contract::field::FileType).toText()));
}

}  // namespace qb::windows
