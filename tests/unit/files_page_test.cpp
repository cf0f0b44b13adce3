// The relation window's Files page against the stand-in suite running in-process: attached items
// of every kind, attaching (dialog and drop), removing, opening, and what the list shows after
// each step against what the suite stores.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>
#include <thread>

#include "in_process_suite.h"
#include "ui/look/pictures.h"
#include "ui/window/drop_target.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using automation::Object;
using automation::Variant;
using windows::frmQuillbox;

// The suite in-process, with the engines that open items outside the suite faked.
struct WithFakedOpeners final : automation::ObjectFactory {
    automation::ObjectFactory& suite;
    FakeFactory& fakes;
    std::set<std::wstring, std::less<>> faked{L"Webopen.Engine", L"Procwatch.clsEngine", L"Outlook.Application",
                                              L"Routepick.Engine"};
    WithFakedOpeners(automation::ObjectFactory& s, FakeFactory& f) : suite(s), fakes(f) {}
    Object create(std::wstring_view progId) override {
        return faked.contains(progId) ? fakes.create(progId) : suite.create(progId);
    }
};

// A CF_HDROP data object holding the given paths, as the shell hands one to a drop target.
class FileListData final : public automation::ComObject<IDataObject, IID_IDataObject> {
public:
    explicit FileListData(const std::vector<std::wstring>& paths, CLIPFORMAT format = CF_HDROP) : format_(format) {
        for (const std::wstring& p : paths) list_ += p + L'\0';
        list_ += L'\0';
    }
    STDMETHODIMP GetData(FORMATETC* f, STGMEDIUM* m) override {
        if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
        const size_t bytes = sizeof(DROPFILES) + list_.size() * sizeof(wchar_t);
        HGLOBAL g = ::GlobalAlloc(GHND, bytes);
        auto* drop = static_cast<DROPFILES*>(::GlobalLock(g));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(drop + 1, list_.data(), list_.size() * sizeof(wchar_t));
        ::GlobalUnlock(g);
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = g;
        m->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP QueryGetData(FORMATETC* f) override {
        return f && f->cfFormat == format_ && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::wstring list_;
    CLIPFORMAT format_;
};

automation::ComPtr<IDataObject> fileList(const std::vector<std::wstring>& paths, CLIPFORMAT format = CF_HDROP) {
    return automation::ComPtr<IDataObject>::attach(new FileListData(paths, format));
}

struct FilesPageTest : SeededSuite {
    AnsweringFileDialogs dialogs;
    StartedPrograms shell;
    WithFakedOpeners objects{suiteObjects, fakes.factory};
    support::ScopedServices seams{support::Services{
        .objects = &objects, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = &shell, .files = &dialogs}};
    ExistingFile notes{L"qbnotes"}, budget{L"qbbudget"};
    frmQuillbox window;

    // Item 1 has seven attachments, stored on either side of the pair: two existing local files
    // of one type, a web page, a mail, a file-server item, a local file that is gone and a task.
    void SetUp() override {
        SeededSuite::SetUp();
        std::string seed =
            "INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES"
            " (2, 'Notes', '" + narrow(notes.path()) + "', 'File'), (3, 'Budget', '" + narrow(budget.path()) + "', 'File'),"
            " (4, 'Site', 'www.example.com', 'Web'), (5, 'Mail from Ann', 'ENTRY-5', 'OutlookMail'),"
            " (6, 'Plan', '/projects/plan.doc', 'Server'), (7, 'Gone', 'C:\\nowhere\\gone.txt', 'File'),"
            " (8, 'Call Bob', 'ENTRY-8', 'OutlookTask');"
            "INSERT INTO attachments(Attach1, Attach2) VALUES (1, 2), (3, 1), (1, 4), (5, 1), (1, 6), (7, 1), (1, 8);";
        db->exec(seed.c_str());
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        window.m_UserFile = L"C:\\docs\\report.txt";
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
    ui::TaggedList& list() { return window.files.lstFileRel; }
    std::vector<std::wstring> listed() {
        std::vector<std::wstring> out;
        for (int i = 0; i < list().count(); ++i) out.push_back(list().text(i));
        return out;
    }
    int picture(int row) {
        LVITEMW item{LVIF_IMAGE};
        item.iItem = row;
        ListView_GetItem(list().handle(), &item);
        return item.iImage + 1;
    }
    int row(const std::wstring& text) {
        for (int i = 0; i < list().count(); ++i)
            if (list().text(i) == text) return i;
        return -1;
    }
    // The other items of item 1's stored pairs, in the order stored.
    std::wstring storedPairs() {
        return store.query(
            "SELECT coalesce(group_concat(o, ' '), '') FROM (SELECT CASE WHEN Attach1 = 1 THEN Attach2 ELSE Attach1 END o "
            "FROM attachments WHERE Attach1 = 1 OR Attach2 = 1 ORDER BY AttachId)");
    }
    // What the list shows as the tags of its rows.
    std::wstring listedIds() {
        std::wstring s;
        for (int i = 0; i < list().count(); ++i) s += (i ? L" " : L"") + std::to_wstring(list().tag(i));
        return s;
    }
    void click(int row) {
        RECT r{LVIR_LABEL};
        ListView_GetItemRect(list().handle(), row, &r, LVIR_LABEL);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageW(list().handle(), WM_LBUTTONUP, 0, at);  // the list waits for it after the press
        ::SendMessageW(list().handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
    }
};

TEST_F(FilesPageTest, ListsEveryAttachedItemWhicheverSideOfThePairItIsStoredOn) {
    window.load();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(window.caption(), L"Relations - Report");
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Notes", L"Budget", L"Site", L"Mail from Ann", L"Plan", L"Gone", L"Call Bob"}));
    EXPECT_EQ(listedIds(), L"2 3 4 5 6 7 8");
    const wchar_t* kinds[] = {L"File", L"File", L"Web", L"Outlook", L"Server", L"File", L"Outlook"};
    const wchar_t* tips[] = {notes.path().c_str(), budget.path().c_str(), L"www.example.com", L"ENTRY-5",
                             L"/projects/plan.doc", L"C:\\nowhere\\gone.txt", L"ENTRY-8"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(list().subItem(i, 1), kinds[i]) << i;
        EXPECT_EQ(window.files.toolTip(i), tips[i]) << i;
    }
    EXPECT_GT(picture(0), 8) << "an existing file shows its shell icon, after the fixed pictures";
    EXPECT_EQ(picture(1), picture(0)) << "one icon for the files of one type";
    EXPECT_EQ(picture(2), 7);
    EXPECT_EQ(picture(3), 2);
    EXPECT_EQ(picture(4), 8);
    EXPECT_EQ(picture(5), 1) << "a local file that is gone";
    EXPECT_EQ(picture(6), 3);
    EXPECT_EQ(ListView_GetColumnWidth(list().handle(), 1), 0) << "the kind column is hidden";

    // Rebuilt again and again, the list keeps the same pictures and its image list does not grow.
    HIMAGELIST images = ListView_GetImageList(list().handle(), LVSIL_SMALL);
    const int held = ImageList_GetImageCount(images);
    for (int i = 0; i < 5; ++i) window.LoadFileRelationed();
    EXPECT_EQ(ImageList_GetImageCount(images), held);
    EXPECT_GT(picture(0), 8);
}

TEST_F(FilesPageTest, AddAttachesTheChosenFileAndTheSameFileTwiceIsListedTwice) {
    window.load();
    ExistingFile chosen(L"qbchosen");
    dialogs.answers = {chosen.path(), chosen.path()};
    window.files.cmdAddAttach_Click();
    window.files.cmdAddAttach_Click();
    const std::wstring id = store.query("SELECT FileId FROM items WHERE FileType = 'File' ORDER BY FileId DESC LIMIT 1");
    EXPECT_EQ(storedPairs(), L"2 3 4 5 6 7 8 " + id + L" " + id) << "no test for a pair stored already";
    EXPECT_EQ(listedIds(), storedPairs());
    EXPECT_EQ(list().text(8), list().text(7));
    EXPECT_EQ(dialogs.asked, 2);

    window.files.cmdAddAttach_Click();  // cancelled
    EXPECT_EQ(storedPairs(), L"2 3 4 5 6 7 8 " + id + L" " + id);
    EXPECT_EQ(list().count(), 9);
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(FilesPageTest, AFileTheSuiteGivesNoRecordForIsNotAttachedAndNothingIsSaid) {
    window.load();
    dialogs.answers = {L"C:\\nowhere\\not-there.txt"};  // the suite makes records of existing files only
    window.files.cmdAddAttach_Click();
    EXPECT_EQ(storedPairs(), L"2 3 4 5 6 7 8");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(FilesPageTest, RemoveDeletesTheTickedRowsOnly) {
    window.load();
    window.files.cmdDelAttach_Click();
    EXPECT_EQ(storedPairs(), L"2 3 4 5 6 7 8") << "nothing ticked: the list is only rebuilt";
    EXPECT_EQ(list().count(), 7);

    list().setChecked(row(L"Budget"), true);
    list().setChecked(row(L"Plan"), true);
    window.files.cmdDelAttach_Click();
    EXPECT_EQ(storedPairs(), L"2 4 5 7 8");
    EXPECT_EQ(listedIds(), L"2 4 5 7 8");
    for (int i = 0; i < list().count(); ++i) EXPECT_FALSE(list().checked(i));
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(FilesPageTest, OfAPairStoredTwiceATickedRowRemovesOne) {
    db->exec("INSERT INTO attachments(Attach1, Attach2) VALUES (4, 1)");
    window.load();
    list().setChecked(row(L"Site"), true);
    window.files.cmdDelAttach_Click();
    EXPECT_EQ(storedPairs(), L"2 3 5 6 7 8 4");
    EXPECT_EQ(listedIds(), storedPairs());
}

TEST_F(FilesPageTest, OpenOpensEachKindWithItsOwnProgram) {
    auto running = makeFake(L"Procwatch", fakes.log);
    running->field(L"IsRunning", true);
    auto item = makeFake(L"Item", fakes.log);
    item->accept(L"Display");
    auto ns = makeFake(L"Namespace", fakes.log);
    ns->accept(L"Logon").on(L"GetItemFromID", [&](const automation::CallArgs&) { return Variant(automation::ComPtr<IDispatch>(item.get())); });
    auto outlook = makeFake(L"Outlook", fakes.log);
    outlook->on(L"GetNamespace", [&](const automation::CallArgs&) { return Variant(automation::ComPtr<IDispatch>(ns.get())); });
    auto web = makeFake(L"Webopen", fakes.log);
    web->accept(L"OpenInNewWinwodw");
    auto locate = makeFake(L"Routepick", fakes.log);
    locate->accept(L"Show");
    fakes.factory.define(L"Procwatch.clsEngine", [&] { return running->object(); });
    fakes.factory.define(L"Outlook.Application", [&] { return outlook->object(); });
    fakes.factory.define(L"Webopen.Engine", [&] { return web->object(); });
    fakes.factory.define(L"Routepick.Engine", [&] { return locate->object(); });
    db->exec("INSERT INTO settings(Name, Value) VALUES ('ServerAddress', 'http://files.example/store/')");
    window.load();
    auto open = [&](const wchar_t* name, int how) {
        list().select(row(name));
        if (how == 0) window.files.cmdOpen_Click();
        else if (how == 1) window.files.lstFileRel_DblClick();
        else ::SendMessageW(list().handle(), WM_KEYDOWN, VK_RETURN, 0);
    };
    open(L"Notes", 0);
    open(L"Site", 1);
    open(L"Plan", 2);
    open(L"Call Bob", 0);
    open(L"Gone", 1);
    EXPECT_EQ(shell.started, (std::vector<std::wstring>{L"open " + notes.path(), L"open http://www.example.com"}));
    auto logged = [&](const std::wstring& call) { return std::find(fakes.log->begin(), fakes.log->end(), call) != fakes.log->end(); };
    EXPECT_TRUE(logged(L"Webopen.OpenInNewWinwodw(\"http://files.example/store/projects/plan.doc\")"));
    EXPECT_TRUE(logged(L"Namespace.GetItemFromID(\"ENTRY-8\")"));
    EXPECT_TRUE(logged(L"Item.Display()"));
    EXPECT_TRUE(logged(L"Routepick.Show(\"C:\\nowhere\\gone.txt\")")) << "a file that is gone goes to the suite's locator";
    EXPECT_TRUE(fakes.prompter.boxes.empty());

    shell.started.clear();
    for (int i = 0; i < list().count(); ++i) ListView_SetItemState(list().handle(), i, 0, LVIS_SELECTED);
    window.files.cmdOpen_Click();
    EXPECT_TRUE(shell.started.empty()) << "nothing selected: nothing opens";
}

TEST_F(FilesPageTest, AnUnknownKindOrAVanishedItemFailsInGetIconWithTheRowsBeforeItKept) {
    db->exec("PRAGMA foreign_keys=OFF; UPDATE items SET FileType = 'Fax' WHERE FileId = 5;");
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Notes", L"Budget", L"Site"}));
    std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmQuillbox.Get_Icon()  frmQuillbox.LoadFileRelationed()   frmQuillbox.Form_Load() \r\n"),
              std::string::npos) << log;
    EXPECT_NE(log.find("\"Fax\""), std::string::npos) << log;

    fakes.prompter.boxes.clear();
    db->exec("UPDATE items SET FileType = 'OutlookMail' WHERE FileId = 5; DELETE FROM items WHERE FileId = 6;");
    window.CheckState1_ChangeView(1);  // rebuilds the list
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << "an attached id with no record";
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Notes", L"Budget", L"Site", L"Mail from Ann"}));
    EXPECT_NE(fakes.logFile.read().find("frmQuillbox.Get_Icon()  frmQuillbox.LoadFileRelationed()   frmQuillbox.CheckState1_ChangeView()"),
              std::string::npos);
}

// ---- files dropped from the shell --------------------------------------------------------------

struct OleOnThisThread {
    HRESULT hr = ::OleInitialize(nullptr);
    ~OleOnThisThread() {
        if (SUCCEEDED(hr)) ::OleUninitialize();
    }
};

TEST(FileDropTargetTest, TakesOnlyListsOfExistingFiles) {
    ExistingFile a(L"qbdropa"), b(L"qbdropb");
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    EXPECT_EQ(ui::droppedFiles(fileList({a.path(), b.path()}).get()), (std::vector<std::wstring>{a.path(), b.path()}));
    EXPECT_TRUE(ui::droppedFiles(fileList({a.path(), folder}).get()).empty()) << "a folder among them";
    EXPECT_TRUE(ui::droppedFiles(fileList({a.path(), L"C:\\nowhere\\x.txt"}).get()).empty());
    EXPECT_TRUE(ui::droppedFiles(fileList({}).get()).empty());
    EXPECT_TRUE(ui::droppedFiles(fileList({a.path()}, CF_UNICODETEXT).get()).empty()) << "text is no file list";

    std::vector<std::vector<std::wstring>> dropped;
    auto target = ui::makeFileDropTarget([&](const std::vector<std::wstring>& p) { dropped.push_back(p); });
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(fileList({folder}).get(), MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "the no-drop cursor";
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragOver(MK_LBUTTON, {0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragLeave();
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(fileList({a.path()}).get(), MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "files are linked, never moved";
    effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    target->Drop(fileList({a.path(), b.path()}).get(), 0, {0, 0}, &effect);
    effect = DROPEFFECT_COPY;
    target->Drop(fileList({folder}).get(), 0, {0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].size(), 2u);

    auto throwing = ui::makeFileDropTarget([](const std::vector<std::wstring>&) { throw std::runtime_error("x"); });
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(throwing->Drop(fileList({a.path()}).get(), 0, {0, 0}, &effect), S_OK) << "nothing leaves the COM method";
}

TEST_F(FilesPageTest, FilesDroppedOnTheListAreAttachedAsAddAttachesThem) {
    OleOnThisThread ole;
    ASSERT_TRUE(SUCCEEDED(ole.hr));
    window.load();
    EXPECT_FALSE(window.files.takesDrops()) << "not before the list shows";
    window.ssTab.select(frmQuillbox::kFilesTab);
    ASSERT_TRUE(window.files.takesDrops());
    // The target the window registered with OLE.
    automation::ComPtr<IDropTarget> target = window.files.dropTarget();
    ASSERT_TRUE(target);
    ExistingFile a(L"qbdropa"), b(L"qbdropb");
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(fileList({a.path(), b.path()}).get(), MK_LBUTTON, {0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->Drop(fileList({a.path(), b.path()}).get(), 0, {0, 0}, &effect);
    // Drop returns to the file manager at once: the attaching waits for the window's own queue.
    EXPECT_EQ(list().count(), 7) << "attached inside the shell's drag";
    EXPECT_EQ(store.query("SELECT count(*) FROM items WHERE FileId > 8"), L"0");
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
    EXPECT_EQ(list().count(), 9);
    EXPECT_EQ(listedIds(), storedPairs());
    EXPECT_EQ(store.query("SELECT count(*) FROM items WHERE FileId > 8"), L"2");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    window.unload();  // revoked while OLE is still there
    EXPECT_FALSE(window.files.takesDrops());
}

// ---- icons ------------------------------------------------------------------------------------

TEST(AttachmentIconsTest, AFileWithoutAnIconShowsTheMissingFilePicture) {
    windows::AttachmentIcons icons([](const std::wstring&, bool) { return UniqueIcon(); });
    EXPECT_EQ(icons.pictureOf(L"C:\\a\\one.xyz"), ui::kMissingFilePicture);
    EXPECT_EQ(ImageList_GetImageCount(icons.images()), 8);
}

}  // namespace
}  // namespace qb::testing
