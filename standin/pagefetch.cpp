// Pagefetch.exe: the suite's downloader, as a stand-in. Started by the relation windows with
//   ADDRESS | TARGET [| KEYWORD-ID ...]
// (parameters joined by " | "; address and target are unquoted and may hold blanks), it fetches
// the address over HTTP into the target file and records the local copy in the suite: an item of
// kind "File" for the target, related to the keywords given. What it received and what came of it
// goes to its log (the setting "DownloaderLog"; default Pagefetch.log beside the database). A bad
// command line, a missing target folder or an address the server refuses: it logs why and exits
// non-zero, recording nothing.
#include <windows.h>
#include <winhttp.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation/com_error.h"
#include "automation/text.h"
#include "base/handles.h"
#include "downloader_line.h"
#include "store.h"

namespace {

using qb::automation::ComError;

using Request = tesra::DownloaderLine;

// What follows the program's own name on the command line, as it was given.
std::wstring parametersOf(const wchar_t* line) {
    std::wstring s(line);
    size_t at = 0;
    if (!s.empty() && s[0] == L'"') {
        at = s.find(L'"', 1);
        at = at == std::wstring::npos ? s.size() : at + 1;
    } else {
        at = s.find(L' ');
        if (at == std::wstring::npos) at = s.size();
    }
    while (at < s.size() && s[at] == L' ') ++at;
    return s.substr(at);
}

struct Internet {
    HINTERNET h;
    explicit Internet(HINTERNET handle) : h(handle) {}
    ~Internet() {
        if (h) ::WinHttpCloseHandle(h);
    }
};

[[noreturn]] void fail(const std::wstring& what) {
    throw ComError(static_cast<long>(HRESULT_FROM_WIN32(::GetLastError())), what + L" (error " + std::to_wstring(::GetLastError()) + L")");
}

// The body of a GET of `address` (http or https).
std::string fetch(const std::wstring& address) {
    URL_COMPONENTS url{sizeof url};
    wchar_t host[256] = {}, path[4096] = {};
    url.lpszHostName = host;
    url.dwHostNameLength = 256;
    url.lpszUrlPath = path;
    url.dwUrlPathLength = 4096;
    if (!::WinHttpCrackUrl(address.c_str(), 0, 0, &url)) fail(L"not an address: " + address);
    Internet session(::WinHttpOpen(L"Pagefetch", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
    if (!session.h) fail(L"WinHttpOpen");
    Internet connection(::WinHttpConnect(session.h, host, url.nPort, 0));
    if (!connection.h) fail(L"cannot connect to " + std::wstring(host));
    std::wstring object;  // blanks in a path go escaped
    for (const wchar_t* c = path; *c; ++c) object += *c == L' ' ? std::wstring(L"%20") : std::wstring(1, *c);
    Internet request(::WinHttpOpenRequest(connection.h, L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                          url.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request.h || !::WinHttpSendRequest(request.h, nullptr, 0, nullptr, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.h, nullptr))
        fail(L"the server did not answer " + address);
    DWORD status = 0, size = sizeof status;
    ::WinHttpQueryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, nullptr, &status, &size, nullptr);
    if (status < 200 || status > 299) throw ComError(5, L"the server refused " + address + L" with status " + std::to_wstring(status));
    std::string body;
    for (DWORD available = 0; ::WinHttpQueryDataAvailable(request.h, &available) && available;) {
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (!::WinHttpReadData(request.h, chunk.data(), available, &read)) fail(L"reading " + address);
        body.append(chunk, 0, read);
    }
    return body;
}

void save(const std::wstring& target, const std::string& body) {
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw ComError(76, L"the target folder is missing: " + folder);
    qb::UniqueFile file(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) fail(L"cannot write " + target);
    DWORD written = 0;
    if (!::WriteFile(file.get(), body.data(), static_cast<DWORD>(body.size()), &written, nullptr)) fail(L"cannot write " + target);
}

// The copy as the suite knows it: a local file item, related to the keywords.
void record(tesra::Database& db, const Request& r) {
    const std::wstring name = r.target.substr(r.target.find_last_of(L'\\') + 1);
    auto insert = db.prepare("INSERT INTO items(FileName, FileCurrentPath, FileType) VALUES (?, ?, 'File')");
    insert.bind(1, name).bind(2, r.target).step();
    auto id = db.prepare("SELECT max(FileId) FROM items");
    id.step();
    const int64_t item = id.integer(0);
    for (long keyword : r.keywords) {
        auto relate = db.prepare("INSERT INTO keyword_items(KeyId, FileId) VALUES (?, ?)");
        relate.bind(1, static_cast<int64_t>(keyword)).bind(2, item).step();
    }
}

void log(const std::wstring& file, const std::wstring& line) {
    qb::UniqueFile f(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return;
    const std::string text = qb::automation::toUtf8(line) + "\r\n";
    DWORD written = 0;
    ::WriteFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int wmain() {
    const std::wstring parameters = parametersOf(::GetCommandLineW());
    std::wstring logFile;
    std::shared_ptr<tesra::Database> db;
    try {
        db = tesra::Database::open();
        const std::wstring beside = tesra::databasePath();
        logFile = db->setting(L"DownloaderLog", beside.substr(0, beside.find_last_of(L'\\') + 1) + L"Pagefetch.log");
    } catch (const ComError& e) {
        std::fprintf(stderr, "Pagefetch: %s\n", qb::automation::toUtf8(e.description()).c_str());
        return 3;
    }
    log(logFile, L"received: " + parameters);
    try {
        const Request r = tesra::parseDownloaderLine(parameters);
        save(r.target, fetch(r.address));
        record(*db, r);
        log(logFile, L"saved: " + r.target);
        return 0;
    } catch (const ComError& e) {
        log(logFile, L"failed: " + e.description());
        return 1;
    }
}
