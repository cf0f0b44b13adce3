#pragma once
// The one error type of the component: what an automation client sees as Err.
#include <windows.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>

namespace qb::automation {

// Automation client error numbers used by the component.
namespace err {
constexpr long Overflow = 6;
constexpr long OutOfMemory = 7;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long FileNotFound = 53;
constexpr long BadFileNameOrNumber = 52;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
constexpr long PermissionDenied = 70;
constexpr long FileAlreadyExists = 58;
constexpr long DiskFull = 61;
constexpr long ObjectNotSet = 91;
constexpr long InvalidProcedureCall = 5;
constexpr long CantCreateObject = 429;
constexpr long ActionNotSupported = 445;
constexpr long ArgumentNotOptional = 449;
constexpr long WrongArgumentCount = 450;
constexpr long MemberNotSupported = 438;
}  // namespace err

class ComError : public std::exception {
public:
    ComError(long number, std::wstring description, std::wstring source = {}, std::wstring helpFile = {},
             DWORD helpContext = 0);

    // An error from a failed HRESULT, described the way an automation client describes it.
    static ComError fromHResult(HRESULT hr, std::wstring source = {});
    // An error from a DISP_E_EXCEPTION answer.
    static ComError fromExcepInfo(const EXCEPINFO& ei);
    // A standard run-time error of the component (description from the number).
    static ComError runtime(long number, std::wstring detail = {});

    long number() const { return number_; }
    const std::wstring& description() const { return description_; }
    const std::wstring& source() const { return source_; }
    const std::wstring& helpFile() const { return helpFile_; }
    DWORD helpContext() const { return helpContext_; }

    // The HRESULT that carries this error back to a client: 0x800A0000 + n for client error numbers.
    HRESULT hresult() const;
    // Appends " name " to the source: the chain of procedures the failure passed through.
    void appendSource(std::wstring_view qualifiedName);

    const char* what() const noexcept override { return "qb::automation::ComError"; }

private:
    long number_;
    std::wstring description_, source_, helpFile_;
    DWORD helpContext_;
};

// The description an automation client shows for one of its own error numbers.
std::wstring describeError(long number);
// The source text of errors raised by the component itself.
inline constexpr wchar_t kComponentSource[] = L"Quillbox";

}  // namespace qb::automation
