// The mail item window against the stand-in suite and mail client in-process: what it does that
// the server item window does not (the header by item type, "Update Info" that keeps the entry
// identifier, the upload button, and "Ok" saving the item as a message file that the record then
// describes). The shared pages' behaviour is the other windows' tests' business.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/engine.h"
#include "in_process_suite.h"
#include "windows/outlook/frm_relation_outlook.h"

namespace qb::testing {
namespace {

using windows::frmRelationOutlook;
namespace fs = std::filesystem;

constexpr wchar_t kMailId[] = L"00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001";
constexpr char kOutlookNeeded[] =
    "Outlook is not running. If you want this action component to run properly please start OUTLOOK aplication ";

struct MailWindowTest : SeededSuite {
    fs::path downloads = fs::temp_directory_path() / ("qbmaildl-" + std::to_string(::GetCurrentProcessId()));
    fs::path chosen = fs::temp_directory_path() / ("qbmailchosen-" + std::to_string(::GetCurrentProcessId()));
    InProcessSuite& objects = suiteObjects;
    AnsweringFileDialogs dialogs;
    support::ScopedServices seams{support::Services{
        .objects = nullptr, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = nullptr, .files = &dialogs}};
    frmRelationOutlook window;

    // Item 5 is the mail "Re: delivery dates", related to Globex and Acme.
    void SetUp() override {
        SeededSuite::SetUp();
        for (const fs::path& p : {downloads, chosen}) fs::remove_all(p), fs::create_directories(p);
        db->exec(("INSERT INTO items(FileId, FileName, FileComment, FileCurrentPath, FileType) VALUES"
                  " (5, 'Re: delivery dates', 'from Tom', '" + narrow(kMailId) + "', 'OutlookMail');"
                  "INSERT INTO keyword_items(KeyId, FileId) VALUES (102, 5), (101, 5);"
                  "INSERT INTO outlook_items(EntryID, Subject, Body, MessageClass) VALUES"
                  " ('" + narrow(kMailId) + "', 'Re: delivery dates', 'Monday.', 'IPM.Note');"
                  "INSERT INTO settings(Name, Value) VALUES ('DownloadFolder', '" + narrow(downloads.wstring()) + "');").c_str());
        window.oFileSelected = record(kMailId, L"OutlookMail");
    }
    void TearDown() override {
        window.unload();
        for (const fs::path& p : {downloads, chosen}) fs::remove_all(p);
        SeededSuite::TearDown();
    }
    static automation::Object record(const std::wstring& id, const std::wstring& type) {
        return automation::Object(automation::makeObject<tesra::ItemLoader>())
            .callObject(L"LoadFileOutlookObject", {id, L"An item", type, true});
    }
    void show() {
        window.load();
        ::ShowWindow(window.handle(), SW_SHOWNA);
    }
    // "Ok" with an option chosen as a click chooses it.
    void okWith(ui::OptionButton& option) {
        show();
        option.choose();
        option.onClick();
        window.cmdOk_Click();
    }
    // Type, name and path of item 5 as stored.
    std::wstring stored5() { return store.query("SELECT FileType || '|' || FileName || '|' || FileCurrentPath FROM items WHERE FileId = 5"); }
    std::wstring untouched() { return L"OutlookMail|Re: delivery dates|" + std::wstring(kMailId); }
    // The subject stream of a message file.
    static std::wstring subjectOf(const fs::path& file) {
        automation::ComPtr<IStorage> storage;
        if (FAILED(::StgOpenStorage(file.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, storage.put())))
            return L"<no compound file>";
        automation::ComPtr<IStream> stream;
        if (FAILED(storage->OpenStream(L"__substg1.0_0037001F", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put())))
            return L"<no subject>";
        wchar_t text[256] = {};
        ULONG read = 0;
        stream->Read(text, sizeof text - sizeof(wchar_t), &read);
        return text;
    }
};

TEST_F(MailWindowTest, TheHeaderShowsTheItemTypeInAnyCaseAndTheWindowHasItsOwnCaptions) {
    const std::pair<const wchar_t*, const wchar_t*> types[] = {
        {L"OutlookMail", L"Mail"},        {L"outlookcontact", L"Contact"}, {L"OUTLOOKTASK", L"Task"},
        {L"OutlookAppointment", L"Appointment"}, {L"OutlookNote", L"Note"}, {L"OutlookJournal", L""}};
    for (const auto& [type, picture] : types) {
        window.oFileSelected = record(L"id-" + std::wstring(type), type);
        show();
        EXPECT_EQ(window.info.headerPicture(), picture) << narrow(type);
        window.unload();
    }
    window.oFileSelected = record(kMailId, L"OutlookMail");
    show();
    EXPECT_EQ(window.info.lblPath.text(), L"Item &Id: ");
    EXPECT_EQ(window.info.txtPathUpdate.text(), kMailId);
    EXPECT_EQ(window.relate.optionPicture(), L"Link");
    ::ShowWindow(window.relate.chkLocalCopyOP.handle(), SW_HIDE);
    window.relate.chkLocalCopyDP.choose();
    window.relate.chkLocalCopyDP.onClick();
    EXPECT_EQ(window.relate.optionPicture(), L"LocalCopy");
    EXPECT_TRUE(window.relate.chkLocalCopyOP.visible()) << "an option handler shows all three";
    window.RelationTab.select(frmRelationOutlook::kServerTab);
    EXPECT_TRUE(::IsWindowVisible(window.server.cmdUpload.handle()));
    EXPECT_FALSE(::IsWindowVisible(window.server.sspSending.handle())) << "the busy panel waits for an upload";
}

TEST_F(MailWindowTest, UpdateInfoWritesNameAndCommentAndKeepsTheEntryIdentifier) {
    show();
    EXPECT_TRUE(window.info.txtPathUpdate.readOnly()) << "the identifier is the suite's key of the item";
    window.info.txtNameUpdate.setText(L"Delivery dates");
    window.info.txtComment.setText(L"asked twice");
    window.info.txtPathUpdate.setText(L"edited");  // as a paste from a program could
    window.info.cmdUpdateData_Click();
    EXPECT_EQ(stored5(), L"OutlookMail|Delivery dates|" + std::wstring(kMailId));
    EXPECT_EQ(store.query("SELECT FileComment FROM items WHERE FileId = 5"), L"asked twice");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(MailWindowTest, TheUploadButtonRunsTheDiagnosticUploadOfANewEngineWithTheWindowDisabled) {
    show();
    BOOL enabledMeanwhile = TRUE;
    objects.processesAsked.clear();
    struct Watch : ui::Prompter {
        FakePrompter& inner;
        HWND window;
        BOOL& enabled;
        Watch(FakePrompter& p, HWND w, BOOL& e) : inner(p), window(w), enabled(e) {}
        int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) override {
            enabled = ::IsWindowEnabled(window);
            return inner.messageBox(owner, text, caption, flags);
        }
    } watch{fakes.prompter, window.handle(), enabledMeanwhile};
    support::ScopedServices answering{support::Services{.objects = nullptr, .prompter = &watch}};
    window.cmdUpload_Click();
    ASSERT_GE(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].text, L"UploadXXX entered.");
    EXPECT_FALSE(enabledMeanwhile) << "the window takes no input under the Engine's boxes";
    EXPECT_TRUE(::IsWindowEnabled(window.handle()));
    EXPECT_TRUE(window.isLoaded());
    EXPECT_EQ(stored5(), untouched());
}

// The default folder: the name from the subject, a numbered copy beside an earlier one; the
// record becomes a local file record of the saved message with its keywords kept.
TEST_F(MailWindowTest, ALocalCopyInTheDownloadFolderIsAMessageFileTheRecordThenDescribes) {
    okWith(window.relate.chkLocalCopyDP);
    const fs::path saved = downloads / L"Re delivery dates.msg";
    EXPECT_EQ(subjectOf(saved), L"Re: delivery dates");
    EXPECT_EQ(stored5(), L"File|Re delivery dates.msg|" + saved.wstring());
    EXPECT_EQ(store.query("SELECT group_concat(KeyId) FROM (SELECT KeyId FROM keyword_items WHERE FileId = 5 ORDER BY KeyId)"),
              L"101,102");
    EXPECT_EQ(objects.processesAsked, std::vector<std::wstring>{L"OUTLOOK.EXE"});
    EXPECT_EQ(db->setting(L"MailLastLogon", L""), L"-|-|True|-") << "no profile, no password, the dialog allowed";
    EXPECT_FALSE(window.isLoaded());
    EXPECT_TRUE(fakes.prompter.boxes.empty());

    // Again from the mail item: the name is taken, then the first numbered one.
    for (const wchar_t* expected : {L"Copy (1) of Re delivery dates.msg", L"Copy (2) of Re delivery dates.msg"}) {
        db->exec(("UPDATE items SET FileType = 'OutlookMail', FileName = 'Re: delivery dates', FileCurrentPath = '" +
                  narrow(kMailId) + "' WHERE FileId = 5").c_str());
        window.oFileSelected = record(kMailId, L"OutlookMail");
        okWith(window.relate.chkLocalCopyDP);
        EXPECT_EQ(stored5(), L"File|" + std::wstring(expected) + L"|" + (downloads / expected).wstring());
        EXPECT_EQ(subjectOf(downloads / expected), L"Re: delivery dates");
    }
}

TEST_F(MailWindowTest, OkWithTheItemKeptTouchesNoDiskAndAChosenFolderGetsTheTypedNameWithMsg) {
    okWith(window.relate.chkLink);
    EXPECT_FALSE(window.isLoaded());
    EXPECT_TRUE(fs::is_empty(downloads));
    EXPECT_TRUE(objects.processesAsked.empty());
    EXPECT_EQ(stored5(), untouched());

    dialogs.saved = {};
    okWith(window.relate.chkLocalCopyOP);
    EXPECT_EQ(dialogs.proposed, std::vector<std::wstring>{L"Re delivery dates"}) << "the name as a file has it, without .msg";
    EXPECT_TRUE(fs::is_empty(chosen)) << "cancelled: nothing created";
    EXPECT_EQ(stored5(), untouched());

    dialogs.saved = {(chosen / L"plan.msg").wstring(), L"plan.msg"};
    okWith(window.relate.chkLocalCopyOP);
    EXPECT_EQ(stored5(), L"File|plan.msg.msg|" + (chosen / L"plan.msg.msg").wstring()) << "a typed .msg gets its own";
    EXPECT_EQ(subjectOf(chosen / L"plan.msg.msg"), L"Re: delivery dates");

    db->exec(("UPDATE items SET FileType = 'OutlookMail', FileCurrentPath = '" + narrow(kMailId) + "' WHERE FileId = 5").c_str());
    window.oFileSelected = record(kMailId, L"OutlookMail");
    okWith(window.relate.chkLocalCopyOP);
    EXPECT_EQ(stored5(), L"File|Copy (1) plan.msg.msg|" + (chosen / L"Copy (1) plan.msg.msg").wstring()) << "no \"of\"";
}

TEST_F(MailWindowTest, MakeFileNameRemovesTheEightCharactersOnly) {
    EXPECT_EQ(frmRelationOutlook::MakeFileName(L"Re: plan a/b|c", L"msg"), L"Re plan abc.msg");
    EXPECT_EQ(frmRelationOutlook::MakeFileName(L"a\\b/c:d*e\"f<g>h|i?j", L"msg"), L"abcdefghi?j.msg");
    EXPECT_EQ(frmRelationOutlook::MakeFileName(L"", L"txt"), L".txt");
}

// A name renamed to hundreds of characters: cut so that the copy can be made, ".msg" kept.
TEST_F(MailWindowTest, AVeryLongNameIsCutAndANameThatIsNoFileNameIsRefused) {
    db->exec(("UPDATE items SET FileName = '" + std::string(300, 'x') + "' WHERE FileId = 5").c_str());
    window.oFileSelected = record(kMailId, L"OutlookMail");
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    const std::wstring path = store.query("SELECT FileCurrentPath FROM items WHERE FileId = 5");
    EXPECT_LT(path.size() + std::wstring(L"Copy (99) of ").size(), static_cast<size_t>(MAX_PATH)) << narrow(path);
    EXPECT_TRUE(path.ends_with(L"xx.msg")) << narrow(path);
    EXPECT_EQ(subjectOf(path), L"Re: delivery dates");

    // A name that is still no file name after MakeFileName: refused before anything is created.
    for (const char* name : {"Why?", "CON", "tab\there"}) {
        db->exec(("UPDATE items SET FileType = 'OutlookMail', FileCurrentPath = '" + narrow(kMailId) + "', FileName = '" +
                  name + "' WHERE FileId = 5").c_str());
        window.oFileSelected = record(kMailId, L"OutlookMail");
        const auto files = std::distance(fs::directory_iterator(downloads), fs::directory_iterator());
        fakes.prompter.boxes.clear();
        okWith(window.relate.chkLocalCopyDP);
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << name;
        EXPECT_NE(fakes.prompter.boxes[0].text.find(L"cannot be the name of a file"), std::wstring::npos) << name;
        EXPECT_EQ(std::distance(fs::directory_iterator(downloads), fs::directory_iterator()), files) << name;
        EXPECT_TRUE(window.isLoaded()) << name;
        window.unload();
    }
}

// A record the suite already has for the target path (an earlier copy removed by hand and saved
// again) goes before the item's record takes the path over.
TEST_F(MailWindowTest, AnEarlierRecordAtTheTargetPathIsDeletedFirst) {
    const std::wstring target = (downloads / L"Re delivery dates.msg").wstring();
    db->exec(("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (9, 'old copy', '" + narrow(target) +
              "', 'File'); INSERT INTO keyword_items(KeyId, FileId) VALUES (111, 9);").c_str());
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_EQ(store.query("SELECT count(*) FROM items WHERE FileId = 9"), L"0");
    EXPECT_EQ(stored5(), L"File|Re delivery dates.msg|" + target);
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

// Without the mail client, with an item it does not know, or with a save that fails: the user is
// told, the record stays the mail item's, no file is left, and the window stays for another try.
TEST_F(MailWindowTest, ACopyThatCannotBeSavedIsReportedLeavesNoFileAndKeepsTheRecord) {
    objects.outlookRunning = false;
    okWith(window.relate.chkLocalCopyDP);
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(narrow(fakes.prompter.boxes[0].text), kOutlookNeeded);
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Outlook needed");
    EXPECT_EQ(fakes.prompter.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(db->setting(L"MailLastLogon", L"none"), L"none") << "the mail client is not asked";
    objects.outlookRunning = true;

    struct Case {
        const char* name;
        const char* sql;
        const wchar_t* saying;
    };
    for (const Case& c : {Case{"unknown item", "UPDATE items SET FileCurrentPath = 'FFFF' WHERE FileId = 5", L"no item with the id FFFF"},
                          Case{"save fails", "UPDATE items SET FileCurrentPath = '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001' WHERE FileId = 5;"
                                                "INSERT INTO settings(Name, Value) VALUES ('MailSaveFails', '1')", L"disk is full"}}) {
        EXPECT_TRUE(window.isLoaded()) << c.name;
        EXPECT_EQ(store.query("SELECT FileType || '|' || FileName FROM items WHERE FileId = 5"), L"OutlookMail|Re: delivery dates");
        EXPECT_TRUE(fs::is_empty(downloads)) << c.name;
        window.unload();
        db->exec(c.sql);
        window.oFileSelected = record(store.query("SELECT FileCurrentPath FROM items WHERE FileId = 5"), L"OutlookMail");
        fakes.prompter.boxes.clear();
        okWith(window.relate.chkLocalCopyDP);
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << c.name;
        EXPECT_NE(fakes.prompter.boxes[0].text.find(c.saying), std::wstring::npos) << narrow(fakes.prompter.boxes[0].text);
    }
    EXPECT_TRUE(window.isLoaded());
    EXPECT_TRUE(fs::is_empty(downloads));
    EXPECT_EQ(stored5(), untouched());
    EXPECT_NE(fakes.logFile.read().find("frmRelationOutlook.MailSave()"), std::string::npos);
}

// A blank subject still makes a file name.
TEST_F(MailWindowTest, ABlankSubjectIsSavedAsUntitled) {
    db->exec("UPDATE items SET FileName = ' :/ ' WHERE FileId = 5");
    window.oFileSelected = record(kMailId, L"OutlookMail");
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_EQ(stored5(), L"File|Untitled.msg|" + (downloads / L"Untitled.msg").wstring());
}

// All 99 numbered names taken: nothing is overwritten, the user is told, the window stays.
TEST_F(MailWindowTest, WithAllNinetyNineNamesTakenNothingIsSavedAndTheWindowStays) {
    std::ofstream(downloads / L"Re delivery dates.msg") << "x";
    for (int n = 1; n <= 99; ++n) std::ofstream(downloads / (L"Copy (" + std::to_wstring(n) + L") of Re delivery dates.msg")) << "x";
    okWith(window.relate.chkLocalCopyDP);
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_NE(fakes.prompter.boxes[0].text.find(L"are all taken in " + downloads.wstring()), std::wstring::npos)
        << narrow(fakes.prompter.boxes[0].text);
    EXPECT_EQ(fs::file_size(downloads / L"Copy (99) of Re delivery dates.msg"), 1u) << "not saved over";
    EXPECT_EQ(stored5(), untouched());
    EXPECT_TRUE(window.isLoaded());
    EXPECT_NE(fakes.logFile.read().find(" frmRelationOutlook.RelDownLoadItem()   frmRelationOutlook.cmdOk_Click() "),
              std::string::npos);
}

// The operation opens the window with the loader's record; a name is cut to 40 characters.
TEST_F(MailWindowTest, ShowRelationOutlookOpensTheWindowOnTheLoadersRecord) {
    automation::Object engine(engine::createEngine());
    std::wstring shownName, shownType;
    fakes.modal.script = [&](ui::Form& form) {
        auto& w = dynamic_cast<frmRelationOutlook&>(form);
        shownName = w.info.txtNameUpdate.text();
        shownType = w.info.headerPicture();
        EXPECT_TRUE(w.m_UserFile.empty());
        w.cmdCancel_Click();
    };
    const std::wstring longName(50, L'n');
    engine.call(L"ShowRelationOutlook", {L"00NEW", longName, L"OutlookTask"});
    EXPECT_EQ(fakes.modal.shown, 1);
    EXPECT_EQ(shownName, std::wstring(40, L'n'));
    EXPECT_EQ(shownType, L"Task");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

}  // namespace
}  // namespace qb::testing
