#pragma once
// The Keywords page of every relation window: the view's keywords as a tree of groups facing the
// list of keywords related to the item. Relating and unrelating write to the suite at once.
// The very same code serves the four relation windows; what differs between them is given as
// KeywordOptions, and where the window places the controls.
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/handles.h"
#include "ui/controls/list_view.h"
#include "ui/controls/tree.h"
#include "windows/pages/keyword_model.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

// What differs between the relation windows.
struct KeywordOptions {
    std::wstring loadTree = L"LoadKeyWord";         // "LoadKeyWords" in the server, web and mail windows
    // Hidden and shown again with "Add/Edit keywords" when the suite's keyword dialogs return
    // (the server window's option frame).
    std::vector<ui::Control*> repaintWithUpdate = {};
    // A drag from the related list that cannot start is reported as a handler's failure
    // (lstKeyRel_OLEStartDrag) instead of being ignored.
    bool reportListDragStart = false;

    // The windows of an item kept as a link or a copy (server, web page, mail item): their tree
    // procedure's name, the "Relate With:" frame repainted, a failed drag start reported.
    static KeywordOptions keptItem(ui::Control& relateFrame) {
        return {.loadTree = L"LoadKeyWords", .repaintWithUpdate = {&relateFrame}, .reportListDragStart = true};
    }
};

class KeywordsPage {
public:
    KeywordsPage(RelationContext context, KeywordOptions options);
    KeywordsPage(const KeywordsPage&) = delete;
    KeywordsPage& operator=(const KeywordsPage&) = delete;

    ui::Label lblAllKeywords;
    // Narrows the tree to keywords containing the typed text; stores nothing.
    ui::TextBox txtFilter;
    ui::KeyedTree pvtreeKeys;
    ui::Label lblRelated;
    ui::TaggedList lstKeyRel;
    ui::Button cmdUpdate;

    // The controls where the local file window has them (twips, on one tab page).
    ui::LayoutTable layout(int page);

    // Once the window exists: pictures, column, background.
    void prepare();
    // LoadKWRelationed then LoadKeyWord, for the window's handler `handler`: a related keyword
    // that cannot be read is reported under the handler, and the tree is built all the same.
    // The tree's and the list's pictures drawn at the window's DPI (at the load, and when the
    // window moved to a monitor of another DPI).
    void drawPictures();
    void reload(std::wstring_view handler);

    // Procedures (failures leave them with the window's qualified name appended).
    void LoadKeyWord();  // named by KeywordOptions::loadTree
    void LoadAllGroup();
    void InsertKeyWord(long KeyId, const std::wstring& KeyName, long GroupId);
    HTREEITEM InsertGroup(long GroupId);
    // A keyword of a group not opened yet has no node: SearchNode opens its group (the node is
    // wanted), ExistNode answers from the view's keywords.
    HTREEITEM SearchNode(const std::wstring& key);  // nullptr: the root
    bool ExistNode(const std::wstring& key);
    void LoadKWRelationed();
    void Relation();
    void Unrelation();
    void AddNewKeyword();

    // Event handlers (failures reported under the window's qualified names).
    void pvtreeKeys_LButtonDblClick(HTREEITEM node);
    void lstKeyRel_DblClick();
    void pvtreeKeys_OLEDragDrop();
    void lstKeyRel_OLEDragDrop();
    void cmdUpdate_Click();
    void mnu_AddKeyWord_Click();  // mnu_NewKeyword_Click in the kept-item windows
    void txtFilter_Change();
    // After a failure: both lists read again from the suite, so that they show what is stored;
    // a failure of this is logged and goes no further.
    void resync(const automation::ComError& reported) noexcept;
    // Starts of drags (what the mouse handlers do when a drag begins).
    void startDragFromTree(HTREEITEM node);
    void startDragFromList(int item);
    // The ids of the related keywords, in the list's order.
    std::vector<long> relatedInListOrder() const;
    // The window's messages while a drag is under way; true when taken.
    bool dragMessage(UINT msg, LRESULT& result);

    // A group's node opened (by a click, the keyboard or a program): its keywords are put in.
    void pvtreeKeys_Expand(HTREEITEM node);

private:
    using ViewKeyword = KeywordModel::Keyword;
    struct ViewGroup {
        long id;
        std::wstring name;
    };
    // The keywords and the groups of the selected view, in the order the suite answers them.
    std::vector<ViewKeyword> viewKeywords();
    std::vector<ViewKeyword> viewKeywords(long view);
    std::unordered_set<long> inOtherViews(const std::unordered_map<long, const std::wstring*>& related);
    std::vector<ViewGroup> viewGroups();
    void buildTree(bool again);
    LRESULT treeNotify(NMHDR* header);
    LRESULT listNotify(NMHDR* header);
    void showKeywordMenu(POINT at);
    void relateNode(HTREEITEM node);
    void unrelateItem(int item);
    void endDrag(bool drop);
    void repaintUpdateButton();
    bool passesFilter(const std::wstring& keyName) const;
    bool matchesFilter(const std::wstring& lowered) const;
    bool offered(const KeywordModel::Keyword& keyword) const;
    // The keyword a key names when it is offered in a group not opened yet, or nullptr.
    const KeywordModel::Keyword* pendingKeyword(const std::wstring& key) const;
    // The group of a node whose keywords are still only in the model, or 0.
    long unfilledGroup(HTREEITEM node) const;
    template <class F>
    void moving(std::wstring_view handler, F&& body);

    RelationContext ctx_;
    KeywordOptions options_;
    // The keywords related to the item, as far as the suite answered (a relation whose keyword
    // cannot be read counts as well), kept in step with relating and unrelating.
    std::unordered_set<long> relatedIds_;
    bool relationsKnown_ = false;  // the item's relations were read
    // Within one rebuild of the tree, a group asked for again is not fetched again.
    std::optional<std::unordered_map<long, std::optional<std::wstring>>> groupCache_;
    // The view's keywords as LoadKWRelationed read them, for the LoadKeyWord that follows.
    std::optional<std::vector<ViewKeyword>> viewKeywords_;
    // The view's groups during a rebuild of the tree.
    std::optional<std::vector<ViewGroup>> viewGroups_;
    // The view's keywords the tree was built from; the groups whose nodes do not hold theirs yet.
    KeywordModel model_;
    std::optional<std::vector<ViewGroup>> builtGroups_;
    std::unordered_set<long> unfilled_;
    bool building_ = false;
    // The key of the keyword dragged from the tree: its node may be gone by the drop.
    std::wstring draggedKey_;
    bool dragging_ = false;
    UniqueImageList pictures_;  // imgKeyWords: shared by the tree and the list
    // The filter typed above the tree, in lower case; empty: the whole view.
    std::wstring filter_;
};

}  // namespace qb::windows
