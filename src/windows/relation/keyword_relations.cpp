// The Keywords tab of frmQuillbox: the view's keywords as a tree of groups facing the list of
// keywords related to the item; relating and unrelating write to the suite at once.
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "automation/failure.h"
#include "contract/suite.h"
#include "support/services.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::Object;
using automation::Variant;
using automation::qualified;
using support::createObject;
namespace progid = contract::progid;

// The list shows related keywords with the keyword picture of the shared image list.
constexpr int kGroupPicture = 1, kKeywordPicture = 2, kRelatedPicture = kKeywordPicture;
const std::wstring kGroupTag = L"Group", kKeywordTag = L"KeyWord";

std::wstring groupKey(long id) { return L"Group-" + std::to_wstring(id); }

}  // namespace

void frmQuillbox::LoadKeyWord() {
    qualified(L"frmQuillbox.LoadKeyWord()", [&] {
        HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        tree_.setRedraw(false);
        tree_.clear();
        // The view's groups, asked for once for the whole rebuild: what InsertGroup looks up and
        // what LoadAllGroup adds.
        viewGroups_ = viewGroups();
        groupCache_.emplace();
        for (const ViewGroup& group : *viewGroups_) (*groupCache_)[group.id] = group.name;
        struct Done {
            frmQuillbox& w;
            HCURSOR cursor;
            ~Done() {
                w.groupCache_.reset();
                w.viewGroups_.reset();
                w.tree_.setRedraw(true);
                ::SetCursor(cursor);
            }
        } done{*this, before};
        // The view's keywords as the related list just read them (one rebuild asks once).
        std::vector<ViewKeyword> all = viewKeywords_ ? std::move(*viewKeywords_) : viewKeywords();
        viewKeywords_.reset();
        for (const ViewKeyword& keyword : all) {
            if (relatedIds_.contains(keyword.id)) continue;  // ExistKeyRelation, with the id read once
            if (passesFilter(keyword.name)) InsertKeyWord(keyword.id, keyword.name, keyword.group);
        }
        if (filter_.empty()) LoadAllGroup();  // while filtering, only groups with a match show
        // The first level opens, as the tree is shown again.
        if (HTREEITEM first = TreeView_GetRoot(tree_.handle())) TreeView_Expand(tree_.handle(), first, TVE_EXPAND);
    });
    ::ShowWindow(tree_.handle(), SW_HIDE);
    ::ShowWindow(tree_.handle(), selectedTab(L"ssTab") == 2 ? SW_SHOW : SW_HIDE);
}

bool frmQuillbox::passesFilter(const std::wstring& keyName) const {
    if (filter_.empty()) return true;
    std::wstring lower = keyName;
    ::CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    return lower.find(filter_) != std::wstring::npos;
}

std::vector<frmQuillbox::ViewKeyword> frmQuillbox::viewKeywords() {
    Object lookup = createObject(progid::KeyWord);
    lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), SelectedViewId});
    std::vector<ViewKeyword> keywords;
    automation::MemberIds ids;
    lookup.callObject(L"GetAllByView").forEach([&](const Variant& item) {
        Object keyword = Object::from(item);
        keywords.push_back({keyword.get(ids, L"KeyId").toLong(), keyword.get(ids, L"KeyName").toText(),
                            keyword.get(ids, L"GroupId").toLong()});
    });
    return keywords;
}

std::vector<frmQuillbox::ViewGroup> frmQuillbox::viewGroups() {
    Object lookup = createObject(progid::Group);
    lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), SelectedViewId});
    std::vector<ViewGroup> groups;
    automation::MemberIds ids;
    lookup.callObject(L"GetByView").forEach([&](const Variant& item) {
        Object group = Object::from(item);
        groups.push_back({group.get(ids, L"GroupId").toLong(), group.get(ids, L"GroupName").toText()});
    });
    return groups;
}

void frmQuillbox::LoadAllGroup() {
    qualified(L"frmQuillbox.LoadAllGroup()", [&] {
        std::vector<ViewGroup> asked;  // outside a rebuild of the tree
        const std::vector<ViewGroup>& groups = viewGroups_ ? *viewGroups_ : (asked = viewGroups());
        for (const ViewGroup& group : groups) {
            const std::wstring key = groupKey(group.id);
            if (!ExistNode(key)) tree_.add(nullptr, key, group.name, kGroupTag, kGroupPicture, true);
        }
    });
}

HTREEITEM frmQuillbox::InsertGroup(long GroupId) {
    return qualified(L"frmQuillbox.InsertGroup()", [&]() -> HTREEITEM {
        const std::optional<std::wstring>* name = nullptr;
        if (groupCache_) {
            auto cached = groupCache_->find(GroupId);
            if (cached != groupCache_->end()) name = &cached->second;
        }
        std::optional<std::wstring> asked;
        if (!name) {
            Object lookup = createObject(progid::Group);
            lookup.call(L"loaddata", {GroupId});
            Object group = lookup.callObject(L"GetOneById");
            if (!group.isNothing()) asked = group.get(L"GroupName").toText();
            name = groupCache_ ? &groupCache_->emplace(GroupId, std::move(asked)).first->second : &asked;
        }
        if (!*name) return SearchNode(L"0");
        const std::wstring key = groupKey(GroupId);
        if (ExistNode(key)) return SearchNode(key);
        return tree_.add(nullptr, key, **name, kGroupTag, kGroupPicture, true);
    });
}

void frmQuillbox::InsertKeyWord(long KeyId, const std::wstring& KeyName, long GroupId) {
    qualified(L"frmQuillbox.InsertKeyWord()", [&] {
        HTREEITEM parent = GroupId != 0 ? InsertGroup(GroupId) : nullptr;
        tree_.add(parent, std::to_wstring(KeyId), KeyName, kKeywordTag, kKeywordPicture);
    });
}

HTREEITEM frmQuillbox::SearchNode(const std::wstring& key) { return tree_.find(key); }

bool frmQuillbox::ExistNode(const std::wstring& key) { return tree_.exists(key); }

void frmQuillbox::LoadKWRelationed() {
    qualified(L"frmQuillbox.LoadKWRelationed()", [&] {
        related_.setRedraw(false);
        struct Done {
            ui::TaggedList& list;
            ~Done() { list.setRedraw(true); }
        } done{related_};
        related_.clear();
        relatedIds_.clear();
        // The relations first; the view's keywords are then looked up in one answer, and only
        // the others (another view's, or one that has gone) are asked for one by one.
        Object relations = createObject(progid::KeyWordFile);
        relations.call(L"loaddata", {Arg::missing(), fileId()});
        std::vector<long> relatedKeys;
        std::unordered_map<long, const std::wstring*> inView;  // related id -> name when of this view
        automation::MemberIds relationIds;
        relations.callObject(L"GetByFileId").forEach([&](const Variant& item) {
            relatedKeys.push_back(Object::from(item).get(relationIds, L"KeyId").toLong());
            inView.emplace(relatedKeys.back(), nullptr);
        });
        viewKeywords_ = viewKeywords();
        for (const ViewKeyword& keyword : *viewKeywords_)
            if (auto it = inView.find(keyword.id); it != inView.end()) it->second = &keyword.name;
        for (long keyId : relatedKeys) {
            if (const std::wstring* name = inView.at(keyId)) {
                related_.add(*name, keyId, kRelatedPicture);
                relatedIds_.insert(keyId);
                continue;
            }
            Object lookup = createObject(progid::KeyWord);
            lookup.call(L"loaddata", {keyId, Arg::missing(), SelectedViewId});
            Object keyword = lookup.callObject(L"GetOneById");
            if (keyword.get(L"ViewId").toLong() == SelectedViewId) {
                long id = keyword.get(L"KeyId").toLong();
                related_.add(keyword.get(L"KeyName").toText(), id, kRelatedPicture);
                relatedIds_.insert(id);
            }
        }
    });
}

bool frmQuillbox::ExistKeyRelation(const Object& keyword) {
    return qualified(L"frmQuillbox.ExistKeyRelation()",
                     [&] { return relatedIds_.contains(keyword.get(L"KeyId").toLong()); });
}

void frmQuillbox::relateNode(HTREEITEM node) {
    long id = std::stol(tree_.key(node));
    related_.add(tree_.text(node), id, kRelatedPicture);
    relatedIds_.insert(id);
    tree_.remove(node);
    Object relation = createObject(progid::KeyWordFile);
    relation.call(L"loaddata", {id, fileId()});
    if (!relation.call(L"ExistRegister").toBool()) relation.call(L"Insert");
}

void frmQuillbox::Relation() {
    qualified(L"frmQuillbox.Relation()", [&] {
        HTREEITEM node = tree_.selected();
        if (!node || tree_.text(node).empty() || tree_.tag(node) == kGroupTag) return;
        relateNode(node);
    });
}

void frmQuillbox::unrelateItem(int item) {
    Object lookup = createObject(progid::KeyWord);
    lookup.call(L"loaddata", {related_.tag(item)});
    Object keyword = lookup.callObject(L"GetOneById");
    // Read one after the other (the order of a call's arguments is not the order they are made in).
    long id = keyword.get(L"KeyId").toLong();
    std::wstring name = keyword.get(L"KeyName").toText();
    InsertKeyWord(id, name, keyword.get(L"GroupId").toLong());
    related_.remove(item);
    relatedIds_.erase(id);
    Object relation = createObject(progid::KeyWordFile);
    relation.call(L"loaddata", {id, fileId()});
    relation.call(L"GetOne");
    if (relation.call(L"ExistRegister").toBool()) relation.call(L"Delete");
}

void frmQuillbox::Unrelation() {
    qualified(L"frmQuillbox.Unrelation()", [&] {
        int item = related_.selected();
        if (item < 0) return;
        unrelateItem(item);
    });
}

void frmQuillbox::pvtreeKeys_LButtonDblClick(HTREEITEM node) {
    event(L"pvtreeKeys_LButtonDblClick", [&] {
        if (tree_.tag(node) != kGroupTag) Relation();
    });
}

void frmQuillbox::lstKeyRel_DblClick() {
    event(L"lstKeyRel_DblClick", [&] { Unrelation(); });
}

void frmQuillbox::lstKeyRel_OLEDragDrop() {
    event(L"lstKeyRel_OLEDragDrop", [&] {
        if (StartDrag == L"lstKeyRel" || !draggedNode_) return;
        if (tree_.tag(draggedNode_) == kGroupTag || tree_.key(draggedNode_).empty()) return;
        HTREEITEM node = draggedNode_;
        draggedNode_ = nullptr;
        relateNode(node);
    });
}

void frmQuillbox::pvtreeKeys_OLEDragDrop() {
    event(L"pvtreeKeys_OLEDragDrop", [&] {
        if (StartDrag == L"lstKey") return;  // the tree dropped on itself: no effect
        int item = related_.selected();
        if (item >= 0) unrelateItem(item);
    });
}

void frmQuillbox::AddNewKeyword() {
    qualified(L"frmQuillbox.AddNewKeyword()", [&] {
        Variant view(SelectedViewId);
        long id = createObject(L"Tagpick.Engine").call(L"AddNewKeyword", {Arg::byRef(view)}).toLong();
        if (id == 0) return;
        Object relation = createObject(progid::KeyWordFile);
        relation.call(L"loaddata", {id, fileId()});
        if (!relation.call(L"ExistRegister").toBool()) relation.call(L"Insert");
        LoadKWRelationed();
        viewKeywords_.reset();  // the tree is not rebuilt here
        repaintUpdateButton();
    });
}

void frmQuillbox::mnu_AddKeyWord_Click() {
    automation::ignoreFailure([&] { AddNewKeyword(); });
}

void frmQuillbox::cmdUpdate_Click() {
    event(L"cmdUpdate_Click", [&] {
        Variant view(SelectedViewId);
        createObject(L"Tagpick.Engine").call(L"UpdateKeyWords", {Arg::byRef(view)});
        LoadKWRelationed();
        LoadKeyWord();
        repaintUpdateButton();
    });
}

}  // namespace qb::windows
