#include "shell/file_function.h"

#include "automation/failure.h"
#include "support/services.h"

namespace qb::shell {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
using support::createObject;

constexpr wchar_t kFileSystem[] = L"Scripting.FileSystemObject";

// The file procedures' failures: " modFnc.Name() " on the source, " File : path" on the description.
template <class F>
decltype(auto) fileProcedure(const wchar_t* name, const std::wstring* path, F&& body) {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        ComError e = automation::currentError();
        std::wstring description = e.description();
        if (path) description += L" File : " + *path;
        ComError raised(e.number(), description, e.source(), e.helpFile(), e.helpContext());
        raised.appendSource(name);
        throw raised;
    }
}

void open(HWND owner, const std::wstring& file, const std::wstring& parameters) {
    support::services().shell->execute(owner, L"open", file, parameters, L"", SW_SHOWNORMAL);
}

}  // namespace

bool IsPlainFileName(const std::wstring& name) {
    static constexpr wchar_t kForbidden[] = L"\\/:*?\"<>|";
    if (name.empty() || name.find_first_of(kForbidden) != std::wstring::npos) return false;
    for (wchar_t c : name)
        if (c < 32) return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    ::CharUpperBuffW(stem.data(), static_cast<DWORD>(stem.size()));
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"COM1", L"COM2", L"COM3", L"COM4",
                                             L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3",
                                             L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
    for (const wchar_t* device : devices)
        if (stem == device) return false;
    return true;
}

std::wstring FormatLongDateTime(const automation::Variant& value) noexcept {
    try {
        VARIANT date;
        ::VariantInit(&date);
        if (FAILED(::VariantChangeTypeEx(&date, const_cast<VARIANT*>(value.get()), LOCALE_USER_DEFAULT, 0, VT_DATE)))
            return {};
        SYSTEMTIME st{};
        if (!::VariantTimeToSystemTime(date.date, &st)) return {};
        wchar_t day[128] = {}, time[128] = {};
        ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, day, 128);
        ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128);
        return std::wstring(day) + L" " + time;
    } catch (...) {
        return {};
    }
}

bool FSOFileExist(const std::wstring& path) {
    return fileProcedure(L"modFnc.FSOFileExist()", &path,
                         [&] { return createObject(kFileSystem).call(L"FileExists", {path}).toBool(); });
}

bool FSOFileDelete(const std::wstring& path) {
    return fileProcedure(L"modFnc.FSOFileDelete()", &path, [&] {
        Object fso = createObject(kFileSystem);
        if (fso.call(L"FileExists", {path}).toBool()) fso.call(L"DeleteFile", {path, true});
        return true;
    });
}

void FSOFileCopy(const std::wstring& source, const std::wstring& destination, bool overwrite) {
    fileProcedure(L"modFnc.FSOFileCopy()", nullptr, [&] {
        Object fso = createObject(kFileSystem);
        if (FSOFileExist(source)) fso.call(L"CopyFile", {source, destination, overwrite});
    });
}

void FSOFileTextCreate(const std::wstring& path, const std::wstring& content) {
    fileProcedure(L"modFnc.FSOFileTextCreate()", &path, [&] {
        if (FSOFileExist(path)) FSOFileDelete(path);
        Object fso = createObject(kFileSystem);
        Object stream = fso.callObject(L"CreateTextFile", {path});
        stream.call(L"Write", {content});
        stream.call(L"Close");
    });
}

void OpenFileLocal(const std::wstring& path, HWND window) {
    if (FSOFileExist(path)) {
        open(window, path, L"");
    } else {
        createObject(L"Routepick.Engine").call(L"Show", {path});
    }
}

void OpenFileParams(const std::wstring& file, HWND window, std::wstring& parameters) { open(window, file, parameters); }

automation::Variant CompleteUrl(const std::wstring& address) {
    return automation::Variant(address.find(L"http") == std::wstring::npos ? L"http://" + address : address);
}

void OpenFileWeb(const std::wstring& address, HWND window) { open(window, CompleteUrl(address).toText(), L""); }

std::wstring GetFileServerPath(const std::wstring& pstrUrl) {
    Object config = createObject(L"Gatehouse.Engine").callObject(L"GetServerConfig");
    std::wstring base = config.callObject(L"fields", {1L}).get(L"Value").toText();
    if (!base.empty() && base.back() == L'/') base.pop_back();
    return base + pstrUrl;
}

void OpenFileServer(const std::wstring& serverPath) {
    automation::qualified(L"modFileFunction.OpenFileServer()", [&] {
        createObject(L"Webopen.Engine").call(L"OpenInNewWinwodw", {GetFileServerPath(serverPath)});
    });
}

Object OutlookSession(HWND owner) {
    if (!createObject(L"Procwatch.clsEngine").call(L"IsRunning", {L"OUTLOOK.EXE"}).toBool()) {
        support::services().prompter->messageBox(
            owner, L"Outlook is not running. If you want this action component to run properly please start OUTLOOK aplication ",
            L"Outlook needed", MB_OK | MB_ICONEXCLAMATION);
        return Object();
    }
    Object ns = createObject(L"Outlook.Application").callObject(L"GetNamespace", {L"MAPI"});
    ns.call(L"Logon", {Arg::missing(), Arg::missing(), true});
    return ns;
}

void OpenFileOutlook(const std::wstring& entryId) {
    Object ns = OutlookSession(nullptr);
    if (ns.isNothing()) return;
    automation::ignoreFailure([&] {
        Object item = ns.callObject(L"GetItemFromID", {entryId});
        if (!item.isNothing()) item.call(L"Display");
    });
}

}  // namespace qb::shell
