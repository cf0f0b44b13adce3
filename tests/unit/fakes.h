#pragma once
// Recording fakes for the suite's objects, created through the same seam as the real ones.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/com_error.h"
#include "automation/dispatch_object.h"
#include "automation/object_factory.h"
#include "support/services.h"
#include "ui/window/file_dialogs.h"
#include "ui/window/shell.h"
#include "ui/window/modal.h"

namespace qb::testing {

using automation::CallArgs;
using automation::Variant;

// Every call made on any fake, in order: "Prog.Id.Member(arg, arg)".
using CallLog = std::vector<std::wstring>;

std::wstring render(const Variant& v);

// A text of the tests' own (paths, names) for a failure message.
inline std::string narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// An object whose members are answered by functions given by the test; every call is logged.
class FakeObject final : public automation::DispatchObject {
public:
    using Answer = std::function<Variant(const CallArgs&)>;
    FakeObject(std::wstring name, std::shared_ptr<CallLog> log) : name_(std::move(name)), log_(std::move(log)) {}
    // Defines (or replaces) a member.
    FakeObject& on(const std::wstring& member, Answer answer);
    // A member that only records its call.
    FakeObject& accept(const std::wstring& member) {
        return on(member, [](const CallArgs&) { return Variant(); });
    }
    // A field read as a property.
    FakeObject& field(const std::wstring& member, Variant value) {
        return on(member, [value](const CallArgs&) { return value; });
    }
    automation::Object object() { return automation::Object(automation::ComPtr<IDispatch>(this)); }

protected:
    const automation::MemberTable& members() const override { return table_; }

private:
    std::wstring name_;
    std::shared_ptr<CallLog> log_;
    automation::MemberTable table_;
};

// Creates a FakeObject (one reference held by the caller).
automation::ComPtr<FakeObject> makeFake(const std::wstring& name, std::shared_ptr<CallLog> log);

// The object-creation seam for tests: each ProgID maps to a maker; creations are logged as "new ProgID".
class FakeFactory final : public automation::ObjectFactory {
public:
    explicit FakeFactory(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}
    void define(const std::wstring& progId, std::function<automation::Object()> maker) { makers_[progId] = maker; }
    automation::Object create(std::wstring_view progId) override;

private:
    std::shared_ptr<CallLog> log_;
    std::map<std::wstring, std::function<automation::Object()>, std::less<>> makers_;
};

// Stands between the component and a real object: logs every call on it as "Name.Member(args)"
// and hands the objects it answers out behind proxies of the same name (collections pass as they
// are: reads of their items are not logged).
automation::Object recording(const std::wstring& name, automation::Object real, std::shared_ptr<CallLog> log);

// The creation seam over another one, with every object it makes recorded.
class RecordingFactory final : public automation::ObjectFactory {
public:
    RecordingFactory(automation::ObjectFactory& inner, std::shared_ptr<CallLog> log)
        : inner_(inner), log_(std::move(log)) {}
    automation::Object create(std::wstring_view progId) override {
        log_->push_back(L"new " + std::wstring(progId));
        return recording(std::wstring(progId), inner_.create(progId), log_);
    }

private:
    automation::ObjectFactory& inner_;
    std::shared_ptr<CallLog> log_;
};

// Records message boxes and answers them with IDOK; a question (Yes/No) is kept apart from the
// reports and answered with `answer`.
class FakePrompter final : public ui::Prompter {
public:
    struct Box {
        std::wstring text, caption;
        UINT flags;
        HWND owner;
    };
    std::vector<Box> boxes, questions;
    int answer = IDNO;
    int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) override {
        if ((flags & MB_TYPEMASK) == MB_YESNO) {
            questions.push_back({text, caption, flags, owner});
            return answer;
        }
        boxes.push_back({text, caption, flags, owner});
        return IDOK;
    }
};

// Runs a modal window by handing it to the test, which acts on it and must close it.
class ScriptedModal final : public ui::ModalRunner {
public:
    std::function<void(ui::Form&)> script;
    int shown = 0;
    void runModal(ui::Form& form) override {
        ++shown;
        if (script) script(form);
    }
};

// A temporary file path, removed at the end of the test.
class TempFile {
public:
    explicit TempFile(const wchar_t* stem);
    ~TempFile();
    const std::wstring& path() const { return path_; }
    std::string read() const;
    // Empties the file (it exists afterwards).
    void clear() const;

private:
    std::wstring path_;
};

// The file-open dialog answered with the next of `answers`, then with `otherwise` ("" = cancelled);
// the save dialog with `saved` (empty: cancelled), recording the name it proposed.
class AnsweringFileDialogs final : public ui::FileDialogs {
public:
    std::vector<std::wstring> answers;
    std::wstring otherwise;
    int asked = 0;
    ui::SavedFile saved;
    std::vector<std::wstring> proposed;
    ui::SavedFile saveFile(HWND, const std::wstring& name) override {
        proposed.push_back(name);
        return saved;
    }
    std::wstring openFile(HWND, const std::wstring&, const std::wstring&) override {
        ++asked;
        if (answers.empty()) return otherwise;
        std::wstring a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

// A started program as the tests decide it ends: at once with `code`, or (hung) only when
// terminated.
class FakeProgram final : public ui::StartedProgram {
public:
    FakeProgram(DWORD code, bool hung) : ended_(::CreateEventW(nullptr, TRUE, !hung, nullptr)), code_(hung ? STILL_ACTIVE : code) {}
    ~FakeProgram() override { ::CloseHandle(ended_); }
    HANDLE waitable() const override { return ended_; }
    DWORD exitCode() const override { return code_; }
    void terminate() override {
        code_ = ERROR_CANCELLED;
        ::SetEvent(ended_);
    }

private:
    HANDLE ended_;
    DWORD code_;
};

// Programs started through the shell, recorded as "verb file" (and their parameters) and not
// started: `run` plays the program (its exit status; 0 when unset), or it hangs when `hang` is set.
class StartedPrograms final : public ui::Shell {
public:
    explicit StartedPrograms(std::function<DWORD(const std::wstring& parameters)> plays = {}) : run(std::move(plays)) {}
    std::vector<std::wstring> started, parameters;
    std::function<DWORD(const std::wstring& parameters)> run;
    bool hang = false;
    INT_PTR execute(HWND, const std::wstring& verb, const std::wstring& file, const std::wstring& params,
                    const std::wstring&, int) override {
        started.push_back(verb + L" " + file);
        parameters.push_back(params);
        return 42;
    }
    std::unique_ptr<ui::StartedProgram> start(HWND owner, const std::wstring& file, const std::wstring& params) override {
        execute(owner, L"open", file, params, L"", SW_SHOWNORMAL);
        return std::make_unique<FakeProgram>(run ? run(params) : 0, hang);
    }
};

// A temporary file that exists, holding `content`.
class ExistingFile : public TempFile {
public:
    explicit ExistingFile(const wchar_t* stem, const std::string& content = "attached\r\n");
};

// Moves the skin file away for the life of the object. Windows read it from the folder of the
// module they run in: here, the test program's.
class SkinMoved {
public:
    SkinMoved() {
        wchar_t exe[MAX_PATH];
        ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring folder(exe);
        folder.resize(folder.find_last_of(L'\\'));
        skin_ = folder + L"\\skin\\mac.skn";
        moved_ = ::MoveFileExW(skin_.c_str(), (skin_ + L".away").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~SkinMoved() {
        if (moved_) ::MoveFileExW((skin_ + L".away").c_str(), skin_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    bool moved() const { return moved_; }

private:
    std::wstring skin_;
    bool moved_;
};

// Installs a fake factory, prompter, modal runner and log for the lifetime of a test.
struct FakeSuite {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    FakeFactory factory{log};
    FakePrompter prompter;
    ScriptedModal modal;
    TempFile logFile{L"qblog"};
    support::ScopedServices scope{support::Services{&factory, &prompter, &modal, logFile.path()}};
};

}  // namespace qb::testing
