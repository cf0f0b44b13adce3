// The suite's data objects (ProgIDs Tesra.*), over the SQLite tables of store.cpp.
#include "automation/com_error.h"
#include "automation/text.h"
#include "paths.h"
#include "record.h"

namespace tesra {
namespace {

using qb::automation::ComError;
using V = std::vector<Variant>;

RecordKind makeKind(std::wstring progId, std::string table, std::vector<std::wstring> fields, std::vector<int> keys) {
    RecordKind k{std::move(progId), std::move(table), std::move(fields), std::move(keys), {}};
    Record::addStandardMembers(k);
    return k;
}

// Reads a loaddata position that a member cannot do without.
Variant need(Record& r, size_t position, const wchar_t* member, const wchar_t* what) {
    if (!r.hasKey(position)) missingKey(r.kind(), member, what);
    return r.key(position);
}

constexpr long kRefused = static_cast<long>(0x80040000L + 0x1400);

// The value an item's field may take, or the suite's refusal.
std::wstring checkedField(Record& r, const wchar_t* field, std::wstring value, const Variant& id) {
    const std::wstring& progId = r.kind().progId;
    std::wstring_view name(field);
    if (name == L"FileName" && qb::automation::trimBlanks(value).empty())
        throw ComError(kRefused, L"An item needs a name: the name cannot be empty or only blanks.", progId);
    if (name != L"FileCurrentPath") return value;
    auto typeOf = r.db().prepare("SELECT FileType FROM items WHERE FileId = ?");
    typeOf.bind(1, id);
    std::wstring type = typeOf.step() ? typeOf.text(0) : std::wstring(L"File");
    if (_wcsicmp(type.c_str(), L"File") == 0) {
        if (auto problem = pathProblem(value); !problem.empty()) throw ComError(kRefused, problem, progId);
        value = fullPath(value);
    } else if (qb::automation::trimBlanks(value).empty()) {
        throw ComError(kRefused, L"The path is missing.", progId);
    }
    auto other = r.db().prepare(
        "SELECT FileName FROM items WHERE FileCurrentPath = ? COLLATE PATH AND FileType = ? AND FileId <> ?");
    other.bind(1, value).bind(2, type).bind(3, id);
    if (other.step())
        throw ComError(kRefused, L"The item \"" + other.text(0) + L"\" already has the path \"" + value + L"\".",
                       progId);
    return value;
}

Variant orNull(Record& r, size_t position, Variant fallback = Variant()) {
    return r.hasKey(position) ? r.key(position) : fallback;
}

}  // namespace

// Tesra.File: loaddata(item id, name, type, path or identifier).
const RecordKind& fileKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.File", "items",
                                {L"FileId", L"FileName", L"FileComment", L"FileCurrentPath", L"FileType"},
                                {1, 2, 0, 4, 3});
        auto& t = k.members;
        // By path (and type when given); without a path, by id.
        t.method<Record>(L"GetOne", [](Record& r, const CallArgs&) {
            if (r.hasKey(4)) {
                Variant path(normalisedIfLocal(r.key(4).toText()));
                if (r.hasKey(3))
                    return r.one("WHERE FileCurrentPath = ? COLLATE PATH AND FileType = ? ORDER BY FileId", {path, r.key(3)});
                return r.one("WHERE FileCurrentPath = ? COLLATE PATH ORDER BY FileId", {path});
            }
            return r.one("WHERE FileId = ?", {need(r, 1, L"GetOne", L"item id or path")});
        });
        t.method<Record>(L"GetOneById",
                         [](Record& r, const CallArgs&) { return r.one("WHERE FileId = ?", {need(r, 1, L"GetOneById", L"item id")}); });
        t.method<Record>(L"ExistFile", [](Record& r, const CallArgs&) {
            if (r.hasKey(4))
                return r.exists("WHERE FileCurrentPath = ? COLLATE PATH", {Variant(normalisedIfLocal(r.key(4).toText()))});
            return r.exists("WHERE FileId = ?", {need(r, 1, L"ExistFile", L"item id or path")});
        });
        t.method<Record>(L"Delete", [](Record& r, const CallArgs&) {
            r.exec("DELETE FROM items WHERE FileId = ?", {need(r, 1, L"Delete", L"item id")});
        });
        // Copies keyword relations, memos (with their categories) and attachments of one item to another.
        t.method<Record>(L"CloneRelation", [](Record& r, const CallArgs& a) {
            a.require(0);
            a.require(1);
            Variant from(a.value(0).toLong()), to(a.value(1).toLong());
            r.db().transaction([&] {
                r.exec("INSERT OR IGNORE INTO keyword_items(KeyId, FileId) SELECT KeyId, ? FROM keyword_items WHERE FileId = ?",
                       {to, from});
                auto memos = r.db().prepare("SELECT MemoId FROM memos WHERE FileId = ? ORDER BY MemoId");
                memos.bind(1, from);
                std::vector<int64_t> ids;
                while (memos.step()) ids.push_back(memos.integer(0));
                for (int64_t id : ids) {
                    r.exec("INSERT INTO memos(FileId, MemoText, MemoTheme, MemoFlag, ViewId) "
                           "SELECT ?, MemoText, MemoTheme, MemoFlag, ViewId FROM memos WHERE MemoId = ?",
                           {to, Variant(static_cast<long>(id))});
                    Variant copy(static_cast<long>(r.db().lastInsertId()));
                    r.exec("INSERT INTO memo_categories(MemoId, CatId) SELECT ?, CatId FROM memo_categories WHERE MemoId = ?",
                           {copy, Variant(static_cast<long>(id))});
                }
                r.exec("INSERT INTO attachments(Attach1, Attach2) "
                       "SELECT ?1, CASE WHEN Attach1 = ?2 THEN Attach2 ELSE Attach1 END FROM attachments "
                       "WHERE (Attach1 = ?2 OR Attach2 = ?2) AND Attach1 <> ?1 AND Attach2 <> ?1",
                       {to, from});
            });
        });
        // The suite keeps its items consistent: a record has a name and a usable path of its own,
        // and an edit of a record deleted meanwhile is refused rather than lost.
        auto update = [&t](const wchar_t* member, const char* column, const wchar_t* field) {
            t.method<Record>(member, [column, field, member](Record& r, const CallArgs& a) {
                a.require(0);
                Variant id = r.field(L"FileId").isEmpty() ? need(r, 1, member, L"item id") : r.field(L"FileId");
                std::wstring value = checkedField(r, field, a.value(0).toText(), id);
                r.exec(std::string("UPDATE items SET ") + column + " = ? WHERE FileId = ?", {Variant(value), id});
                if (r.db().changes() == 0)
                    throw ComError(kRefused, L"There is no such item (id " + id.toText() + L"): it was deleted.",
                                   r.kind().progId);
                r.setField(field, Variant(value));
            });
        };
        update(L"UpDateName", "FileName", L"FileName");
        update(L"UpDateComment", "FileComment", L"FileComment");
        update(L"UpDatePath", "FileCurrentPath", L"FileCurrentPath");
        update(L"UpDateType", "FileType", L"FileType");
        return k;
    }();
    return k;
}

// Tesra.KeyWord: loaddata(keyword id, name, view id, view id for GetAllByView).
const RecordKind& keyWordKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.KeyWord", "keywords", {L"KeyId", L"KeyName", L"GroupId", L"ViewId"}, {1, 2, 0, 0});
        k.members.method<Record>(L"GetOneById", [](Record& r, const CallArgs&) {
            return r.one("WHERE KeyId = ?", {need(r, 1, L"GetOneById", L"keyword id")});
        });
        k.members.method<Record>(L"GetAllByView", [](Record& r, const CallArgs&) {
            return r.many("WHERE ViewId = ? ORDER BY KeyName COLLATE NOCASE, KeyId",
                          {need(r, 4, L"GetAllByView", L"view id")});
        });
        return k;
    }();
    return k;
}

// Tesra.Group: loaddata(group id, name, view id).
const RecordKind& groupKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.Group", "groups", {L"GroupId", L"GroupName", L"ViewId"}, {1, 2, 3});
        k.members.method<Record>(L"GetOneById", [](Record& r, const CallArgs&) {
            return r.one("WHERE GroupId = ?", {need(r, 1, L"GetOneById", L"group id")});
        });
        k.members.method<Record>(L"GetByView", [](Record& r, const CallArgs&) {
            return r.many("WHERE ViewId = ? ORDER BY GroupName COLLATE NOCASE, GroupId",
                          {need(r, 3, L"GetByView", L"view id")});
        });
        return k;
    }();
    return k;
}

// Tesra.View: loaddata(view id).
const RecordKind& viewKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.View", "views", {L"ViewId", L"ViewName", L"ParentCategoryId"}, {1, 0, 0});
        k.members.method<Record>(L"GetOne", [](Record& r, const CallArgs&) {
            return r.one("WHERE ViewId = ?", {need(r, 1, L"GetOne", L"view id")});
        });
        k.members.method<Record>(L"GetAll",
                                 [](Record& r, const CallArgs&) { return r.many("ORDER BY ViewName COLLATE NOCASE, ViewId", {}); });
        return k;
    }();
    return k;
}

// Tesra.KeyWordFile: loaddata(keyword id, item id).
const RecordKind& keyWordFileKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.KeyWordFile", "keyword_items", {L"KeyId", L"FileId"}, {1, 2});
        auto& t = k.members;
        auto pair = [](Record& r, const wchar_t* member) {
            return V{need(r, 1, member, L"keyword id"), need(r, 2, member, L"item id")};
        };
        t.method<Record>(L"ExistRegister", [pair](Record& r, const CallArgs&) {
            return r.exists("WHERE KeyId = ? AND FileId = ?", pair(r, L"ExistRegister"));
        });
        t.method<Record>(L"GetOne", [pair](Record& r, const CallArgs&) {
            return r.one("WHERE KeyId = ? AND FileId = ?", pair(r, L"GetOne"));
        });
        t.method<Record>(L"Insert", [pair](Record& r, const CallArgs&) {
            r.exec("INSERT OR IGNORE INTO keyword_items(KeyId, FileId) VALUES(?, ?)", pair(r, L"Insert"));
        });
        t.method<Record>(L"Delete", [pair](Record& r, const CallArgs&) {
            r.exec("DELETE FROM keyword_items WHERE KeyId = ? AND FileId = ?", pair(r, L"Delete"));
        });
        t.method<Record>(L"GetByFileId", [](Record& r, const CallArgs&) {
            return r.many("WHERE FileId = ? ORDER BY rowid", {need(r, 2, L"GetByFileId", L"item id")});
        });
        return k;
    }();
    return k;
}

// Tesra.Memo: loaddata(memo id, item id, text, theme, flag, view id).
const RecordKind& memoKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.Memo", "memos",
                                {L"MemoId", L"FileId", L"MemoText", L"MemoTheme", L"MemoFlag", L"ViewId"},
                                {1, 2, 3, 4, 5, 6});
        auto& t = k.members;
        // The item's memos of one view (of every view when no view id is given).
        t.method<Record>(L"GetByFileId", [](Record& r, const CallArgs&) {
            Variant item = need(r, 2, L"GetByFileId", L"item id");
            if (r.hasKey(6)) return r.many("WHERE FileId = ? AND ViewId = ? ORDER BY MemoId", {item, r.key(6)});
            return r.many("WHERE FileId = ? ORDER BY MemoId", {item});
        });
        // Returns the new memo's id.
        t.method<Record>(L"Insert", [](Record& r, const CallArgs&) {
            r.exec("INSERT INTO memos(FileId, MemoText, MemoTheme, MemoFlag, ViewId) VALUES(?, ?, ?, ?, ?)",
                   {need(r, 2, L"Insert", L"item id"), Variant(orNull(r, 3, Variant(L"")).toText()),
                    Variant(orNull(r, 4, Variant(1L)).toText()), Variant(orNull(r, 5, Variant(L"")).toText()),
                    orNull(r, 6, Variant(0L))});
            return static_cast<long>(r.db().lastInsertId());
        });
        t.method<Record>(L"Update", [](Record& r, const CallArgs&) {
            r.exec("UPDATE memos SET MemoText = COALESCE(?, MemoText), MemoTheme = COALESCE(?, MemoTheme), "
                   "MemoFlag = COALESCE(?, MemoFlag) WHERE MemoId = ?",
                   {r.hasKey(3) ? Variant(r.key(3).toText()) : Variant(), r.hasKey(4) ? Variant(r.key(4).toText()) : Variant(),
                    r.hasKey(5) ? Variant(r.key(5).toText()) : Variant(), need(r, 1, L"Update", L"memo id")});
        });
        t.method<Record>(L"DeleteByMemoId", [](Record& r, const CallArgs&) {
            r.exec("DELETE FROM memos WHERE MemoId = ?", {need(r, 1, L"DeleteByMemoId", L"memo id")});
        });
        t.method<Record>(L"DeleteByFileId", [](Record& r, const CallArgs&) {
            Variant item = need(r, 2, L"DeleteByFileId", L"item id");
            if (r.hasKey(6)) r.exec("DELETE FROM memos WHERE FileId = ? AND ViewId = ?", {item, r.key(6)});
            else r.exec("DELETE FROM memos WHERE FileId = ?", {item});
        });
        return k;
    }();
    return k;
}

// Tesra.CatMemo: loaddata(memo id, category id).
const RecordKind& catMemoKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.CatMemo", "memo_categories", {L"MemoId", L"CatId"}, {1, 2});
        auto& t = k.members;
        t.method<Record>(L"Insert", [](Record& r, const CallArgs&) {
            r.exec("INSERT OR IGNORE INTO memo_categories(MemoId, CatId) VALUES(?, ?)",
                   {need(r, 1, L"Insert", L"memo id"), need(r, 2, L"Insert", L"category id")});
        });
        // Removes the memo's filings; True when that went through (whether or not there were any).
        t.method<Record>(L"DeleteByMemo", [](Record& r, const CallArgs&) {
            r.exec("DELETE FROM memo_categories WHERE MemoId = ?", {need(r, 1, L"DeleteByMemo", L"memo id")});
            return true;
        });
        // The memo's filing: a memo is filed in one category, so one object (or Nothing).
        t.method<Record>(L"GetRegistersByMemo", [](Record& r, const CallArgs&) {
            return r.one("WHERE MemoId = ? ORDER BY rowid", {need(r, 1, L"GetRegistersByMemo", L"memo id")});
        });
        return k;
    }();
    return k;
}

// Tesra.Theme: no keys.
const RecordKind& themeKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.Theme", "themes", {L"ThemeId", L"ThemeName"}, {1, 2});
        k.members.method<Record>(L"GetAll", [](Record& r, const CallArgs&) { return r.many("ORDER BY ThemeId", {}); });
        return k;
    }();
    return k;
}

// Tesra.Category: loaddata(category id, name, view id, parent category id).
const RecordKind& categoryKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.Category", "categories", {L"CatId", L"CatName", L"ParentCategoryId", L"ViewId"},
                                {1, 2, 4, 3});
        k.members.method<Record>(L"GetByParentId", [](Record& r, const CallArgs&) {
            return r.many("WHERE ParentCategoryId = ? ORDER BY CatName COLLATE NOCASE, CatId",
                          {need(r, 4, L"GetByParentId", L"parent category id")});
        });
        return k;
    }();
    return k;
}

// Tesra.Attach: loaddata(item id, the other item's id); a pair matches in either order.
constexpr char kPair[] = "WHERE (Attach1 = ?1 AND Attach2 = ?2) OR (Attach1 = ?2 AND Attach2 = ?1)";

const RecordKind& attachKind() {
    static RecordKind k = [] {
        RecordKind k = makeKind(L"Tesra.Attach", "attachments", {L"Attach1", L"Attach2"}, {1, 2});
        auto& t = k.members;
        auto pair = [](Record& r, const wchar_t* member) {
            return V{need(r, 1, member, L"item id"), need(r, 2, member, L"other item id")};
        };
        t.method<Record>(L"GetByAttach", [](Record& r, const CallArgs&) {
            return r.many("WHERE Attach1 = ?1 OR Attach2 = ?1 ORDER BY AttachId", {need(r, 1, L"GetByAttach", L"item id")});
        });
        t.method<Record>(L"GetOne", [pair](Record& r, const CallArgs&) { return r.one(kPair, pair(r, L"GetOne")); });
        t.method<Record>(L"ExistRegister",
                         [pair](Record& r, const CallArgs&) { return r.exists(kPair, pair(r, L"ExistRegister")); });
        // No test for a pair stored already: the same pair twice is two attachments.
        t.method<Record>(L"Insert", [pair](Record& r, const CallArgs&) {
            r.exec("INSERT INTO attachments(Attach1, Attach2) VALUES(?, ?)", pair(r, L"Insert"));
        });
        // One attachment: the oldest of the pair's.
        t.method<Record>(L"Delete", [pair](Record& r, const CallArgs&) {
            r.exec(std::string("DELETE FROM attachments WHERE AttachId = (SELECT AttachId FROM attachments ") + kPair +
                       " ORDER BY AttachId LIMIT 1)",
                   pair(r, L"Delete"));
        });
        return k;
    }();
    return k;
}

}  // namespace tesra
