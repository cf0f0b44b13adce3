#pragma once
// frmMemoRelation: a new memo for the window's item: its text, one of four colour themes, and the
// category it is filed in, chosen in the suite's category tree (an ActiveX control of the suite,
// hosted here). Ok stores the memo and files it, then the dialog closes; the opener reads nothing
// back and fills its memo list from the suite again.
#include <string>

#include "automation/object.h"
#include "base/handles.h"
#include "ui/activex/control_site.h"
#include "ui/activex/event_connection.h"
#include "ui/controls/image_combo.h"
#include "ui/window/form.h"
#include "windows/shared/connection_watch.h"

namespace qb::windows {

// {AEDDF682-E305-4969-B5C7-D00253799E79}: the category tree's event interface.
inline constexpr IID DIID_CategoryTreeEvents = {0xaeddf682, 0xe305, 0x4969, {0xb5, 0xc7, 0xd0, 0x0b, 0x53, 0x79, 0x9e, 0x79}};
inline constexpr wchar_t kCategoryTreeProgId[] = L"Tesra.CategoryTree";

class frmMemoRelation final : public ui::Form {
public:
    frmMemoRelation();
    ~frmMemoRelation() override;

    // Set by the opener before the dialog loads.
    automation::Object oSelectedFile;
    automation::Variant SelectViewID;
    // The category chosen in the tree; 0 while none is.
    long selectCatId = 0;
    // False while the text box shows the placeholder.
    bool blnText = false;

    static constexpr wchar_t kPlaceholder[] = L"Type the text here\u2026";

    ui::Panel SSPanel3;
    ui::Label lblText;
    ui::MultiLineTextBox txtMemoFile;
    ui::Label lblTheme;
    ui::ImageCombo cboTheme;
    ui::Label lblCategory;
    ui::ActiveXControl TreeCategory1;
    ui::Button cmdOk, cmdExit;

    // The text without carriage returns and line feeds.
    static std::wstring CleanText(const std::wstring& text);
    // Procedures (failures leave them with the dialog's qualified name appended).
    void LoadComboItems();

    // Event handlers.
    void cboTheme_Click();
    void txtMemoFile_KeyDown(WORD keyCode, int shift);
    void TreeCategory1_ChangeItem(const std::wstring& name, long id, const std::wstring& kind);
    void TreeCategory1_TreeChanged();
    void cmdOk_Click();
    void cmdExit_Click();
    void CheckState1_ChangeState();
    void CheckState1_ChangeView(short) {}

protected:
    void formLoad() override;
    void formUnload() override;

private:
    UniqueImageList imgTheme_;
    ui::EventConnection treeEvents_;
    ConnectionWatch CheckState1;
};

}  // namespace qb::windows
