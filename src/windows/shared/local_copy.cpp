#include "windows/shared/local_copy.h"

#include <vector>

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "support/services.h"
#include "ui/window/form.h"
#include "windows/dialogs/copy_progress.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
using support::createObject;

constexpr int kCandidates = 99;
// Keyword ids beyond what a command line safely carries are related by the component itself once
// the downloader has recorded the copy (Windows cuts a command line at 32,767 characters).
constexpr size_t kParameterBudget = 8000;

bool fullPath(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) || path.starts_with(L"\\\\");
}

// Every keyword the item is related to, as the suite holds them (not as a list on the screen
// shows them: that may not have loaded).
std::vector<long> relatedKeywords(const Object& item) {
    Object relations = createObject(contract::progid::KeyWordFile);
    relations.call(L"loaddata", {Arg::missing(), item.get(contract::field::FileId)});
    std::vector<long> ids;
    automation::MemberIds member;
    relations.callObject(L"GetByFileId").forEach([&](const automation::Variant& relation) {
        ids.push_back(Object::from(relation).get(member, L"KeyId").toLong());
    });
    return ids;
}

// A record the downloader made for a copy that is not kept goes with it. When it cannot go, the
// copy stays with it (a record of a file that is not there would be worse) and `failure` says so.
void dropRecordMade(ReservedTarget& target, bool recordedBefore, const ComError& failure) {
    if (recordedBefore) return;
    try {
        Object made = recordAt(target.path());
        if (!made.isNothing()) made.call(L"Delete");
    } catch (...) {
        target.keep();
        throw automation::notPutBack(failure, L"The copy the downloader made", automation::currentError(),
                                     L"the copy " + target.path() + L" and its record in the suite");
    }
}

CopyOutcome download(const CopyRequest& request, ReservedTarget& target) {
    const std::vector<long> keywords = relatedKeywords(request.item);
    std::wstring parameters = request.address + L" | " + target.path();
    size_t carried = 0;
    for (; carried < keywords.size(); ++carried) {
        const std::wstring more = L" | " + std::to_wstring(keywords[carried]);
        if (parameters.size() + more.size() > kParameterBudget) break;
        parameters += more;
    }
    const bool recordedBefore = !recordAt(target.path()).isNothing();
    auto program = support::services().shell->start(request.owner, automation::moduleFolder() + L"\\Pagefetch.exe ", parameters);
    if (!frmCopyProgress::waitFor(request.owner, *program, target.name())) {
        program->terminate();
        dropRecordMade(target, recordedBefore,
                       ComError(automation::err::PathFileAccess, L"The copy was cancelled.", automation::kComponentSource));
        return CopyOutcome::Cancelled;
    }
    try {
        const DWORD status = program->exitCode();
        if (status != 0)
            throw ComError(automation::err::PathFileAccess,
                           L"The suite's downloader could not copy " + request.address + L" to " + target.path() +
                               L" (it ended with status " + std::to_wstring(status) +
                               L"). No copy was kept; the downloader's log says why.",
                           automation::kComponentSource);
        if (!shell::FSOFileExist(target.path()))
            throw ComError(automation::err::FileNotFound,
                           L"The suite's downloader left no file at " + target.path() + L". No copy was kept.",
                           automation::kComponentSource);
        Object copy = recordAt(target.path());
        if (copy.isNothing())
            throw ComError(automation::err::FileNotFound,
                           L"The suite's downloader made no record of the copy " + target.path() + L". No copy was kept.",
                           automation::kComponentSource);
        // What the command line could not carry.
        const automation::Variant copyId = copy.get(contract::field::FileId);
        for (size_t i = carried; i < keywords.size(); ++i) {
            Object relation = createObject(contract::progid::KeyWordFile);
            relation.call(L"loaddata", {keywords[i], copyId});
            if (!relation.call(L"ExistRegister").toBool()) relation.call(L"Insert");
        }
    } catch (...) {
        dropRecordMade(target, recordedBefore, automation::currentError());
        throw;
    }
    target.keep();
    return CopyOutcome::Made;
}

std::wstring withHtmExtension(const std::wstring& title) {
    return title.find(L'.') == std::wstring::npos ? title + L".htm" : title;
}

}  // namespace

ReservedTarget::ReservedTarget(const std::function<std::wstring()>& folder, const std::wstring& name,
                               const wchar_t* between)
    : path_(folder() + L"\\" + name), name_(name) {
    for (int n = 1; shell::FSOFileExist(path_); ++n) {
        if (n > kCandidates)
            throw ComError(automation::err::FileAlreadyExists,
                           L"No copy was made: \"" + name + L"\" and \"Copy (1)" + between + name + L"\" to \"Copy (99)" +
                               between + name + L"\" are all taken in " + folder() + L".",
                           automation::kComponentSource);
        name_ = L"Copy (" + std::to_wstring(n) + L")" + between + name;
        path_ = folder() + L"\\" + name_;
    }
    try {
        shell::FSOFileTextCreate(path_, L"");
    } catch (...) {
        // Made but not finished: it was not there before, so it is ours to take away again.
        ::DeleteFileW(path_.c_str());
        throw;
    }
}

ReservedTarget::~ReservedTarget() {
    if (kept_) return;
    try {
        shell::FSOFileDelete(path_);
    } catch (...) {
        ui::Form::swallowed(L"modLocalFunction.LocalCopy()");
    }
}

Object recordAt(const std::wstring& path) {
    Object lookup = createObject(contract::progid::File);
    lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), path});
    return lookup.callObject(L"GetOne");
}

void changeRecord(const Object& record, const std::vector<FieldChange>& changes, const std::function<void()>& leftHalf) {
    size_t done = 0;
    try {
        for (; done < changes.size(); ++done) record.call(changes[done].member, {changes[done].after});
    } catch (...) {
        ComError failure = automation::currentError();
        while (done-- > 0) {
            try {
                record.call(changes[done].member, {changes[done].before});
            } catch (...) {
                const ComError putBack = automation::currentError();
                if (leftHalf) leftHalf();
                // "check its name, type and path": the fields of the changes, by their members' names.
                std::wstring fields;
                for (size_t i = 0; i < changes.size(); ++i) {
                    std::wstring field = changes[i].member;
                    if (field.starts_with(L"UpDate")) field.erase(0, 6);
                    ::CharLowerBuffW(field.data(), static_cast<DWORD>(field.size()));
                    fields += (i == 0 ? L"" : i + 1 == changes.size() ? L" and " : L", ") + field;
                }
                throw automation::notPutBack(failure, L"The item's record", putBack, L"its " + fields);
            }
        }
        throw failure;
    }
}

RecordAside::RecordAside(Object record) : record_(std::move(record)) {
    if (record_.isNothing()) return;
    path_ = record_.get(contract::field::FileCurrentPath).toText();
    record_.call(L"UpDatePath", {path_ + L" (set aside " + std::to_wstring(::GetTickCount()) + L")"});
}

RecordAside::~RecordAside() {
    if (record_.isNothing()) return;
    try {
        record_.call(L"UpDatePath", {path_});
    } catch (...) {
        ui::Form::swallowed(L"modLocalFunction.RecordAside()");
    }
}

void RecordAside::drop() {
    if (record_.isNothing()) return;
    record_.call(L"Delete");
    record_ = Object();
}

std::wstring downloadFolder() {
    const std::wstring folder =
        automation::trimBlanks(createObject(contract::progid::Settler).call(L"GetDownloadPath").toText());
    if (!fullPath(folder))
        throw ComError(automation::err::PathNotFound,
                       L"No local copy was made: the suite's download folder (its setting DownloadFolder) is " +
                           (folder.empty() ? std::wstring(L"not set") : L"\"" + folder + L"\", which is no full path") +
                           L". Set it in the suite, or choose Local Copy in other path.",
                       automation::kComponentSource);
    return folder;
}

std::wstring lastSegment(const std::wstring& address) {
    const size_t slash = address.find_last_of(L'/');
    return slash == std::wstring::npos ? address : address.substr(slash + 1);
}

std::wstring copyName(const std::wstring& segment) {
    // A name taken from an address may be no file name at all ("..\x", "page.php?id=3", "CON"):
    // the copy never lands outside its folder.
    if (segment.find(L'.') == std::wstring::npos || !shell::IsPlainFileName(segment) || segment.size() > 200)
        return L"PageCopy.htm";
    return segment;
}

CopyOutcome copyToDownloadFolder(const CopyRequest& request, const std::wstring& name) {
    ReservedTarget target(downloadFolder, name, L" of ");
    return download(request, target);
}

CopyOutcome copyToChosenFolder(const CopyRequest& request, const std::wstring& proposed) {
    const bool plain = shell::IsPlainFileName(proposed) && proposed.size() <= 200;
    const ui::SavedFile chosen = support::services().files->saveFile(request.owner, plain ? proposed : copyName(proposed));
    if (chosen.path.empty()) return CopyOutcome::Skipped;
    const std::wstring folder = chosen.path.substr(0, chosen.path.find_last_of(L'\\'));
    ReservedTarget target([&] { return folder; }, withHtmExtension(chosen.title), L" ");
    return download(request, target);
}

}  // namespace qb::windows
