#pragma once
// The common file dialogs go through this seam so that tests can answer them.
#include <windows.h>

#include <string>

namespace qb::ui {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The file-open dialog for one existing file: its full path, or empty when cancelled.
    // `filter` is "Description|pattern|Description|pattern".
    virtual std::wstring openFile(HWND owner, const std::wstring& title, const std::wstring& filter) = 0;
};

class SystemFileDialogs final : public FileDialogs {
public:
    std::wstring openFile(HWND owner, const std::wstring& title, const std::wstring& filter) override;
};

}  // namespace qb::ui
