#pragma once
// How the suite knows a local file again: by its full path as Windows resolves it (either
// separator, "." and "..", letter case as the file system compares it).
#include <string>

namespace tesra {

// True for "C:\..." or "C:/..." and UNC paths: the texts that name a file of this machine or
// its shares (web addresses, mail entry ids and server paths are never touched).
bool looksLocal(const std::wstring& path);
// The full path as GetFullPathName makes it; the text itself when it cannot.
std::wstring fullPath(const std::wstring& path);
// fullPath for a local path, the text as given otherwise.
std::wstring normalisedIfLocal(const std::wstring& path);
// True when the path names an existing file (not a folder).
bool isExistingFile(const std::wstring& path);
// Why a text cannot be the path of a local file, or empty when it can.
std::wstring pathProblem(const std::wstring& path);
// Compares two paths as Windows compares file names (ordinal, case folded by its own table):
// less than, equal to or greater than zero.
int comparePaths(const wchar_t* a, int aLength, const wchar_t* b, int bLength);

}  // namespace tesra
