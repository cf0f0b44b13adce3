#pragma once
// The common file dialogs go through this seam so that tests can answer them.
#include <windows.h>

#include <string>

namespace qb::ui {

// What the save dialog answers: the full path chosen and its file title (the name without its
// folder); both empty when the user cancelled.
struct SavedFile {
    std::wstring path, title;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The file-open dialog for one existing file: its full path, or empty when cancelled.
    // `filter` is "Description|pattern|Description|pattern".
    virtual std::wstring openFile(HWND owner, const std::wstring& title, const std::wstring& filter) = 0;
    // The save dialog, proposing `name`.
    virtual SavedFile saveFile(HWND owner, const std::wstring& name) = 0;
};

class SystemFileDialogs final : public FileDialogs {
public:
    std::wstring openFile(HWND owner, const std::wstring& title, const std::wstring& filter) override;
    SavedFile saveFile(HWND owner, const std::wstring& name) override;
};

}  // namespace qb::ui
