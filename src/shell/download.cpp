#include "shell/download.h"

#include <windows.h>

#include "automation/failure.h"
#include "support/services.h"

namespace qb::shell {

using automation::Arg;
using automation::Object;
using automation::Variant;

void DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

Variant StartDownload(const std::wstring& url, const std::wstring& file) {
    automation::qualified(L"modDownloadFiles.StartDownload()", [&] {
        DoEvents();
        Object request = support::createObject(kXmlHttpClass);
        request.call(L"open", {L"get", url, false, Arg::missing(), Arg::missing()});
        request.call(L"send");
        while (request.get(L"readyState").toLong() != 4) {
            ::Sleep(10);
        }
        FileSave(request.get(L"responseBody"), file);
    });
    return Variant();
}

void FileSave(const Variant& data, const std::wstring& file) {
    automation::qualified(L"modDownloadFiles.FileSave()", [&] {
        DoEvents();
        CubeFileSaveAdo(data, file);
    });
}

void CubeFileSaveAdo(const Variant& data, const std::wstring& file) {
    automation::qualified(L"modDownloadFiles.CubeFileSaveAdo()", [&] {
        DoEvents();
        Object stream = support::createObject(L"ADODB.Stream");
        stream.put(L"Mode", Variant(3L));
        stream.put(L"Type", Variant(1L));
        stream.call(L"Open");
        stream.call(L"Write", {Arg(data)});
        stream.put(L"Position", Variant(0L));
        stream.call(L"SaveToFile", {file, 2L});
    });
}

}  // namespace qb::shell
