#pragma once
// Message boxes go through this seam so that tests can answer them.
#include <windows.h>

#include <string>

namespace qb::ui {

class Prompter {
public:
    virtual ~Prompter() = default;
    // MessageBox semantics: returns IDOK, IDYES, ...
    virtual int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) = 0;
};

class SystemPrompter final : public Prompter {
public:
    int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) override {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }
};

}  // namespace qb::ui
