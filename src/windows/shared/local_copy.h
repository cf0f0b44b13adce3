#pragma once
// A local copy of an item that is not a local file (a file-server item, a web page). The
// component does not fetch it: it decides the target file, reserves it with an empty file, and
// starts the suite's downloader (Pagefetch.exe beside the component) on the address, the target
// and the ids of the keywords related to the item. It does not wait for the downloader.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qb::windows {

// A copy's target in a folder: `name`, or with that taken the first free "Copy (n)" + `between` +
// `name`, n from 1 to 99 (the folder asked for again for each), reserved by an empty file. With
// all 99 taken nothing is created, `reserved` is false and path and name are the 99th's.
struct CopyTarget {
    std::wstring path, name;
    bool reserved = true;
};
CopyTarget reserveCopyTarget(const std::function<std::wstring()>& folder, const std::wstring& name,
                             const wchar_t* between);

// The last "/"-separated piece of an address (all of it when it has no "/").
std::wstring lastSegment(const std::wstring& address);

struct CopyRequest {
    std::wstring address;    // what the downloader fetches
    std::vector<long> keywords;  // related to the item, in the list's order
    HWND owner = nullptr;    // the window the downloader is started from
};

// Into the suite's download folder, under `name` ("PageCopy.htm" when it has no ".", or is no
// plain file name); a name taken there becomes "Copy (n) of name", n from 1 to 99, the folder
// asked for again for each.
// With all 99 taken nothing is created and the downloader gets the 99th.
void copyToDownloadFolder(const CopyRequest& request, std::wstring name);
// Into a folder chosen in the save dialog, which proposes `proposed`; the name is the chosen
// file title (".htm" added when it has no "."), a taken one becomes "Copy (n) name". A cancelled
// dialog creates and starts nothing.
void copyToChosenFolder(const CopyRequest& request, const std::wstring& proposed);

}  // namespace qb::windows
