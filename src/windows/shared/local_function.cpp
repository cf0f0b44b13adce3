#include "windows/shared/local_function.h"

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
        if (!copy_.empty()) {
            try {
                shell::FSOFileDelete(copy_);
            } catch (...) {
                ui::Form::swallowed(L"modLocalFunction.UploadItem()");
            }
        }
        ::RemoveDirectoryW(folder_.c_str());  // only when empty
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Copies `source` in under `name` (a bare file name) and answers the copy's path.
    const std::wstring& copyIn(const std::wstring& source, const std::wstring& name) {
        copy_ = folder_ + L"\\" + name;
        shell::FSOFileCopy(source, copy_, true);
        return copy_;
    }

private:
    std::wstring folder_, copy_;
};

}  // namespace

std::wstring FileNameFromPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring UploadItem(const std::wstring& path, HWND owner) {
    std::wstring result;
    support::handleEvent(owner, L"QuillboxUploadItem", L"modLocalFunction.UploadItem()", [&] {
        frmExistFileServer& clash = existFileServerSlot().getOrCreate();
        clash.strFileName = FileNameFromPath(path);
        clash.strFilePath = path;
        if (!clash.ExistServerItem(clash.strFileName)) {
            result = uploadFile(path);
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
                if (createObject(contract::progid::Gatehouse).call(L"DeleteFile", {clash.strFileName}).toBool()) {
                    Object lookup = createObject(contract::progid::File);
                    lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), clash.strFileServerPath});
                    Object replaced = lookup.callObject(L"GetOne");
                    if (!replaced.isNothing()) replaced.call(L"Delete");
                }
                result = uploadFile(path);
                return;
        }
    });
    return result;
}

}  // namespace qb::windows
