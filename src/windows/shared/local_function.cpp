#include "windows/shared/local_function.h"

#include <vector>

#include "automation/failure.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "support/error_report.h"
#include "support/services.h"
#include "windows/dialogs/exist_file_server.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::Object;
using support::createObject;

std::wstring uploadFile(const std::wstring& path) {
    return createObject(contract::progid::Gatehouse).call(L"UploadFile", {path}).toText();
}

// A folder of our own under the user's temporary folder, for the copy sent under a new name:
// made empty for one upload, and nothing but what was put in it is removed with it.
class StagingFolder {
public:
    StagingFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
        if (n == 0 || n > MAX_PATH) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            std::wstring folder = std::wstring(temp) + L"Quillbox upload " + std::to_wstring(::GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(::GetTickCount() + attempt);
            if (::CreateDirectoryW(folder.c_str(), nullptr)) {
                folder_ = std::move(folder);
                return;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS)
                throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()));
        }
        throw automation::ComError::runtime(322);  // can't create necessary temporary file
    }
    ~StagingFolder() {
        for (const std::wstring& copy : copies_) {
            try {
                shell::FSOFileDelete(copy);
            } catch (...) {
                ui::Form::swallowed(L"modLocalFunction.UploadItem()");
            }
        }
        ::RemoveDirectoryW(folder_.c_str());  // only when empty
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Copies `source` in under `name` (a bare file name) and answers the copy's path. A source
    // that is gone or cannot be read raises: nothing is sent.
    std::wstring copyIn(const std::wstring& source, const std::wstring& name) {
        if (!shell::FSOFileExist(source))
            throw automation::ComError(automation::err::FileNotFound, L"The file " + source + L" is not there any more. Nothing was sent.",
                                       automation::kComponentSource);
        copies_.push_back(folder_ + L"\\" + name);
        shell::FSOFileCopy(source, copies_.back(), true);
        return copies_.back();
    }

private:
    std::wstring folder_;
    std::vector<std::wstring> copies_;
};

[[noreturn]] void uploadFailed(const std::wstring& what) {
    throw automation::ComError(automation::err::PathFileAccess, what, automation::kComponentSource);
}

// Replaces the server's file `name` by the local file `path`; see UploadItem.
std::wstring replaceOnServer(const std::wstring& path, const std::wstring& name, const std::wstring& serverPath,
                             automation::Object* replacedRecord) {
    StagingFolder staging;
    const std::wstring staged = staging.copyIn(path, name);
    const std::wstring temporary = L"~" + std::to_wstring(::GetTickCount()) + L" " + name;
    if (uploadFile(staging.copyIn(staged, temporary)).empty())
        uploadFailed(L"The file server did not take " + name + L". The file on the server is unchanged.");
    Object gate = createObject(contract::progid::Gatehouse);
    // The temporary file appearing beside the local one: the local file is the server's own.
    if (shell::FSOFileExist(path.substr(0, path.find_last_of(L'\\') + 1) + temporary)) {
        gate.call(L"DeleteFile", {temporary});
        uploadFailed(L"The file " + path + L" is the file server's own " + name +
                     L": it cannot replace itself. Nothing was changed.");
    }
    const bool oldDeleted = gate.call(L"DeleteFile", {name}).toBool();
    const std::wstring result = uploadFile(staged);
    if (result.empty())
        uploadFailed(L"The file server took the new " + name + L" only under the name \"" + temporary +
                     L"\"" + (oldDeleted ? L"; the old file is gone from the server." : L"; the old file is still there.") +
                     L" Rename it on the server, or upload again.");
    // A server that keeps its files keeps the temporary one too: logged, the replace is done.
    try {
        if (!gate.call(L"DeleteFile", {temporary}).toBool())
            throw automation::ComError(automation::err::PermissionDenied, L"The file server kept the temporary file \"" + temporary + L"\".",
                                       automation::kComponentSource);
    } catch (...) {
        ui::Form::swallowed(L"modLocalFunction.UploadItem()");
    }
    if (oldDeleted && replacedRecord) {
        Object lookup = createObject(contract::progid::File);
        lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), serverPath});
        *replacedRecord = lookup.callObject(L"GetOne");
    }
    return result;
}

}  // namespace

std::wstring FileNameFromPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring UploadItem(const std::wstring& path, HWND owner, automation::Object* replacedRecord) {
    std::wstring result;
    support::handleEvent(owner, L"QuillboxUploadItem", L"modLocalFunction.UploadItem()", [&] {
        frmExistFileServer& clash = existFileServerSlot().getOrCreate();
        clash.strFileName = FileNameFromPath(path);
        clash.strFilePath = path;
        if (!clash.ExistServerItem(clash.strFileName)) {
            result = uploadFile(path);
            if (result.empty()) uploadFailed(L"The file server did not take " + path + L". Nothing was sent.");
            return;
        }
        clash.LoadDataServerItem();
        clash.LoadDataFileItem();
        clash.showForClash();
        switch (clash.choice()) {
            case frmExistFileServer::Choice::Cancel:
                return;
            case frmExistFileServer::Choice::Rename: {
                // A copy under the new name is what goes to the server. It is made in a folder of
                // its own: the component's folder may be read-only, and a name is never a path
                // to someone else's file (the dialog takes bare file names only).
                StagingFolder staging;
                result = uploadFile(staging.copyIn(path, clash.strNewName));
                return;
            }
            case frmExistFileServer::Choice::Replace:
                result = replaceOnServer(path, clash.strFileName, clash.strFileServerPath, replacedRecord);
                return;
        }
    });
    return result;
}

}  // namespace qb::windows
