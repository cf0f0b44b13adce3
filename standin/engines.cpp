#include "engines.h"

#include <atomic>
#include <thread>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cwctype>

#include "automation/com_error.h"
#include "base/handles.h"
#include "paths.h"

namespace tesra {

using qb::automation::ComError;

namespace {

std::wstring fileNamePart(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring knownFolder(int csidl) {
    wchar_t base[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, base);
    return base;
}

std::wstring ensureFolder(const std::wstring& folder) {
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

// A Tesra.File object answering the item found by `tail`, or Nothing.
Variant findItem(SuiteObject& o, const std::string& tail, const std::vector<Variant>& binds) {
    auto* lookup = new Record(fileKind(), o.connection());
    auto hold = qb::automation::ComPtr<IDispatch>::attach(lookup);
    return lookup->one(tail, binds);
}

Variant createItem(SuiteObject& o, const std::wstring& name, const std::wstring& path, const std::wstring& type) {
    auto s = o.db().prepare("INSERT INTO items(FileName, FileComment, FileCurrentPath, FileType) VALUES(?, '', ?, ?)");
    s.bind(1, name).bind(2, path).bind(3, type).step();
    return findItem(o, "WHERE FileId = ?", {Variant(static_cast<long>(o.db().lastInsertId()))});
}

// The loader's flag: true lets it create the record of an item the suite does not know yet.
Variant findOrCreate(SuiteObject& o, const std::wstring& path, const std::wstring* type, bool create,
                     const std::wstring& name, const std::wstring& newType) {
    Variant found = type ? findItem(o, "WHERE FileCurrentPath = ? COLLATE PATH AND FileType = ? ORDER BY FileId",
                                    {Variant(path), Variant(*type)})
                         : findItem(o, "WHERE FileCurrentPath = ? COLLATE PATH ORDER BY FileId", {Variant(path)});
    if (!found.isNothing() || !create || path.empty()) return found;
    return createItem(o, name, path, newType);
}

}  // namespace

const MemberTable& ItemLoader::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        // A local file is created only when it exists on disk as a file.
        t.method<ItemLoader>(L"LoadFileObject", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            // Found by its full path however it was written; a folder is no item.
            std::wstring path = fullPath(a.value(0).toText()), type = L"File";
            bool create = a.flag(1) && isExistingFile(path);
            return findOrCreate(l, path, &type, create, fileNamePart(path), type);
        });
        t.method<ItemLoader>(L"LoadFileOutlookObject", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            return findOrCreate(l, a.value(0).toText(), nullptr, a.flag(3), a.text(1), a.text(2, L"OutlookMail"));
        });
        t.method<ItemLoader>(L"LoadFileWeb", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            std::wstring address = a.value(0).toText();
            return findOrCreate(l, address, nullptr, a.flag(2), a.text(1, address), L"Web");
        });
        t.method<ItemLoader>(L"LoadFileObjectServer", [](ItemLoader& l, const CallArgs& a) {
            a.require(0);
            std::wstring path = a.value(0).toText(), type = a.text(2, L"Server");
            return findOrCreate(l, path, &type, a.flag(1), fileNamePart(path), type);
        });
        return t;
    }();
    return table;
}

// ---- Gatehouse.Engine: StateConnection from the settings; the file server is a folder ----------

namespace {

std::wstring serverFolder(Database& db) {
    return ensureFolder(db.setting(L"ServerFolder", knownFolder(CSIDL_LOCAL_APPDATA) + L"\\Tesra\\Server"));
}

Variant dateOf(const FILETIME& ft) {
    FILETIME local;
    SYSTEMTIME st;
    ::FileTimeToLocalFileTime(&ft, &local);
    ::FileTimeToSystemTime(&local, &st);
    double date = 0;
    ::SystemTimeToVariantTime(&st, &date);
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_DATE;
    v.date = date;
    return Variant::adopt(v);
}

// Copies on a worker thread and lets the caller's messages run meanwhile, as a network upload
// does: the caller's windows keep painting while a large file goes.
bool copyWhilePumping(const std::wstring& source, const std::wstring& target) {
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done) return ::CopyFileW(source.c_str(), target.c_str(), FALSE) != 0;
    std::atomic<bool> copied{false};
    std::thread worker([&] {
        copied = ::CopyFileW(source.c_str(), target.c_str(), FALSE) != 0;
        ::SetEvent(done);
    });
    bool quit = false;
    WPARAM quitCode = 0;
    while (::MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true, quitCode = msg.wParam;
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    worker.join();
    ::CloseHandle(done);
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return copied;
}

std::wstring extensionOf(const std::wstring& name) {
    auto dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
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
            if (!copyWhilePumping(source, target)) return L"";
            return L"/" + name;
        });
        // Deletes a file of the server by name (a leading "/" is allowed); true when it went.
        t.method<Gatehouse>(L"DeleteFile", [](Gatehouse& g, const CallArgs& a) {
            a.require(0);
            std::wstring name = fileNamePart(a.value(0).toText());
            if (g.db().setting(L"RefuseDelete", L"0") == L"1") return false;  // a server that keeps its files
            return !name.empty() && ::DeleteFileW((serverFolder(g.db()) + L"\\" + name).c_str()) != 0;
        });
        // One record: Return (a file of that name exists), FullPath, Type (extension with its dot),
        // Name, DateCreation, Size.
        t.method<Gatehouse>(L"GetOneFile", [](Gatehouse& g, const CallArgs& a) {
            a.require(0);
            std::wstring name = fileNamePart(a.value(0).toText());
            std::wstring full = serverFolder(g.db()) + L"\\" + name;
            WIN32_FILE_ATTRIBUTE_DATA fa{};
            bool exists = !name.empty() && ::GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &fa) &&
                          !(fa.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            RecordSet::Row row{{L"Return", Variant(exists)},
                               {L"FullPath", Variant(exists ? L"/" + name : std::wstring())},
                               {L"Type", Variant(extensionOf(name))},
                               {L"Name", Variant(name)},
                               {L"DateCreation", exists ? dateOf(fa.ftCreationTime) : Variant()},
                               {L"Size", Variant(exists ? static_cast<double>(fa.nFileSizeLow) +
                                                              static_cast<double>(fa.nFileSizeHigh) * 4294967296.0
                                                        : 0.0)}};
            return Variant(qb::automation::makeObject<RecordSet>(std::vector<RecordSet::Row>{row}));
        });
        // One record: field 0 the server's name, field 1 its base address.
        t.method<Gatehouse>(L"GetServerConfig", [](Gatehouse& g, const CallArgs&) {
            RecordSet::Row row{{L"ServerName", Variant(g.db().setting(L"ServerName", L"Tesra file server"))},
                               {L"ServerAddress", Variant(g.db().setting(L"ServerAddress", L"http://127.0.0.1:8080/files/"))}};
            return Variant(qb::automation::makeObject<RecordSet>(std::vector<RecordSet::Row>{row}));
        });
        return t;
    }();
    return table;
}

namespace {

class Field final : public qb::automation::DispatchObject {
public:
    Field(std::wstring name, Variant value) : name_(std::move(name)), value_(std::move(value)) {}

protected:
    const MemberTable& members() const override {
        static const MemberTable table = [] {
            MemberTable t;
            t.property<Field>(L"Value", [](Field& f) { return f.value_; });
            t.property<Field>(L"Name", [](Field& f) { return f.name_; });
            t.makeDefault(L"Value");
            return t;
        }();
        return table;
    }

private:
    std::wstring name_;
    Variant value_;
};

bool sameText(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

}  // namespace

const MemberTable& RecordSet::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.property<RecordSet>(L"BOF", [](RecordSet& r) { return r.rows_.empty(); });
        t.property<RecordSet>(L"EOF", [](RecordSet& r) { return r.position_ >= r.rows_.size(); });
        t.property<RecordSet>(L"RecordCount", [](RecordSet& r) { return static_cast<long>(r.rows_.size()); });
        t.method<RecordSet>(L"MoveFirst", [](RecordSet& r, const CallArgs&) { r.position_ = 0; });
        t.method<RecordSet>(L"MoveNext", [](RecordSet& r, const CallArgs&) {
            if (r.position_ < r.rows_.size()) ++r.position_;
        });
        t.method<RecordSet>(L"fields", [](RecordSet& r, const CallArgs& a) {
            a.require(0);
            if (r.position_ >= r.rows_.size())
                throw ComError(3021, L"Either BOF or EOF is True, or the current record has been deleted.",
                               L"Gatehouse.Engine");
            const Row& row = r.rows_[r.position_];
            Variant which = a.value(0);
            for (size_t i = 0; i < row.size(); ++i) {
                bool match = which.type() == VT_BSTR ? sameText(row[i].first, which.toText())
                                                     : static_cast<long>(i) == which.toLong();
                if (match) return Variant(qb::automation::makeObject<Field>(row[i].first, row[i].second));
            }
            throw ComError(3265, L"Item cannot be found in the collection corresponding to the requested name or ordinal.",
                           L"Gatehouse.Engine");
        });
        t.makeDefault(L"fields");
        return t;
    }();
    return table;
}

// ---- Settler.Engine: the download folder (setting "DownloadFolder"), created when missing ------

const MemberTable& Settler::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.method<Settler>(L"GetDownloadPath", [](Settler& s, const CallArgs&) {
            return ensureFolder(s.db().setting(L"DownloadFolder", knownFolder(CSIDL_PERSONAL) + L"\\Tesra Downloads"));
        });
        return t;
    }();
    return table;
}

// ---- Procwatch.clsEngine: is a program with this executable name running? ----------------------

const MemberTable& ProcessWatch::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.method<ProcessWatch>(L"IsRunning", [](ProcessWatch&, const CallArgs& a) {
            a.require(0);
            std::wstring exe = fileNamePart(a.value(0).toText());
            const qb::UniqueFile snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            if (!snap) return false;
            PROCESSENTRY32W pe{sizeof pe};
            bool found = false;
            for (BOOL more = ::Process32FirstW(snap.get(), &pe); more && !found; more = ::Process32NextW(snap.get(), &pe))
                found = sameText(pe.szExeFile, exe);
            return found;
        });
        return t;
    }();
    return table;
}

// ---- Webopen.Engine: opens an address in a new browser window through the shell ----------------

const MemberTable& WebOpener::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.method<WebOpener>(L"OpenInNewWinwodw", [](WebOpener&, const CallArgs& a) {
            a.require(0);
            std::wstring address = a.value(0).toText();
            auto rc = reinterpret_cast<INT_PTR>(
                ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
            if (rc <= 32) throw ComError(static_cast<long>(0x80040000L + 0x1200), L"Cannot open " + address, L"Webopen.Engine");
        });
        return t;
    }();
    return table;
}

}  // namespace tesra
