#pragma once
// The Themes page of the web page window: one memo of the page, its theme, and the category it is
// filed in (the view's categories as an indented list; a new one made through the suite's
// dialog). The memo is stored by the window's "Ok" (insert, update or delete); the page also
// relates the keywords the suite recommends for a proposed memo.
#include <string>

#include "base/handles.h"
#include "ui/controls/image_combo.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

// The window's members the page works with.
struct WebMemoMembers {
    std::wstring& strMemo;      // the memo text proposed by the opener
    bool& blnEditMemo;          // the page has a memo: "Ok" updates it
    short& SelectedCatId;       // the category chosen, 0 for none
    long& SelectedMemoId;       // the page's memo
    long& SelectedTheme;        // its theme position
};

class WebMemoPage {
public:
    WebMemoPage(RelationContext context, WebMemoMembers members);
    WebMemoPage(const WebMemoPage&) = delete;
    WebMemoPage& operator=(const WebMemoPage&) = delete;

    ui::Panel SSPanel3;
    ui::CheckBox chkMemo;
    ui::MultiLineTextBox txtMemo;
    ui::Label lblTheme;
    ui::ImageCombo cboTheme;
    ui::Label lblCategory;
    ui::ImageCombo cmbFolders;
    ui::Button cmdAddCategory;
    ui::Frame fmMemo;

    ui::LayoutTable layout(int page);
    // Once the window exists: the pictures of both combos.
    void prepare();
    // How many memos the page has, in every view (what DeleteMemo deletes).
    int allMemoCount();
    // The category list, filled once (the first time the Themes tab shows, or when the page's
    // memo is shown and its category must be found in it).
    void ensureFolders();
    // After a change of view: the list of the new view's categories (when it was filled), and
    // no category of the old one kept.
    void viewChanged();

    // Procedures (failures leave them with the window's qualified name appended).
    void LoadComboItems();
    void LoadMemo();
    void EditMemo();
    void SaveMemo();
    void UpdateMemo();
    void DeleteMemo();
    void LoadFolders();
    void LoadCategory(const std::wstring& viewIdText);
    void LoadCategoryChild(const automation::Object& category, short level);
    void SelectedCategory();
    void SelectComboCat();
    void LoadRecomendedKW(const std::wstring& text, bool recommended);

    // Event handlers (failures reported under the window's qualified names). chkMemo_Click takes
    // the 3-D check box's values: 0 unchecked, -1 checked; any other changes nothing.
    void chkMemo_Click(short value);
    void cmbFolders_Click();
    void cmbFolders_Change();
    void cmdAddCategory_Click();

private:
    automation::Object currentView();
    automation::Object pageMemos();

    RelationContext ctx_;
    WebMemoMembers m_;
    bool foldersLoaded_ = false;  // blnFoldersLoaded
    UniqueImageList imgTheme_, imgFolders_;
};

}  // namespace qb::windows
