#pragma once
// modLocalFunction: what every window of a local item may use.
#include <windows.h>

#include <string>

namespace qb::windows {

// The part of `path` after its last "\" (the whole text when it holds none).
std::wstring FileNameFromPath(const std::wstring& path);

// Sends the local file `path` to the file server. When the server holds a file of that name, the
// name clash dialog (the component's one instance) asks what to do: replace it, send the file
// under a new name, or send nothing. Answers the server path of the sent file; empty when nothing
// was sent. A failure is reported here (titled "QuillboxUploadItem", over `owner`) and answers
// empty.
std::wstring UploadItem(const std::wstring& path, HWND owner);

}  // namespace qb::windows
