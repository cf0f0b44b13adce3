#include "objects.h"

#include <windows.h>
#include <shlobj.h>

#include "automation/com_error.h"

namespace tesra {

using qb::automation::CallArgs;
using qb::automation::ComError;
using qb::automation::MemberTable;
using qb::automation::Variant;

namespace {

ItemRow readRow(Statement& s) {
    return ItemRow{s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4)};
}

constexpr char kItemColumns[] = "SELECT FileId, FileName, FileComment, FileCurrentPath, FileType FROM items ";

std::wstring fileNamePart(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<ItemRow> findItemByPath(Database& db, const std::wstring& path, const std::wstring* type) {
    std::string sql = std::string(kItemColumns) + "WHERE FileCurrentPath = ? COLLATE NOCASE" +
                      (type ? " AND FileType = ?" : "") + " ORDER BY FileId LIMIT 1";
    auto s = db.prepare(sql.c_str());
    s.bind(1, path);
    if (type) s.bind(2, *type);
    if (!s.step()) return std::nullopt;
    return readRow(s);
}

std::optional<ItemRow> findItemById(Database& db, int64_t id) {
    auto s = db.prepare((std::string(kItemColumns) + "WHERE FileId = ?").c_str());
    s.bind(1, id);
    if (!s.step()) return std::nullopt;
    return readRow(s);
}

ItemRow insertItem(Database& db, ItemRow row) {
    auto s = db.prepare("INSERT INTO items(FileName, FileComment, FileCurrentPath, FileType) VALUES(?, ?, ?, ?)");
    s.bind(1, row.name).bind(2, row.comment).bind(3, row.path).bind(4, row.type).step();
    row.id = db.lastInsertId();
    return row;
}

Database& SuiteObject::db() {
    if (!db_) db_ = Database::open();
    return *db_;
}

// ---- Tesra.File -------------------------------------------------------------------------------

Variant FileObject::wrap(const std::optional<ItemRow>& row) {
    if (!row) return Variant(static_cast<IDispatch*>(nullptr));
    return Variant(qb::automation::makeObject<FileObject>(*row));
}

int64_t FileObject::targetId() const {
    if (loaded_) return row_.id;
    if (keyId_) return *keyId_;
    throw ComError(static_cast<long>(0x80040000L + 0x1100), L"No item: call loaddata with an item id first",
                   L"Tesra.File");
}

void FileObject::update(const char* column, std::wstring ItemRow::*field, const CallArgs& a) {
    a.require(0);
    std::wstring value = a.value(0).toText();
    auto s = db().prepare((std::string("UPDATE items SET ") + column + " = ? WHERE FileId = ?").c_str());
    s.bind(1, value).bind(2, targetId()).step();
    row_.*field = value;
}

const MemberTable& FileObject::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        // loaddata(item id, -, item type, path or identifier): omitted arguments leave a key unset.
        t.method<FileObject>(L"loaddata", [](FileObject& f, const CallArgs& a) {
            if (a.has(0)) f.keyId_ = a.value(0).toLong();
            if (a.has(2)) f.keyType_ = a.value(2).toText();
            if (a.has(3)) f.keyPath_ = a.value(3).toText();
        });
        t.method<FileObject>(L"GetOne", [](FileObject& f, const CallArgs&) {
            if (f.keyPath_) return wrap(findItemByPath(f.db(), *f.keyPath_, f.keyType_ ? &*f.keyType_ : nullptr));
            if (f.keyId_) return wrap(findItemById(f.db(), *f.keyId_));
            return wrap(std::nullopt);
        });
        t.method<FileObject>(L"GetOneById", [](FileObject& f, const CallArgs&) {
            return wrap(f.keyId_ ? findItemById(f.db(), *f.keyId_) : std::nullopt);
        });
        t.method<FileObject>(L"ExistFile", [](FileObject& f, const CallArgs&) {
            if (f.keyPath_) return findItemByPath(f.db(), *f.keyPath_, f.keyType_ ? &*f.keyType_ : nullptr).has_value();
            return f.keyId_ && findItemById(f.db(), *f.keyId_).has_value();
        });
        t.method<FileObject>(L"Delete", [](FileObject& f, const CallArgs&) {
            auto s = f.db().prepare("DELETE FROM items WHERE FileId = ?");
            s.bind(1, f.targetId()).step();
        });
        t.method<FileObject>(L"UpDateName",
                             [](FileObject& f, const CallArgs& a) { f.update("FileName", &ItemRow::name, a); });
        t.method<FileObject>(L"UpDateComment",
                             [](FileObject& f, const CallArgs& a) { f.update("FileComment", &ItemRow::comment, a); });
        t.method<FileObject>(L"UpDatePath",
                             [](FileObject& f, const CallArgs& a) { f.update("FileCurrentPath", &ItemRow::path, a); });
        t.method<FileObject>(L"UpDateType",
                             [](FileObject& f, const CallArgs& a) { f.update("FileType", &ItemRow::type, a); });
        t.property<FileObject>(L"FileId", [](FileObject& f) { return static_cast<long>(f.row_.id); });
        t.property<FileObject>(L"FileName", [](FileObject& f) { return f.row_.name; });
        t.property<FileObject>(L"FileComment", [](FileObject& f) { return f.row_.comment; });
        t.property<FileObject>(L"FileCurrentPath", [](FileObject& f) { return f.row_.path; });
        t.property<FileObject>(L"FileType", [](FileObject& f) { return f.row_.type; });
        return t;
    }();
    return table;
}

// ---- Itemkeeper.Engine ------------------------------------------------------------------------
// The flag says whether a missing record may be created: true when a relation window opens an
// item (it becomes part of the suite), false for the edit dialogs, which only edit known items.
// A local file is only created when it exists on disk.

const MemberTable& ItemLoader::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.method<ItemLoader>(L"LoadFileObject", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            std::wstring path = a.value(0).toText(), type = L"File";
            auto row = findItemByPath(l.db(), path, &type);
            if (!row && a.flag(1) && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                row = insertItem(l.db(), ItemRow{0, fileNamePart(path), L"", path, type});
            return FileObject::wrap(row);
        });
        t.method<ItemLoader>(L"LoadFileOutlookObject", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            std::wstring id = a.value(0).toText(), name = a.text(1), type = a.text(2);
            auto row = findItemByPath(l.db(), id);
            if (!row && a.flag(3) && !id.empty()) row = insertItem(l.db(), ItemRow{0, name, L"", id, type});
            return FileObject::wrap(row);
        });
        t.method<ItemLoader>(L"LoadFileWeb", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            std::wstring address = a.value(0).toText();
            auto row = findItemByPath(l.db(), address);
            if (!row && a.flag(2) && !address.empty())
                row = insertItem(l.db(), ItemRow{0, a.text(1, address), L"", address, L"Web"});
            return FileObject::wrap(row);
        });
        t.method<ItemLoader>(L"LoadFileObjectServer", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            std::wstring path = a.value(0).toText(), type = a.text(2, L"Server");
            auto row = findItemByPath(l.db(), path, &type);
            if (!row && a.flag(1) && !path.empty())
                row = insertItem(l.db(), ItemRow{0, fileNamePart(path), L"", path, type});
            return FileObject::wrap(row);
        });
        return t;
    }();
    return table;
}

// ---- Gatehouse.Engine -------------------------------------------------------------------------
// StateConnection comes from the settings table ("StateConnection", default 1 = connected).
// The file server is a folder (setting "ServerFolder", default %LOCALAPPDATA%\Tesra\Server).

namespace {

std::wstring serverFolder(Database& db) {
    wchar_t base[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base);
    std::wstring folder = db.setting(L"ServerFolder", std::wstring(base) + L"\\Tesra\\Server");
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

}  // namespace

const MemberTable& Gatehouse::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.property<Gatehouse>(L"StateConnection",
                              [](Gatehouse& g) { return _wtol(g.db().setting(L"StateConnection", L"1").c_str()); });
        // Copies a file to the server; answers its server path ("/name.ext"), or "" when it did not upload.
        t.method<Gatehouse>(L"UploadFile", [](Gatehouse& g, const CallArgs& a) -> std::wstring {
            a.require(0);
            std::wstring source = a.value(0).toText(), name = fileNamePart(source);
            if (name.empty()) return L"";
            std::wstring target = serverFolder(g.db()) + L"\\" + name;
            if (!::CopyFileW(source.c_str(), target.c_str(), FALSE)) return L"";
            return L"/" + name;
        });
        return t;
    }();
    return table;
}

}  // namespace tesra
