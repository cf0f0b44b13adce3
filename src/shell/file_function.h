#pragma once
// modFileFunction: local files through the scripting file-system object, and opening items of
// every kind in the program that fits them.
#include <windows.h>

#include <string>

#include "automation/object.h"
#include "automation/variant.h"

namespace qb::shell {

// A name Windows takes for a file in a folder: no path, none of the characters it forbids, not a
// device's name, not ending in a point or a blank.
bool IsPlainFileName(const std::wstring& name);

// The long date, a blank and the long time of a date value; empty when it is not a date.
std::wstring FormatLongDateTime(const automation::Variant& value) noexcept;

void FSOFileTextCreate(const std::wstring& path, const std::wstring& content);
bool FSOFileDelete(const std::wstring& path);
void FSOFileCopy(const std::wstring& source, const std::wstring& destination, bool overwrite);
bool FSOFileExist(const std::wstring& path);

// A local file in its associated program; a missing one goes to the suite's path chooser.
void OpenFileLocal(const std::wstring& path, HWND window);
// A web address in the default browser.
void OpenFileWeb(const std::wstring& address, HWND window);
// The full address of a file-server item: the file server's base address (without a closing "/")
// followed by the item's path on the server.
std::wstring GetFileServerPath(const std::wstring& pstrUrl);
// A file-server item through the suite's browser opener.
void OpenFileServer(const std::wstring& serverPath);
// An Outlook item in Outlook (when it runs).
void OpenFileOutlook(const std::wstring& entryId);
// Outlook's "MAPI" namespace, logged on (Outlook may show its profile dialog); Nothing when Outlook
// is not running, after the user was told so ("Outlook needed", owned by `owner`).
automation::Object OutlookSession(HWND owner);
// A program with a parameter text.
void OpenFileParams(const std::wstring& file, HWND window, std::wstring& parameters);
// "http://" in front of an address that holds "http" nowhere.
automation::Variant CompleteUrl(const std::wstring& address);

}  // namespace qb::shell
