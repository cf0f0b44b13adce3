#pragma once
// Starting programs through the shell. Behind a seam so that tests see what would be started.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace qb::ui {

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecute semantics: returns a value greater than 32 on success.
    virtual INT_PTR execute(HWND owner, const std::wstring& verb, const std::wstring& file,
                            const std::wstring& parameters, const std::wstring& folder, int show) = 0;
};

class SystemShell final : public Shell {
public:
    INT_PTR execute(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& folder, int show) override {
        return reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, verb.c_str(), file.c_str(),
                                                         parameters.empty() ? nullptr : parameters.c_str(),
                                                         folder.empty() ? nullptr : folder.c_str(), show));
    }
};

}  // namespace qb::ui
