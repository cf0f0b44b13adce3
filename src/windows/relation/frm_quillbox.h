#pragma once
// frmQuillbox: the relation window of an item. Info tab (name, path, comment, header icon),
// Keywords tab (the view's keyword tree facing the related keywords), Themes, Files and Server tabs.
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "automation/object.h"
#include "fileinfo/file_info.h"
#include "ui/form.h"
#include "ui/list_view.h"
#include "ui/tree.h"

namespace qb::windows {

class frmQuillbox final : public ui::Form {
public:
    frmQuillbox();
    ~frmQuillbox() override;

    // Set by the opener before the load step.
    automation::Object oFileSelected;
    std::wstring m_UserFile;
    // The keyword view in use, kept per user in the registry.
    short SelectedViewId = 0;
    // The list a drag started from: "lstKey" (the tree) or "lstKeyRel".
    std::wstring StartDrag;
    std::unique_ptr<fileinfo::CFileInfo> fi;

    // Header of a local file: its shell icon.
    void LoadFileInfo(std::wstring fil);
    // Header of an item that is not a local file: the picture of its kind.
    void LoadFileOutlookInfo(const std::wstring& pstrName, const std::wstring& pstrType);
    static long ConvertTwipsToPixels(long lngTwips, long lngDirection);
    void LoadSelectView();

    // Event handlers.
    void cmdView_Click();
    void cmdUpdateData_Click();
    void cmdOk_Click();
    void CheckState1_ChangeState();
    void CheckState1_ChangeView(short viewId);

    // Keyword tree and relations.
    void LoadKeyWord();
    void LoadAllGroup();
    void InsertKeyWord(long KeyId, const std::wstring& KeyName, long GroupId);
    HTREEITEM InsertGroup(long GroupId);
    HTREEITEM SearchNode(const std::wstring& key);  // nullptr: the root
    bool ExistNode(const std::wstring& key);
    void LoadKWRelationed();
    bool ExistKeyRelation(const automation::Object& keyword);
    void Relation();
    void Unrelation();
    void AddNewKeyword();
    void pvtreeKeys_LButtonDblClick(HTREEITEM node);
    void lstKeyRel_DblClick();
    void pvtreeKeys_OLEDragDrop();
    void lstKeyRel_OLEDragDrop();
    void cmdUpdate_Click();
    void mnu_AddKeyWord_Click();
    // Starts of drags (what the mouse handlers do when a drag begins).
    void startDragFromTree(HTREEITEM node);
    void startDragFromList(int item);

    // What the window shows, for its opener and its tests.
    ui::KeyedTree& keywordTree() { return tree_; }
    ui::TaggedList& relatedList() { return related_; }
    const std::wstring& headerPicture() const { return headerPicture_; }

    // Procedures of the memo, attachment and upload tabs, which do not fill their tabs yet.
    void ConfigGrid() {}
    void LoadMemoRelationed() {}
    void LoadFileRelationed() {}

protected:
    void formLoad() override;
    void click(std::wstring_view control) override;
    void textChanged(std::wstring_view control) override;
    LRESULT notify(std::wstring_view control, NMHDR* header) override;
    void draw(std::wstring_view control, HDC dc, const RECT& area) override;
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void relateNode(HTREEITEM node);
    void unrelateItem(int item);
    long fileId() const;
    void startWatching();
    void stopWatching();
    void endDrag(bool drop);
    void repaintUpdateButton();
    struct ViewKeyword {
        long id;
        std::wstring name;
        long group;
    };
    // The keywords of the selected view, in the order the suite answers them.
    struct ViewGroup {
        long id;
        std::wstring name;
    };
    // The groups of the selected view, in the order the suite answers them.
    std::vector<ViewGroup> viewGroups();
    std::vector<ViewKeyword> viewKeywords();

    ui::KeyedTree tree_;
    ui::TaggedList related_;
    std::unordered_set<long> relatedIds_;  // in step with related_
    // Within one rebuild of the tree, a group asked for again is not fetched again.
    std::optional<std::unordered_map<long, std::optional<std::wstring>>> groupCache_;
    // The view's keywords as LoadKWRelationed read them, for the LoadKeyWord that follows.
    std::optional<std::vector<ViewKeyword>> viewKeywords_;
    // The view's groups during a rebuild of the tree.
    std::optional<std::vector<ViewGroup>> viewGroups_;
    HTREEITEM draggedNode_ = nullptr;
    bool dragging_ = false;
    HIMAGELIST pictures_ = nullptr;
    HIMAGELIST kindPictures_ = nullptr;  // imgOutlook
    // The filter typed above the tree, in lower case; empty: the whole view.
    std::wstring filter_;
    bool passesFilter(const std::wstring& keyName) const;
    std::wstring headerPicture_;
    automation::Object checkState_;
    automation::ComPtr<IDispatch> sink_;
    DWORD cookie_ = 0;
};

}  // namespace qb::windows
