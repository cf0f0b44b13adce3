#pragma once
// modLocalFunction: what every window of a local item may use.
#include <windows.h>

#include <string>

#include "automation/object.h"

namespace qb::windows {

// The part of `path` after its last "\" (the whole text when it holds none).
std::wstring FileNameFromPath(const std::wstring& path);

// Sends the local file `path` to the file server. When the server holds a file of that name, the
// name clash dialog (the component's one instance) asks what to do: replace it, send the file
// under a new name, or send nothing. Answers the server path of the sent file; empty when nothing
// was sent. A failure is reported here (titled "QuillboxUploadItem", over `owner`) and answers
// empty.
// A replace puts the new file in place before the old one goes: a copy of the local file (taken
// first, so another program or the server itself cannot take it away) goes to the server under
// a temporary name, then under its own; the local file being the server's own file is refused.
// The suite's record of the replaced file is not deleted here: it is answered in
// `replacedRecord` for the caller to drop once the new file's record is stored.
std::wstring UploadItem(const std::wstring& path, HWND owner, automation::Object* replacedRecord = nullptr);

}  // namespace qb::windows
