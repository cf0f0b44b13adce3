// The Server page's upload and the name clash dialog against the stand-in suite in-process, with
// a folder of the test's own as the file server. The dialog is answered through the modal seam.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "automation/module.h"
#include "base/handles.h"
#include "in_process_suite.h"
#include "windows/dialogs/exist_file_server.h"
#include "windows/relation/frm_quillbox.h"
#include "windows/shared/local_function.h"

namespace qb::testing {
namespace {

using windows::frmExistFileServer;
using windows::frmQuillbox;
namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A click on an option button: chosen, then its handler.
void click(ui::OptionButton& option) {
    option.choose();
    if (option.onClick) option.onClick();
}

struct UploadTest : SeededSuite {
    fs::path server = fs::temp_directory_path() / ("qbserver-" + std::to_string(::GetCurrentProcessId()));
    ExistingFile local{L"qbupload", "local content\r\n"};
    std::wstring name = windows::FileNameFromPath(local.path());
    frmQuillbox window;

    void SetUp() override {
        SeededSuite::SetUp();
        fs::remove_all(server);
        fs::create_directories(server);
        db->exec(("INSERT INTO settings(Name, Value) VALUES ('ServerFolder', '" + narrow(server.wstring()) + "');").c_str());
        window.oFileSelected = automation::Object(automation::makeObject<tesra::ItemLoader>())
                                   .callObject(L"LoadFileObject", {local.path(), true});
        db->exec(("INSERT INTO keyword_items(KeyId, FileId) VALUES (102, " +
                  narrow(window.oFileSelected.get(L"FileId").toText()) + ");").c_str());
        window.load();
    }
    void TearDown() override {
        window.unload();
        windows::existFileServerSlot().clear();
        fs::remove_all(server);
        SeededSuite::TearDown();
    }
    std::wstring localId() { return window.oFileSelected.get(L"FileId").toText(); }
    // "name|type|keyword ids" of the server items.
    std::wstring serverItems() {
        return store.query(
            "SELECT coalesce(group_concat(FileCurrentPath || '|' || FileType || '|' || "
            "(SELECT group_concat(KeyId, ' ') FROM keyword_items k WHERE k.FileId = i.FileId), ';'), '') "
            "FROM items i WHERE FileType = 'Server'");
    }
    void putOnServer(const std::wstring& file, const std::string& content) {
        std::ofstream(server / file, std::ios::binary) << content;
    }
    bool serverTabUsable() { return window.ssTab.pageEnabled(frmQuillbox::kServerTab); }
};

TEST_F(UploadTest, AFileNotOnTheServerGoesAtOnceAndTheWindowShowsTheServerItem) {
    window.ssTab.select(frmQuillbox::kServerTab);
    window.cmdUpload_Click();
    EXPECT_EQ(fakes.modal.shown, 0) << "no clash: no dialog";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(contentOf(server / name), "local content\r\n");
    EXPECT_EQ(serverItems(), L"/" + name + L"|Server|102") << "the local item's relations come along";
    EXPECT_EQ(window.info.txtNameUpdate.text(), name);
    EXPECT_EQ(window.info.txtPathUpdate.text(), L"/" + name);
    EXPECT_FALSE(window.info.txtPathUpdate.enabled());
    EXPECT_EQ(window.info.headerPicture(), L"Server");
    EXPECT_EQ(window.ssTab.selected(), frmQuillbox::kInfoTab);
    EXPECT_FALSE(serverTabUsable());
    EXPECT_EQ(store.query(("SELECT count(*) FROM items WHERE FileId = " + narrow(localId())).c_str()), L"1")
        << "Remove this file in Local Data Base was clear: the local item stays";
    EXPECT_FALSE(window.server.sspSending.visible());
    EXPECT_FALSE(window.server.Animation1.visible());
}

TEST_F(UploadTest, WithRemoveTickedTheLocalRecordGoesAndTheFileStays) {
    const std::wstring id = localId();
    window.server.chkRemove.setChecked(true);
    window.cmdUpload_Click();
    EXPECT_EQ(store.query(("SELECT count(*) FROM items WHERE FileId = " + narrow(id)).c_str()), L"0");
    EXPECT_EQ(serverItems(), L"/" + name + L"|Server|102");
    EXPECT_TRUE(fs::exists(local.path()));
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(UploadTest, ACancelledClashSendsNothingAndChangesNothing) {
    putOnServer(name, "server content");
    frmExistFileServer* shown = nullptr;
    fakes.modal.script = [&](ui::Form& form) {
        shown = dynamic_cast<frmExistFileServer*>(&form);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->lblTitle.text(), L"The file's server already contains a file name \"" + name + L".\"");
        EXPECT_EQ(shown->lblNameS.text(), name);
        EXPECT_EQ(shown->lblSizeS.text(), L"14 bytes");
        EXPECT_FALSE(shown->lblCreateS.text().empty());
        EXPECT_FALSE(shown->lblName.text().empty()) << "the local side";
        EXPECT_TRUE(shown->opCancel.value()) << "first shown: Cancel";
        EXPECT_FALSE(shown->txtRename.enabled());
        shown->cmdOk.press();
    };
    const std::wstring before = window.info.txtPathUpdate.text();
    window.cmdUpload_Click();
    EXPECT_EQ(fakes.modal.shown, 1);
    EXPECT_EQ(contentOf(server / name), "server content");
    EXPECT_EQ(serverItems(), L"");
    EXPECT_EQ(window.info.txtPathUpdate.text(), before);
    EXPECT_TRUE(window.info.txtPathUpdate.enabled());
    EXPECT_TRUE(serverTabUsable());
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(UploadTest, RenameSendsACopyUnderTheNameAsTypedAndLeavesNoCopyBehind) {
    putOnServer(name, "server content");
    putOnServer(L"Taken.tmp", "another");
    int presses = 0;
    fakes.modal.script = [&](ui::Form& form) {
        auto& d = dynamic_cast<frmExistFileServer&>(form);
        click(d.optRename);
        EXPECT_TRUE(d.txtRename.enabled());
        d.txtRename.setText(L"   ");
        d.cmdOk.press();
        ++presses;
        d.txtRename.setText(L"Taken");
        d.cmdOk.press();
        ++presses;
        d.txtRename.setText(L"  Fresh copy ");
        d.cmdOk.press();
    };
    window.cmdUpload_Click();
    ASSERT_EQ(fakes.prompter.boxes.size(), 2u);
    EXPECT_EQ(fakes.prompter.boxes[0].text, L"The name is missing.");
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Vellumdex");
    EXPECT_EQ(fakes.prompter.boxes[0].flags & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(fakes.prompter.boxes[1].text, L"The file's server already contains a file name \"Taken.tmp.\"");
    EXPECT_EQ(contentOf(server / L"  Fresh copy .tmp"), "local content\r\n") << "blanks stay, the server's type follows";
    EXPECT_EQ(contentOf(server / name), "server content");
    EXPECT_EQ(contentOf(server / L"Taken.tmp"), "another");
    EXPECT_EQ(serverItems(), L"/  Fresh copy .tmp|Server|102");
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_FALSE(entry.path().filename().wstring().starts_with(L"Quillbox upload ")) << "the staged copy is gone";
    EXPECT_EQ(windows::existFileServerSlot().get()->strNewName, L"  Fresh copy .tmp");
}

TEST_F(UploadTest, ReplaceDeletesTheServersFileAndItsRecordOrStillUploadsWhenRefused) {
    putOnServer(name, "server content");
    db->exec(("INSERT INTO items(FileName, FileCurrentPath, FileType) VALUES ('" + narrow(name) + "', '/" + narrow(name) +
              "', 'Server'); INSERT INTO settings(Name, Value) VALUES ('RefuseDelete', '1');").c_str());
    fakes.modal.script = [&](ui::Form& form) {
        auto& d = dynamic_cast<frmExistFileServer&>(form);
        click(d.optReplace);
        d.txtRename.setText(L"ignored");
        d.cmdOk.press();
    };
    window.cmdUpload_Click();
    EXPECT_EQ(contentOf(server / name), "local content\r\n") << "refused to delete: uploaded all the same";
    EXPECT_EQ(store.query("SELECT count(*) FROM items WHERE FileType = 'Server'"), L"1") << "the old record stays";
    EXPECT_EQ(windows::existFileServerSlot().get()->strNewName, L"");

    // Again, from a fresh window, with a server that deletes.
    window.unload();
    db->exec("DELETE FROM settings WHERE Name = 'RefuseDelete'; DELETE FROM items WHERE FileType = 'Server';");
    fs::remove_all(server);
    fs::create_directories(server);
    db->exec(("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (900, 'old', '/" + narrow(name) +
              "', 'Server');").c_str());
    putOnServer(name, "server content");
    window.load();
    window.cmdUpload_Click();
    EXPECT_EQ(store.query("SELECT count(*) FROM items WHERE FileId = 900"), L"0") << "the replaced file's record goes";
    EXPECT_EQ(serverItems(), L"/" + name + L"|Server|102");
    EXPECT_EQ(std::distance(fs::directory_iterator(server), fs::directory_iterator()), 1) << "no temporary file left";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

// A replace that cannot finish loses nothing and says so: the local file held by another program
// or moved away, or the server's own file opened as the local one.
TEST_F(UploadTest, AReplaceThatCannotFinishLeavesTheServersFileAndItsRecord) {
    putOnServer(name, "server content");
    db->exec(("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (900, 'old', '/" + narrow(name) +
              "', 'Server'); INSERT INTO keyword_items(KeyId, FileId) VALUES (111, 900);").c_str());
    fakes.modal.script = [&](ui::Form& form) {
        auto& d = dynamic_cast<frmExistFileServer&>(form);
        click(d.optReplace);
        d.cmdOk.press();
    };
    auto expectNothingLost = [&](const char* how, const wchar_t* saying) {
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << how;
        EXPECT_NE(fakes.prompter.boxes[0].text.find(saying), std::wstring::npos) << narrow(fakes.prompter.boxes[0].text);
        EXPECT_EQ(contentOf(server / name), "server content") << how;
        EXPECT_EQ(serverItems(), L"/" + name + L"|Server|111") << how;
        EXPECT_EQ(std::distance(fs::directory_iterator(server), fs::directory_iterator()), 1) << how;
        EXPECT_TRUE(serverTabUsable()) << how;
        fakes.prompter.boxes.clear();
    };
    {
        UniqueFile held(::CreateFileW(local.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        window.cmdUpload_Click();
    }
    expectNothingLost("held by another program", L"");
    const fs::path away = local.path() + L".away";
    fs::rename(local.path(), away);
    window.cmdUpload_Click();
    fs::rename(away, local.path());
    expectNothingLost("moved away", L"is not there any more");

    window.unload();
    window.oFileSelected = automation::Object(automation::makeObject<tesra::ItemLoader>())
                               .callObject(L"LoadFileObject", {(server / name).wstring(), true});
    window.load();
    window.cmdUpload_Click();
    expectNothingLost("the server's own file", L"cannot replace itself");
}

TEST_F(UploadTest, TheDialogKeepsTheChoiceForTheNextClashAndTheCloseBoxResetsIt) {
    putOnServer(name, "server content");
    std::vector<std::function<void(frmExistFileServer&)>> answers = {
        [](frmExistFileServer& d) {  // rename, then think better of it: close
            click(d.optRename);
            d.txtRename.setText(L"kept");
            ::SendMessageW(d.handle(), WM_CLOSE, 0, 0);
        },
        [](frmExistFileServer& d) {
            EXPECT_TRUE(d.opCancel.value()) << "closed: back to the design's state";
            EXPECT_FALSE(d.txtRename.enabled());
            EXPECT_EQ(d.txtRename.text(), L"");
            click(d.optRename);
            d.txtRename.setText(L"taken-now");
            click(d.opCancel);  // the text stays, disabled
            EXPECT_FALSE(d.txtRename.enabled());
            d.cmdOk.press();
        },
        [&](frmExistFileServer& d) {
            EXPECT_TRUE(d.opCancel.value()) << "Ok keeps the option";
            EXPECT_EQ(d.txtRename.text(), L"taken-now") << "and the typed name";
            EXPECT_EQ(d.lblTitle.text(), L"The file's server already contains a file name \"" + name + L".\"");
            d.cmdOk.press();
        }};
    size_t next = 0;
    fakes.modal.script = [&](ui::Form& form) { answers.at(next++)(dynamic_cast<frmExistFileServer&>(form)); };
    for (int i = 0; i < 3; ++i) window.cmdUpload_Click();
    EXPECT_EQ(next, 3u);
    EXPECT_EQ(contentOf(server / name), "server content");
    EXPECT_EQ(serverItems(), L"");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(UploadTest, AFailingUploadIsReportedUnderItsOwnTitleAndThePanelHides) {
    // No file server at all: the suite's engine cannot be made.
    FakeFactory none(fakes.log);
    support::ScopedServices without{support::Services{.objects = &none}};
    window.cmdUpload_Click();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"QuillboxUploadItem");
    std::string log = fakes.logFile.read();
    EXPECT_NE(log.find("frmExistFileServer.ExistServerItem()"), std::string::npos) << log;
    EXPECT_NE(log.find("modLocalFunction.UploadItem()"), std::string::npos) << log;
    EXPECT_EQ(log.find("cmdUpload_Click"), std::string::npos) << "an empty answer is no failure of the handler";
    EXPECT_EQ(fakes.prompter.boxes[0].owner, window.handle()) << "the box belongs to the window: never behind it";
    EXPECT_TRUE(serverTabUsable());
    EXPECT_FALSE(window.server.sspSending.visible());
}

// What the user sees in the header: the picture drawn into the header box, as its window paints it.
std::vector<COLORREF> drawnHeader(frmQuillbox& window) {
    const RECT area = {0, 0, 36, 36};
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), area.right, -area.bottom, 1, 32, BI_RGB}};
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ before = ::SelectObject(dc.get(), bitmap.get());
    DRAWITEMSTRUCT item{ODT_STATIC, 0, 0, ODA_DRAWENTIRE, 0, window.info.picIcon.handle(), dc.get(), area, 0};
    ::SendMessageW(window.handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    ::GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits), static_cast<const COLORREF*>(bits) + 36 * 36);
    ::SelectObject(dc.get(), before);
    return pixels;
}

TEST_F(UploadTest, AfterAnUploadTheHeaderShowsTheServerPictureAndUpdateInfoWritesTheServerItem) {
    window.LoadFileInfo(local.path());  // as the opener does: the file's icon in the header
    const std::vector<COLORREF> fileIcon = drawnHeader(window);
    window.cmdUpload_Click();
    ASSERT_TRUE(fakes.prompter.boxes.empty());
    const std::vector<COLORREF> afterUpload = drawnHeader(window);
    EXPECT_NE(afterUpload, fileIcon) << "the header still draws the local file's icon";
    frmQuillbox server;  // a window opened on a server item shows its picture
    server.oFileSelected = window.oFileSelected;
    server.load();
    server.info.showKindPicture(L"Server");
    EXPECT_EQ(afterUpload, drawnHeader(server));
    server.unload();

    // The boxes show the server item; what Update Info writes goes to it, and the path the user
    // could not edit is written nowhere.
    const std::string localRow = "SELECT FileName || '|' || FileCurrentPath || '|' || coalesce(FileComment, '') FROM items WHERE FileId = ";
    const std::wstring localBefore = store.query((localRow + narrow(localId())).c_str());
    window.info.txtNameUpdate.setText(L"Minutes on the server");
    window.info.txtComment.setText(L"final");
    window.info.cmdUpdateData_Click();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(store.query((localRow + narrow(localId())).c_str()), localBefore) << "the local item is untouched";
    EXPECT_EQ(store.query("SELECT FileName || '|' || FileCurrentPath || '|' || FileComment FROM items WHERE FileType = 'Server'"),
              L"Minutes on the server|/" + name + L"|final");
}

// A rename is a file name, never a path: what the user types cannot reach a file of anyone else's,
// nor the component's own files.
TEST_F(UploadTest, ARenameThatIsNoPlainFileNameIsRefusedAndNoOtherFileIsTouched) {
    const fs::path module(automation::moduleFolder());
    const fs::path victim = module.parent_path() / L"Docs" / L"victim.txt";
    fs::create_directories(victim.parent_path());
    std::ofstream(victim, std::ios::binary) << "precious";
    const std::string shipped = contentOf(module / L"UploadXXX.txt");
    ASSERT_FALSE(shipped.empty());
    // The item to upload is a text file, so that a typed name meets those files' names.
    ExistingFile text(L"qbminutes", "minutes\r\n");
    const fs::path local = text.path() + L".txt";
    fs::rename(text.path(), local);
    window.unload();
    window.oFileSelected = automation::Object(automation::makeObject<tesra::ItemLoader>())
                               .callObject(L"LoadFileObject", {local.wstring(), true});
    window.load();
    putOnServer(local.filename().wstring(), "server content");

    std::vector<std::wstring> refused;
    fakes.modal.script = [&](ui::Form& form) {
        auto& d = dynamic_cast<frmExistFileServer&>(form);
        ::ShowWindow(d.handle(), SW_SHOWNA);  // as the modal loop shows it
        click(d.optRename);
        for (const wchar_t* typed : {L"..\\Docs\\victim", L"sub/victim", L"C:victim", L"what?", L"CON"}) {
            d.txtRename.setText(typed);
            d.cmdOk.press();
            EXPECT_TRUE(d.isVisible()) << "the dialog stays open";
            refused.push_back(typed);
        }
        d.txtRename.setText(L"UploadXXX");
        d.cmdOk.press();
    };
    window.cmdUpload_Click();
    EXPECT_EQ(contentOf(victim), "precious");
    EXPECT_EQ(contentOf(module / L"UploadXXX.txt"), shipped) << "the component's own file";
    ASSERT_EQ(fakes.prompter.boxes.size(), refused.size());
    for (const auto& box : fakes.prompter.boxes) {
        EXPECT_NE(box.text.find(L"is not a valid file name"), std::wstring::npos) << narrow(box.text);
        EXPECT_EQ(box.caption, L"Vellumdex");
    }
    EXPECT_EQ(contentOf(server / L"UploadXXX.txt"), "minutes\r\n") << "sent under the plain name";
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_FALSE(entry.path().filename().wstring().starts_with(L"Quillbox upload")) << "the staging folder is left";
    fs::remove_all(victim.parent_path());
    fs::remove(local);
}

TEST_F(UploadTest, TheWindowKeepsAnsweringWhileALargeFileGoes) {
    // 200 MB, sparse: quick to make, as long to send as any.
    window.unload();
    TempFile big(L"qbbig");
    {
        HANDLE h = ::CreateFileW(big.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD ignored = 0;
        ::DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER size{};
        size.QuadPart = 200LL * 1024 * 1024;
        ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(h);
        ::CloseHandle(h);
    }
    window.oFileSelected = automation::Object(automation::makeObject<tesra::ItemLoader>())
                               .callObject(L"LoadFileObject", {big.path(), true});
    window.load();
    window.ssTab.select(frmQuillbox::kServerTab);
    HWND target = window.handle();
    std::atomic<bool> running{true};
    std::atomic<long long> longest{0};
    std::atomic<bool> probeDone{false}, busyShown{false};
    HWND clip = window.server.Animation1.handle();
    std::thread probe([&] {
        while (running) {
            if (::GetWindowLongW(clip, GWL_STYLE) & WS_VISIBLE) busyShown = true;  // the window itself is not shown here
            auto t0 = std::chrono::steady_clock::now();
            DWORD_PTR r = 0;
            ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
            long long took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
            if (took > longest) longest = took;
            ::Sleep(20);
        }
        probeDone = true;
    });
    auto start = std::chrono::steady_clock::now();
    window.cmdUpload_Click();
    const long long total =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    running = false;
    while (!probeDone) {  // its last message may be waiting for this thread
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
        ::Sleep(1);
    }
    probe.join();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(fs::file_size(server / windows::FileNameFromPath(big.path())), 200ull * 1024 * 1024);
    EXPECT_TRUE(busyShown) << "the busy animation showed while the file went";
    EXPECT_FALSE(::GetWindowLongW(clip, GWL_STYLE) & WS_VISIBLE) << "and hid afterwards";
    std::printf("large upload: %lld ms, the window answered within %lld ms throughout\n", total, longest.load());
    EXPECT_LT(longest.load(), total / 2) << "the window kept answering while the file went";
}

}  // namespace
}  // namespace qb::testing
