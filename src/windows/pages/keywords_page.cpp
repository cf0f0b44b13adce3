#include "windows/pages/keywords_page.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "automation/failure.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "support/services.h"
#include "ui/look/pictures.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::Object;
using automation::Variant;
using automation::qualified;
using support::createObject;
namespace progid = contract::progid;

// The list shows related keywords with the keyword picture of the shared image list.
using ui::kGroupPicture;
using ui::kKeywordPicture;
constexpr int kRelatedPicture = kKeywordPicture;
const std::wstring kGroupTag = L"Group", kKeywordTag = L"KeyWord";

constexpr UINT kAddKeywordCommand = 40001;

const std::wstring kGroupPrefix = L"Group-";
std::wstring groupKey(long id) { return kGroupPrefix + std::to_wstring(id); }

}  // namespace

KeywordsPage::KeywordsPage(RelationContext context, KeywordOptions options)
    : ctx_(context), options_(std::move(options)) {
    pvtreeKeys.onNotify = [this](NMHDR* header) { return treeNotify(header); };
    lstKeyRel.onNotify = [this](NMHDR* header) { return listNotify(header); };
    lstKeyRel.onContextMenu = [this](POINT at) { showKeywordMenu(at); };
    cmdUpdate.onClick = [this] { cmdUpdate_Click(); };
    txtFilter.onChange = [this] { txtFilter_Change(); };
}

ui::LayoutTable KeywordsPage::layout(int page) {
    return ui::onPage(page, {{lblAllKeywords, {L"lblAllKeywords", L"All &Keywords", {240, 480, 1500, 240}}},
                             {txtFilter, {L"txtFilter", L"", {1800, 430, 2100, 285}, 0, {}, L"Filter keywords"}},
                             {pvtreeKeys, {L"pvtreeKeys", L"", {240, 750, 3660, 4140}, 0, {}, L"All Keywords"}},
                             {lblRelated, {L"lblRelated", L"&Related keywords", {4080, 480, 3660, 240}}},
                             {lstKeyRel, {L"lstKeyRel", L"", {4080, 750, 3660, 4140}, 0,
                                          L"Drag and drop to relate keyword to file"}},
                             {cmdUpdate, {L"cmdUpdate", L"Add/&Edit keywords", {4080, 5040, 3660, 375}}}});
}

// A window loaded a second time starts from nothing.
void KeywordsPage::prepare() {
    relatedIds_.clear();
    relationsKnown_ = false;
    groupCache_.reset();
    viewKeywords_.reset();
    viewGroups_.reset();
    model_.clear();
    builtGroups_.reset();
    unfilled_.clear();
    draggedKey_.clear();
    dragging_ = false;
    filter_.clear();
    drawPictures();
    lstKeyRel.addColumn(L"KeyWord", lstKeyRel.clientWidth() - ui::twipsToPixels(300, ctx_.window.dpi().x));
    pvtreeKeys.setBackColor(RGB(255, 255, 255));
}

void KeywordsPage::drawPictures() {
    pictures_ = ui::keywordPictures(ui::pictureSize(16, ctx_.window.dpi().y));  // at the window's DPI
    TreeView_SetImageList(pvtreeKeys.handle(), pictures_.get(), TVSIL_NORMAL);
    lstKeyRel.setImageList(pictures_.get());  // shared: the list does not own it
}

void KeywordsPage::reload(std::wstring_view handler) {
    ctx_.window.event(handler, [&] { LoadKWRelationed(); });
    LoadKeyWord();
}

void KeywordsPage::LoadKeyWord() { buildTree(false); }

// `again`: from the view's keywords and groups the tree was last built from (a keystroke in the
// filter box asks the suite for nothing).
void KeywordsPage::buildTree(bool again) {
    qualified(ctx_.qualified(options_.loadTree), [&] {
        HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        pvtreeKeys.setRedraw(false);
        pvtreeKeys.clear();
        unfilled_.clear();
        // The view's groups, asked for once for the whole rebuild: what InsertGroup looks up and
        // what LoadAllGroup adds.
        viewGroups_ = again && builtGroups_ ? *builtGroups_ : viewGroups();
        builtGroups_ = *viewGroups_;
        groupCache_.emplace();
        for (const ViewGroup& group : *viewGroups_) (*groupCache_)[group.id] = group.name;
        struct Done {
            KeywordsPage& w;
            HCURSOR cursor;
            ~Done() {
                w.building_ = false;
                w.groupCache_.reset();
                w.viewGroups_.reset();
                w.pvtreeKeys.setRedraw(true);
                ::SetCursor(cursor);
            }
        } done{*this, before};
        if (!again) {
            // The view's keywords as the related list just read them (one rebuild asks once).
            std::vector<ViewKeyword> all = viewKeywords_ ? std::move(*viewKeywords_) : viewKeywords();
            viewKeywords_.reset();
            // Relations that could not be read leave the tree without keywords: it cannot tell
            // which of them are related.
            if (!relationsKnown_) all.clear();
            model_.assign(std::move(all));
        }
        if (!filter_.empty()) model_.lowerNames();
        // A group's node comes with its first keyword offered, and holds its keywords once opened;
        // keywords without a group go in at once.
        building_ = true;
        for (const ViewKeyword& keyword : model_.all()) {
            if (!offered(keyword)) continue;
            HTREEITEM parent = keyword.group != 0 ? InsertGroup(keyword.group) : nullptr;
            if (parent && unfilled_.contains(keyword.group)) continue;
            pvtreeKeys.add(parent, std::to_wstring(keyword.id), keyword.name, kKeywordTag, kKeywordPicture);
        }
        building_ = false;
        if (filter_.empty()) LoadAllGroup();  // while filtering, only groups with a match show
        // The first level opens, as the tree is shown again.
        if (HTREEITEM first = TreeView_GetRoot(pvtreeKeys.handle())) TreeView_Expand(pvtreeKeys.handle(), first, TVE_EXPAND);
    });
    // Hidden and shown again to repaint it (as far as its page is the one showing).
    const BOOL shown = ::IsWindowVisible(pvtreeKeys.handle());
    ::ShowWindow(pvtreeKeys.handle(), SW_HIDE);
    if (shown) ::ShowWindow(pvtreeKeys.handle(), SW_SHOW);
}

bool KeywordsPage::passesFilter(const std::wstring& keyName) const { return matchesFilter(KeywordModel::lower(keyName)); }

bool KeywordsPage::matchesFilter(const std::wstring& lowered) const {
    return filter_.empty() || lowered.find(filter_) != std::wstring::npos;
}

// Offered in the tree: not related (its id read once) and not filtered out.
// While the item's relations are unknown (they could not be read) nothing is.
bool KeywordsPage::offered(const KeywordModel::Keyword& keyword) const {
    return relationsKnown_ && !relatedIds_.contains(keyword.id) && matchesFilter(keyword.lowered);
}

long KeywordsPage::unfilledGroup(HTREEITEM node) const {
    const std::wstring key = pvtreeKeys.key(node);
    if (!key.starts_with(kGroupPrefix)) return 0;
    const long group = std::wcstol(key.c_str() + kGroupPrefix.size(), nullptr, 10);
    return unfilled_.contains(group) ? group : 0;
}

void KeywordsPage::pvtreeKeys_Expand(HTREEITEM node) {
    const long group = unfilledGroup(node);
    if (!group) return;
    ctx_.window.event(L"pvtreeKeys_Expand", [&] {
        unfilled_.erase(group);
        for (const KeywordModel::Keyword* keyword : model_.ofGroup(group))
            if (offered(*keyword)) pvtreeKeys.add(node, std::to_wstring(keyword->id), keyword->name, kKeywordTag, kKeywordPicture);
        // From now on its button follows its nodes.
        pvtreeKeys.setHasChildren(node, TreeView_GetChild(pvtreeKeys.handle(), node) != nullptr);
    });
}

std::vector<KeywordsPage::ViewKeyword> KeywordsPage::viewKeywords() { return viewKeywords(ctx_.viewId); }

std::vector<KeywordsPage::ViewKeyword> KeywordsPage::viewKeywords(long view) {
    Object lookup = createObject(progid::KeyWord);
    lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), view});
    std::vector<ViewKeyword> keywords;
    automation::MemberIds ids;
    lookup.callObject(L"GetAllByView").forEach([&](const Variant& item) {
        Object keyword = Object::from(item);
        keywords.push_back({keyword.get(ids, L"KeyId").toLong(), keyword.get(ids, L"KeyName").toText(),
                            keyword.get(ids, L"GroupId").toLong()});
    });
    return keywords;
}

std::vector<KeywordsPage::ViewGroup> KeywordsPage::viewGroups() {
    Object lookup = createObject(progid::Group);
    lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), ctx_.viewId});
    std::vector<ViewGroup> groups;
    automation::MemberIds ids;
    lookup.callObject(L"GetByView").forEach([&](const Variant& item) {
        Object group = Object::from(item);
        groups.push_back({group.get(ids, L"GroupId").toLong(), group.get(ids, L"GroupName").toText()});
    });
    return groups;
}

void KeywordsPage::LoadAllGroup() {
    qualified(ctx_.qualified(L"LoadAllGroup"), [&] {
        std::vector<ViewGroup> asked;  // outside a rebuild of the tree
        const std::vector<ViewGroup>& groups = viewGroups_ ? *viewGroups_ : (asked = viewGroups());
        for (const ViewGroup& group : groups) {
            const std::wstring key = groupKey(group.id);
            if (!ExistNode(key)) pvtreeKeys.add(nullptr, key, group.name, kGroupTag, kGroupPicture, true);
        }
    });
}

HTREEITEM KeywordsPage::InsertGroup(long GroupId) {
    return qualified(ctx_.qualified(L"InsertGroup"), [&]() -> HTREEITEM {
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
        HTREEITEM node = pvtreeKeys.add(nullptr, key, **name, kGroupTag, kGroupPicture, true);
        // Made while the tree is built: its keywords go in when it is opened.
        if (node && building_) {
            unfilled_.insert(GroupId);
            pvtreeKeys.setHasChildren(node, true);
        }
        return node;
    });
}

void KeywordsPage::InsertKeyWord(long KeyId, const std::wstring& KeyName, long GroupId) {
    qualified(ctx_.qualified(L"InsertKeyWord"), [&] {
        HTREEITEM parent = GroupId != 0 ? InsertGroup(GroupId) : nullptr;
        // A group not opened yet shows it, last, when it is.
        if (parent && unfilled_.contains(GroupId)) return model_.putLast(KeyId, KeyName, GroupId);
        pvtreeKeys.add(parent, std::to_wstring(KeyId), KeyName, kKeywordTag, kKeywordPicture);
    });
}

// A keyword's key is its id.
HTREEITEM KeywordsPage::SearchNode(const std::wstring& key) {
    if (HTREEITEM node = pvtreeKeys.find(key)) return node;
    const KeywordModel::Keyword* keyword = pendingKeyword(key);
    if (!keyword) return nullptr;
    TreeView_Expand(pvtreeKeys.handle(), pvtreeKeys.find(groupKey(keyword->group)), TVE_EXPAND);
    return pvtreeKeys.find(key);
}

bool KeywordsPage::ExistNode(const std::wstring& key) { return pvtreeKeys.exists(key) || pendingKeyword(key); }

const KeywordModel::Keyword* KeywordsPage::pendingKeyword(const std::wstring& key) const {
    wchar_t* end = nullptr;
    const std::wstring trimmed = automation::trimBlanks(key);
    const long id = std::wcstol(trimmed.c_str(), &end, 10);
    if (trimmed.empty() || *end) return nullptr;
    const KeywordModel::Keyword* keyword = model_.find(id);
    return keyword && unfilled_.contains(keyword->group) && offered(*keyword) ? keyword : nullptr;
}

void KeywordsPage::LoadKWRelationed() {
    qualified(ctx_.qualified(L"LoadKWRelationed"), [&] {
        lstKeyRel.setRedraw(false);
        struct Done {
            ui::TaggedList& list;
            ~Done() { list.setRedraw(true); }
        } done{lstKeyRel};
        lstKeyRel.clear();
        relatedIds_.clear();
        relationsKnown_ = false;
        // The relations first; the view's keywords are then looked up in one answer, and only
        // the others (another view's, or one that has gone) are asked for one by one.
        Object relations = createObject(progid::KeyWordFile);
        relations.call(L"loaddata", {Arg::missing(), ctx_.fileId()});
        std::vector<long> relatedKeys;
        std::unordered_map<long, const std::wstring*> inView;  // related id -> name when of this view
        automation::MemberIds relationIds;
        relations.callObject(L"GetByFileId").forEach([&](const Variant& item) {
            relatedKeys.push_back(Object::from(item).get(relationIds, L"KeyId").toLong());
            inView.emplace(relatedKeys.back(), nullptr);
        });
        // What is related is known now, even where a keyword cannot be read below: the tree
        // never offers a keyword that is related.
        relatedIds_.insert(relatedKeys.begin(), relatedKeys.end());
        relationsKnown_ = true;
        viewKeywords_ = viewKeywords();
        for (const ViewKeyword& keyword : *viewKeywords_)
            if (auto it = inView.find(keyword.id); it != inView.end()) it->second = &keyword.name;
        const std::unordered_set<long> elsewhere = inOtherViews(inView);
        // A relation whose keyword cannot be read (gone meanwhile) does not keep the others out
        // of the list: the first such failure is raised once the list is complete.
        std::exception_ptr firstFailure;
        for (long keyId : relatedKeys) {
            if (const std::wstring* name = inView.at(keyId)) {
                lstKeyRel.add(*name, keyId, kRelatedPicture);
                relatedIds_.insert(keyId);
                continue;
            }
            if (elsewhere.contains(keyId)) continue;  // another view's: not shown
            try {
                Object lookup = createObject(progid::KeyWord);
                lookup.call(L"loaddata", {keyId, Arg::missing(), ctx_.viewId});
                Object keyword = lookup.callObject(L"GetOneById");
                if (keyword.get(L"ViewId").toLong() == ctx_.viewId) {
                    long id = keyword.get(L"KeyId").toLong();
                    lstKeyRel.add(keyword.get(L"KeyName").toText(), id, kRelatedPicture);
                    relatedIds_.insert(id);
                }
            } catch (...) {
                if (!firstFailure) firstFailure = std::current_exception();
            }
        }
        if (firstFailure) std::rethrow_exception(firstFailure);
    });
}

// Relations to keywords outside the view in use are asked for one by one (another view's is not
// shown; one that is gone fails the list). An item related to many of other views' keywords has
// those views' keywords read whole instead, once each: only a keyword found in none of them is
// then asked for by itself.
std::unordered_set<long> KeywordsPage::inOtherViews(const std::unordered_map<long, const std::wstring*>& related) {
    constexpr size_t kAskedOneByOne = 32;
    std::unordered_set<long> found;
    const size_t outside = static_cast<size_t>(
        std::count_if(related.begin(), related.end(), [](const auto& r) { return r.second == nullptr; }));
    if (outside <= kAskedOneByOne) return found;
    automation::MemberIds ids;
    createObject(progid::View).callObject(L"GetAll").forEach([&](const Variant& item) {
        const long view = Object::from(item).get(ids, L"ViewId").toLong();
        if (view == ctx_.viewId) return;
        for (const ViewKeyword& keyword : viewKeywords(view))
            if (related.contains(keyword.id)) found.insert(keyword.id);
    });
    return found;
}

void KeywordsPage::relateNode(HTREEITEM node) {
    long id = std::stol(pvtreeKeys.key(node));
    lstKeyRel.add(pvtreeKeys.text(node), id, kRelatedPicture);
    relatedIds_.insert(id);
    pvtreeKeys.remove(node);
    Object relation = createObject(progid::KeyWordFile);
    relation.call(L"loaddata", {id, ctx_.fileId()});
    if (!relation.call(L"ExistRegister").toBool()) relation.call(L"Insert");
}

void KeywordsPage::Relation() {
    qualified(ctx_.qualified(L"Relation"), [&] {
        HTREEITEM node = pvtreeKeys.selected();
        if (!node || pvtreeKeys.text(node).empty() || pvtreeKeys.tag(node) == kGroupTag) return;
        relateNode(node);
    });
}

void KeywordsPage::unrelateItem(int item) {
    Object lookup = createObject(progid::KeyWord);
    lookup.call(L"loaddata", {lstKeyRel.tag(item)});
    Object keyword = lookup.callObject(L"GetOneById");
    // Read one after the other (the order of a call's arguments is not the order they are made in).
    long id = keyword.get(L"KeyId").toLong();
    std::wstring name = keyword.get(L"KeyName").toText();
    const long group = keyword.get(L"GroupId").toLong();
    if (passesFilter(name)) InsertKeyWord(id, name, group);  // back in the tree, unless filtered out
    lstKeyRel.remove(item);
    relatedIds_.erase(id);
    Object relation = createObject(progid::KeyWordFile);
    relation.call(L"loaddata", {id, ctx_.fileId()});
    relation.call(L"GetOne");
    if (relation.call(L"ExistRegister").toBool()) relation.call(L"Delete");
}

void KeywordsPage::Unrelation() {
    qualified(ctx_.qualified(L"Unrelation"), [&] {
        int item = lstKeyRel.selected();
        if (item < 0) return;
        unrelateItem(item);
    });
}

void KeywordsPage::resync(const automation::ComError& reported) noexcept {
    try {
        LoadKWRelationed();
        LoadKeyWord();
    } catch (...) {
        support::logUnlessReported(reported, ctx_.qualified(L"resync"));
    }
}

// Relating and unrelating move the keyword on the screen before the suite stores the change; when
// the suite fails, both lists are read again after the report, so that they show what is stored.
template <class F>
void KeywordsPage::moving(std::wstring_view handler, F&& body) {
    if (auto failure = ctx_.window.eventFailure(handler, std::forward<F>(body)); failure && ctx_.window.isLoaded())
        resync(*failure);
}

void KeywordsPage::pvtreeKeys_LButtonDblClick(HTREEITEM node) {
    moving(L"pvtreeKeys_LButtonDblClick", [&] {
        if (pvtreeKeys.tag(node) != kGroupTag) Relation();
    });
}

void KeywordsPage::lstKeyRel_DblClick() {
    moving(L"lstKeyRel_DblClick", [&] { Unrelation(); });
}

void KeywordsPage::lstKeyRel_OLEDragDrop() {
    moving(L"lstKeyRel_OLEDragDrop", [&] {
        if (ctx_.startDrag == L"lstKeyRel" || draggedKey_.empty()) return;
        // The keyword dragged, wherever the tree has it now (it may have been built again
        // meanwhile): gone from it, nothing is related.
        HTREEITEM node = SearchNode(std::exchange(draggedKey_, std::wstring()));
        if (!node || pvtreeKeys.tag(node) == kGroupTag) return;
        relateNode(node);
    });
}

void KeywordsPage::pvtreeKeys_OLEDragDrop() {
    moving(L"pvtreeKeys_OLEDragDrop", [&] {
        if (ctx_.startDrag == L"lstKey") return;  // the tree dropped on itself: no effect
        int item = lstKeyRel.selected();
        if (item >= 0) unrelateItem(item);
    });
}

void KeywordsPage::AddNewKeyword() {
    qualified(ctx_.qualified(L"AddNewKeyword"), [&] {
        Variant view(ctx_.viewId);
        long id = ctx_.connection.aroundSuiteDialog([&] {
            return createObject(L"Tagpick.Engine").call(L"AddNewKeyword", {Arg::byRef(view)}).toLong();
        });
        if (id == 0) return;
        Object relation = createObject(progid::KeyWordFile);
        relation.call(L"loaddata", {id, ctx_.fileId()});
        if (!relation.call(L"ExistRegister").toBool()) relation.call(L"Insert");
        LoadKWRelationed();
        viewKeywords_.reset();  // the tree is not rebuilt here
        repaintUpdateButton();
    });
}

void KeywordsPage::mnu_AddKeyWord_Click() {
    automation::ignoreFailure([&] { AddNewKeyword(); });
}

void KeywordsPage::txtFilter_Change() {
    if (!ctx_.window.isLoaded()) return;
    ctx_.window.event(L"txtFilter_Change", [&] {
        filter_ = KeywordModel::lower(automation::trimBlanks(txtFilter.text()));
        buildTree(builtGroups_.has_value());
    });
}

void KeywordsPage::cmdUpdate_Click() {
    ctx_.window.event(L"cmdUpdate_Click", [&] {
        Variant view(ctx_.viewId);
        ctx_.connection.aroundSuiteDialog(
            [&] { createObject(L"Tagpick.Engine").call(L"UpdateKeyWords", {Arg::byRef(view)}); });
        LoadKWRelationed();
        LoadKeyWord();
        repaintUpdateButton();
    });
}

LRESULT KeywordsPage::treeNotify(NMHDR* header) {
    switch (header->code) {
        case NM_DBLCLK: {
            DWORD pos = ::GetMessagePos();
            POINT pt{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
            ::ScreenToClient(pvtreeKeys.handle(), &pt);
            if (HTREEITEM node = pvtreeKeys.hitTest(pt)) pvtreeKeys_LButtonDblClick(node);
            return 1;
        }
        case TVN_KEYDOWN:
            if (reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey == VK_RETURN && pvtreeKeys.selected())
                pvtreeKeys_LButtonDblClick(pvtreeKeys.selected());
            return 0;
        case TVN_ITEMEXPANDINGW: {
            auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
            if (change->action & TVE_EXPAND) pvtreeKeys_Expand(change->itemNew.hItem);
            return 0;
        }
        case TVN_BEGINDRAGW:
            automation::ignoreFailure([&] { startDragFromTree(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem); });
            return 0;
        default:
            return 0;
    }
}

LRESULT KeywordsPage::listNotify(NMHDR* header) {
    switch (header->code) {
        case NM_DBLCLK:
            lstKeyRel_DblClick();
            return 0;
        case LVN_KEYDOWN: {
            WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
            if (key == VK_RETURN || key == VK_DELETE) {
                const int at = lstKeyRel.selected();
                lstKeyRel_DblClick();
                // As list views do after a deletion: the next item (or the new last) is selected.
                if (key == VK_DELETE && at >= 0 && lstKeyRel.count() > 0)
                    lstKeyRel.select(std::min(at, lstKeyRel.count() - 1));
            }
            return 0;
        }
        case LVN_BEGINDRAG: {
            const int item = reinterpret_cast<NMLISTVIEW*>(header)->iItem;
            if (options_.reportListDragStart) ctx_.window.event(L"lstKeyRel_OLEStartDrag", [&] { startDragFromList(item); });
            else automation::ignoreFailure([&] { startDragFromList(item); });
            return 0;
        }
        default:
            return 0;  // a right click goes on to WM_CONTEXTMENU
    }
}

// mnu_Keyword: right button released on the list, Shift+F10 or the menu key.
void KeywordsPage::showKeywordMenu(POINT at) {
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    ::AppendMenuW(menu.get(), MF_STRING, kAddKeywordCommand, L"Add New Keyword");
    UINT chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                   ctx_.window.handle(), nullptr);
    if (chosen == kAddKeywordCommand) mnu_AddKeyWord_Click();
}

void KeywordsPage::startDragFromTree(HTREEITEM node) {
    if (!node) return;
    pvtreeKeys.select(node);
    ctx_.startDrag = L"lstKey";
    draggedKey_ = pvtreeKeys.key(node);
    dragging_ = true;
    ::SetCapture(ctx_.window.handle());
}

void KeywordsPage::startDragFromList(int item) {
    if (item < 0) return;
    lstKeyRel.select(item);
    ctx_.startDrag = L"lstKeyRel";
    dragging_ = true;
    ::SetCapture(ctx_.window.handle());
}

void KeywordsPage::endDrag(bool drop) {
    if (!dragging_) return;
    dragging_ = false;
    if (::GetCapture() == ctx_.window.handle()) ::ReleaseCapture();
    if (!drop) return;
    POINT pt;
    ::GetCursorPos(&pt);
    HWND target = ::WindowFromPoint(pt);
    if (target == pvtreeKeys.handle() || ::IsChild(pvtreeKeys.handle(), target)) pvtreeKeys_OLEDragDrop();
    else if (target == lstKeyRel.handle() || ::IsChild(lstKeyRel.handle(), target)) lstKeyRel_OLEDragDrop();
}

bool KeywordsPage::dragMessage(UINT msg, LRESULT& result) {
    if (!dragging_) return false;
    switch (msg) {
        case WM_MOUSEMOVE: {
            // The drop effect: copy over the other list, none over the list the drag came from.
            POINT pt;
            ::GetCursorPos(&pt);
            HWND over = ::WindowFromPoint(pt);
            bool onTree = over == pvtreeKeys.handle(),
                 onList = over == lstKeyRel.handle() || ::IsChild(lstKeyRel.handle(), over);
            bool copy = (onList && ctx_.startDrag == L"lstKey") || (onTree && ctx_.startDrag == L"lstKeyRel");
            ::SetCursor(::LoadCursorW(nullptr, copy ? IDC_ARROW : IDC_NO));
            result = 0;
            return true;
        }
        case WM_LBUTTONUP:
            endDrag(true);
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            endDrag(false);
            return false;
        default:
            return false;
    }
}

void KeywordsPage::repaintUpdateButton() {
    std::vector<HWND> shown{cmdUpdate.handle()};
    for (ui::Control* c : options_.repaintWithUpdate) shown.push_back(c->handle());
    for (HWND h : shown) ::ShowWindow(h, SW_HIDE);
    ::UpdateWindow(ctx_.window.handle());
    for (HWND h : shown) ::ShowWindow(h, SW_SHOW);
    ::UpdateWindow(ctx_.window.handle());
}

std::vector<long> KeywordsPage::relatedInListOrder() const {
    std::vector<long> ids;
    for (int i = 0; i < lstKeyRel.count(); ++i) ids.push_back(lstKeyRel.tag(i));
    return ids;
}

}  // namespace qb::windows
