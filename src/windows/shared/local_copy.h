#pragma once
// A local copy of an item that is not a local file (a file-server item, a web page, a mail item).
// The target is a new file in a folder: the name asked for, or with that taken the first free
// "Copy (n)" + between + name, n from 1 to 99; it is reserved by an empty file before anything
// is written, so nothing of the user's is ever overwritten. Server items and web pages are then
// fetched by the suite's downloader (Pagefetch.exe beside the component), which is waited for:
// what it leaves is checked, and a copy that fails leaves nothing behind.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/object.h"

namespace qb::windows {

// A target file reserved for a copy. Unless the copy is kept, the reserved file goes again with
// this object (it is ours: it did not exist before).
class ReservedTarget {
public:
    // Reserves `name` or its first free numbered form in `folder()` (asked for again for each
    // candidate). All 99 taken: nothing is created, 58 is raised naming the folder.
    ReservedTarget(const std::function<std::wstring()>& folder, const std::wstring& name, const wchar_t* between);
    ~ReservedTarget();
    ReservedTarget(const ReservedTarget&) = delete;
    ReservedTarget& operator=(const ReservedTarget&) = delete;

    const std::wstring& path() const { return path_; }
    const std::wstring& name() const { return name_; }
    // The copy is made: the file stays.
    void keep() { kept_ = true; }

private:
    std::wstring path_, name_;
    bool kept_ = false;
};

// A record moved out of the way of another that is to take its path: its path becomes a free
// placeholder until it is dropped for good; unless dropped, it gets its path back with this
// object (a change that failed half-way leaves the suite as it was).
class RecordAside {
public:
    // `record` may be Nothing: then there is nothing to move.
    explicit RecordAside(automation::Object record);
    ~RecordAside();
    RecordAside(const RecordAside&) = delete;
    RecordAside& operator=(const RecordAside&) = delete;
    // The record goes (its relations and memos with it).
    void drop();

private:
    automation::Object record_;
    std::wstring path_;
};
// One field of a record changed by one of its members ("UpDateName" …) from `before` to `after`.
struct FieldChange {
    const wchar_t* member;
    std::wstring before, after;
};
// Makes the changes in order. When one fails, those made are put back in reverse order and the
// failure goes on; when a put-back fails too, `leftHalf` is called (if given) and the failure
// goes on saying the record may be left half changed, with the put-back's error in it.
void changeRecord(const automation::Object& record, const std::vector<FieldChange>& changes,
                  const std::function<void()>& leftHalf = {});
// The suite's record of a file at `path` (any kind), or Nothing.
automation::Object recordAt(const std::wstring& path);

// The suite's folder for local copies. A suite with none set (an empty or relative path, which
// would put the copy wherever the host happens to be) is refused with a message.
std::wstring downloadFolder();

// The last "/"-separated piece of an address (all of it when it has no "/").
std::wstring lastSegment(const std::wstring& address);
// What a copy of an address's last piece is called: the piece itself when it is a plain file name
// with a ".", else "PageCopy.htm".
std::wstring copyName(const std::wstring& segment);

enum class CopyOutcome {
    Made,       // the copy is there, recorded by the suite with the item's keywords
    Skipped,    // the user cancelled the save dialog: nothing was started
    Cancelled,  // the user gave up while the downloader ran: nothing is left of the copy
};

struct CopyRequest {
    std::wstring address;       // what the downloader fetches
    automation::Object item;    // whose keywords the copy is related to
    HWND owner = nullptr;       // the window the copy is made from
};

// Into the suite's download folder, under `name` (see copyName); "Copy (n) of name" when taken.
CopyOutcome copyToDownloadFolder(const CopyRequest& request, const std::wstring& name);
// Into a folder chosen in the save dialog, which proposes `proposed` (copyName of it when it
// could be no file name); the name is the chosen file title (".htm" added when it has no "."),
// "Copy (n) name" when taken. A cancelled dialog creates and starts nothing.
CopyOutcome copyToChosenFolder(const CopyRequest& request, const std::wstring& proposed);

}  // namespace qb::windows
