#include "windows/shared/local_function.h"

#include "automation/module.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "support/error_report.h"
#include "support/services.h"
#include "windows/slots.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::Object;
using support::createObject;

std::wstring uploadFile(const std::wstring& path) {
    return createObject(contract::progid::Gatehouse).call(L"UploadFile", {path}).toText();
}

}  // namespace

std::wstring FileNameFromPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring UploadItem(const std::wstring& path) {
    std::wstring result;
    support::handleEvent(nullptr, L"QuillboxUploadItem", L"modLocalFunction.UploadItem()", [&] {
        frmExistFileServer& clash = formSlots().existFileServer.getOrCreate();
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
                // A copy under the new name beside the component is what goes to the server.
                const std::wstring copy = automation::moduleFolder() + L"\\" + clash.strNewName;
                shell::FSOFileCopy(path, copy, true);
                struct Removed {
                    const std::wstring& copy;
                    ~Removed() {
                        try {
                            shell::FSOFileDelete(copy);
                        } catch (...) {
                            ui::Form::swallowed(L"modLocalFunction.UploadItem()");
                        }
                    }
                } removed{copy};
                result = uploadFile(copy);
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
