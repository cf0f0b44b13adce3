#include "windows/shared/local_copy.h"

#include <functional>

#include "automation/module.h"
#include "shell/file_function.h"
#include "support/services.h"

namespace qb::windows {
namespace {

constexpr int kCandidates = 99;

std::wstring withExtension(std::wstring name, const wchar_t* otherwise, bool replace) {
    if (name.find(L'.') != std::wstring::npos) return name;
    return replace ? std::wstring(otherwise) : name + otherwise;
}

// The downloader is started on the 99th candidate when all are taken.
std::wstring reserve(const std::function<std::wstring()>& folder, const std::wstring& name, const wchar_t* between) {
    return reserveCopyTarget(folder, name, between).path;
}

void startDownloader(const CopyRequest& request, const std::wstring& target) {
    std::wstring parameters = request.address + L" | " + target;
    for (long id : request.keywords) parameters += L" | " + std::to_wstring(id);
    shell::OpenFileParams(automation::moduleFolder() + L"\\Pagefetch.exe ", request.owner, parameters);
}

}  // namespace

CopyTarget reserveCopyTarget(const std::function<std::wstring()>& folder, const std::wstring& name,
                             const wchar_t* between) {
    CopyTarget target{folder() + L"\\" + name, name};
    if (shell::FSOFileExist(target.path)) {
        for (int n = 1; n <= kCandidates; ++n) {
            target.name = L"Copy (" + std::to_wstring(n) + L")" + between + name;
            target.path = folder() + L"\\" + target.name;
            if (!shell::FSOFileExist(target.path)) {
                shell::FSOFileTextCreate(target.path, L"");
                return target;
            }
        }
        target.reserved = false;
        return target;
    }
    shell::FSOFileTextCreate(target.path, L"");
    return target;
}

std::wstring lastSegment(const std::wstring& address) {
    const size_t slash = address.find_last_of(L'/');
    return slash == std::wstring::npos ? address : address.substr(slash + 1);
}

void copyToDownloadFolder(const CopyRequest& request, std::wstring name) {
    name = withExtension(std::move(name), L"PageCopy.htm", true);
    // A name taken from an address may be no file name at all ("..\x", "page.php?id=3"): the
    // copy never lands outside the download folder.
    if (!shell::IsPlainFileName(name)) name = L"PageCopy.htm";
    auto folder = [] { return support::createObject(L"Settler.Engine").call(L"GetDownloadPath").toText(); };
    startDownloader(request, reserve(folder, name, L" of "));
}

void copyToChosenFolder(const CopyRequest& request, const std::wstring& proposed) {
    const ui::SavedFile chosen = support::services().files->saveFile(request.owner, proposed);
    if (chosen.path.empty()) return;
    const std::wstring name = withExtension(chosen.title, L".htm", false);
    const std::wstring folder = chosen.path.substr(0, chosen.path.find_last_of(L'\\'));
    startDownloader(request, reserve([&] { return folder; }, name, L" "));
}

}  // namespace qb::windows
