#pragma once
// The Themes page of the web page window: one memo of the page, its theme, and the category it is
// filed in (the view's categories as an indented list; a new one made through the suite's
// dialog). The memo is stored by the window's "Ok" (insert, update or delete); the page also
// relates the keywords the suite recommends for a proposed memo.
#include <optional>
#include <string>
#include <unordered_set>

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
    // The combos' pictures at the window's DPI (at the load, and after a move to another monitor).
    void drawPictures();
    // Whether the page's memo is known: false while it loads and after a load that failed (then
    // "Ok" stores nothing of the memo: the window may show less than is stored).
    bool memoKnown() const { return load_ == Load::Done; }
    bool memoLoading() const { return load_ == Load::Pending; }
    // A load of the window begins: the memo is not known until LoadMemo has run through.
    void beginLoad() { load_ = Load::Pending; }
    // What "Ok" would store of the memo: nothing (nothing changed), a new memo, a change of the
    // memo shown, or its deletion (Enable unticked over a stored memo).
    enum class Change { None, Insert, Update, Delete };
    Change pendingChange() const;
    // Text the user typed that is not stored (none when the box shows what is stored or proposed).
    std::optional<std::wstring> unstoredText() const;
    // Puts such text back after a change of view showed another memo: what the user typed is
    // never dropped without a word; "Ok" stores it in the view now in use.
    void keepTyped(const std::wstring& text);
    // Stores that change; each step is remembered as stored at once, so that an "Ok" again after
    // a failure finishes the change instead of repeating it.
    void store(Change change);
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
    void cmdAddCategory_Click();

private:
    automation::Object currentView();
    automation::Object pageMemos();
    void refile();

    // The page's memo as shown when it was loaded (or last stored): what "Ok" compares with.
    struct Shown {
        long id = 0;
        std::wstring text;
        long theme = 0;     // as stored (may be outside 1 to 4)
        int themeShown = -1;  // the theme list's choice that showed it (-1: none)
        short category = 0;  // 0: filed nowhere the list knows
    };
    std::optional<Shown> shown_;
    enum class Load { Pending, Done, Failed } load_ = Load::Pending;
    // The categories listed by the LoadCategory under way (a cycle in the suite's data is listed
    // once), and whether such damage was already reported by this window.
    std::unordered_set<long> listed_;
    std::wstring damaged_;
    bool damageReported_ = false;

    RelationContext ctx_;
    WebMemoMembers m_;
    bool foldersLoaded_ = false;  // blnFoldersLoaded
    UniqueImageList imgTheme_, imgFolders_;
};

}  // namespace qb::windows
