#include "ui/window/shell.h"

#include "automation/com_error.h"
#include "base/handles.h"

namespace qb::ui {
namespace {

class ShellProcess final : public StartedProgram {
public:
    explicit ShellProcess(HANDLE process) : process_(process) {}
    HANDLE waitable() const override { return process_.get(); }
    DWORD exitCode() const override {
        DWORD code = STILL_ACTIVE;
        if (!::GetExitCodeProcess(process_.get(), &code))
            throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
        return code;
    }
    void terminate() override {
        ::TerminateProcess(process_.get(), ERROR_CANCELLED);
        ::WaitForSingleObject(process_.get(), 5000);
    }

private:
    UniqueKernelHandle process_;
};

}  // namespace

std::unique_ptr<StartedProgram> SystemShell::start(HWND owner, const std::wstring& file, const std::wstring& parameters) {
    SHELLEXECUTEINFOW info{sizeof info};
    // The shell's own error boxes stay away: the caller reports what went wrong.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        const DWORD error = ::GetLastError();
        const automation::ComError why = automation::ComError::fromHResult(HRESULT_FROM_WIN32(error ? error : ERROR_FILE_NOT_FOUND));
        throw automation::ComError(why.number(), L"Cannot start " + file + L": " + why.description(),
                                   automation::kComponentSource);
    }
    // A program handed to one already running (no process of its own) cannot be waited for.
    if (!info.hProcess)
        throw automation::ComError(automation::err::InvalidProcedureCall,
                                   L"Cannot wait for " + file + L": the shell started no process of its own.",
                                   automation::kComponentSource);
    return std::make_unique<ShellProcess>(info.hProcess);
}

}  // namespace qb::ui
