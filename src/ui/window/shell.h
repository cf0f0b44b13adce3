#pragma once
// Starting programs through the shell. Behind a seam so that tests see what would be started and
// decide how a started program ends.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

namespace qb::ui {

// A program started to be waited for.
class StartedProgram {
public:
    virtual ~StartedProgram() = default;
    // Signalled once the program has ended.
    virtual HANDLE waitable() const = 0;
    // Its exit status once it has ended (STILL_ACTIVE before).
    virtual DWORD exitCode() const = 0;
    // Ends it now (the user gave up waiting); returns once it has ended.
    virtual void terminate() = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecute semantics: returns a value greater than 32 on success.
    virtual INT_PTR execute(HWND owner, const std::wstring& verb, const std::wstring& file,
                            const std::wstring& parameters, const std::wstring& folder, int show) = 0;
    // Opens `file` (a program) with `parameters` and answers the process started. A program that
    // cannot be started raises the system's error.
    virtual std::unique_ptr<StartedProgram> start(HWND owner, const std::wstring& file, const std::wstring& parameters) = 0;
};

class SystemShell final : public Shell {
public:
    INT_PTR execute(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& folder, int show) override {
        return reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, verb.c_str(), file.c_str(),
                                                         parameters.empty() ? nullptr : parameters.c_str(),
                                                         folder.empty() ? nullptr : folder.c_str(), show));
    }
    std::unique_ptr<StartedProgram> start(HWND owner, const std::wstring& file, const std::wstring& parameters) override;
};

}  // namespace qb::ui
