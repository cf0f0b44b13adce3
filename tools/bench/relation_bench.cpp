// relation_bench: how fast the relation windows are with large vocabularies and many attachments.
//   relation_bench [--runs K] [--attachments A] [--memos M] [N ...]
//                                          (default: 3 runs of 0 10000 50000; A = M = 1000)
// For each N and each relation window (local file, server item, web page, mail item): two views
// of N keywords in 400 groups, N/10 of the first view's related to the item, in a fresh database of the
// stand-in suite (registered in the prefix, reached through COM as the component reaches it).
// Prints, in milliseconds: ready (the operation's start to the window loaded, its first
// activation's loads done, about to show), growth (ready minus the empty view's), view (a change
// of view told by the connection-state control, to the other view of N), relate (double click to
// stored), filter (the slower of two keystrokes in the filter box), and the tree's nodes. Each
// figure is the best of K runs, each on a fresh database (the machines here share their cores:
// single runs vary by half).
// Then the attachment figure: an empty view and A attachments (local files of a dozen types that
// exist, some that are gone, web pages, file-server and mail items); "ready" against the empty
// window's, "tab", the Files tab first chosen on the window shown (its list is made then, with its
// rows), and "rebuild", the Files list filled again (as after an add or a removal).
// Then the memo figure: an empty view and M memos of the item (texts of one to six lines, every
// theme), fitted to their text; "ready" against the empty window's, "refill" (as after a create
// or a removal), and "page": the slowest of the page-downs through the whole grid, each drawn.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <chrono>
#include <cstdio>
#include <vector>

#include "automation/object.h"
#include "automation/object_factory.h"
#include "engine/engine.h"
#include "store.h"
#include "support/services.h"
#include "ui/window/modal.h"
#include "windows/outlook/frm_relation_outlook.h"
#include "windows/relation/frm_quillbox.h"
#include "windows/server/frm_relation_server.h"
#include "windows/web/frm_relation_web.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// A attachments of item 1: four in five local files that exist (in `folder`, a dozen types), then
// in turn a file that is gone, a web page, a file-server item, a mail.
void seedAttachments(tesra::Database& db, int count, const std::wstring& folder) {
    static const wchar_t* const types[] = {L"txt", L"doc", L"pdf", L"xls", L"png", L"jpg",
                                           L"zip", L"html", L"csv", L"md", L"ppt", L"rtf"};
    ::CreateDirectoryW(folder.c_str(), nullptr);
    db.transaction([&] {
        auto item = db.prepare("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (?, ?, ?, ?)");
        auto pair = db.prepare("INSERT INTO attachments(Attach1, Attach2) VALUES (1, ?)");
        for (int i = 0; i < count; ++i) {
            const int64_t id = 1000 + i;
            std::wstring name = L"attached " + std::to_wstring(i), path, type = L"File";
            switch (i % 20) {
                case 16: path = folder + L"\\gone-" + std::to_wstring(i) + L".txt"; break;
                case 17: path = L"http://intranet/page/" + std::to_wstring(i), type = L"Web"; break;
                case 18: path = L"/shared/" + std::to_wstring(i) + L".doc", type = L"Server"; break;
                case 19: path = L"0000ENTRY" + std::to_wstring(i), type = L"OutlookMail"; break;
                default: {
                    path = folder + L"\\file-" + std::to_wstring(i) + L"." + types[i % 12];
                    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
                }
            }
            item.bind(1, id).bind(2, name).bind(3, path).bind(4, type);
            item.step();
            pair.bind(1, id);
            pair.step();
        }
    });
}

// M memos of item 1 in view 1: texts of a few words to several lines, themes 1 to 4 and one unknown.
void seedMemos(tesra::Database& db, int count) {
    static const wchar_t* const words[] = {L"call", L"the", L"client", L"about", L"invoice", L"draft",
                                           L"review", L"before", L"friday", L"and", L"archive", L"it"};
    db.transaction([&] {
        auto memo = db.prepare("INSERT INTO memos(FileId, MemoText, MemoTheme, ViewId) VALUES (1, ?, ?, 1)");
        for (int i = 0; i < count; ++i) {
            std::wstring text;
            for (int w = 0; w < 4 + (i * 7) % 60; ++w) text += std::wstring(w ? L" " : L"") + words[(i + w) % 12];
            memo.bind(1, text).bind(2, std::to_wstring(1 + i % 5));
            memo.step();
        }
    });
}

// The items of the four windows: a local file, a file-server item, a web page, a mail item.
constexpr long kItems = 4;

void seed(tesra::Database& db, int n) {
    const int groups = std::min(n, 400);  // N = 0: an empty view
    db.transaction([&] {
        db.exec("INSERT INTO views(ViewId, ViewName) VALUES (1, 'Bench'), (2, 'Other')");
        auto g = db.prepare("INSERT INTO groups(GroupId, GroupName, ViewId) VALUES (?, ?, ?)");
        auto k = db.prepare("INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) VALUES (?, ?, ?, ?)");
        for (int view = 1; view <= 2; ++view) {
            const int64_t base = (view - 1) * 1000000;
            for (int i = 1; i <= groups; ++i) {
                g.bind(1, base + i).bind(2, L"Group " + std::to_wstring(i)).bind(3, static_cast<int64_t>(view));
                g.step();
            }
            for (int i = 1; i <= n; ++i) {
                wchar_t name[32];
                swprintf(name, 32, L"Keyword %06d", i);
                k.bind(1, base + i).bind(2, std::wstring(name)).bind(3, base + 1 + i % groups).bind(4, static_cast<int64_t>(view));
                k.step();
            }
        }
        db.exec("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES"
                " (1, 'bench', 'C:\\bench\\file.txt', 'File'), (2, 'plan.doc', '/bench/plan.doc', 'Server'),"
                " (3, 'Bench page', 'http://intranet/bench', 'Web'), (4, 'Bench mail', '00BENCH', 'OutlookMail')");
        db.exec("INSERT INTO keyword_items(KeyId, FileId) SELECT k.KeyId, i.FileId FROM keywords k, items i WHERE k.KeyId % 10 = 0 AND k.ViewId = 1");
    });
}

// The Keywords page of a relation window.
qb::windows::KeywordsPage& keywordsOf(qb::ui::Form& form) {
    using namespace qb::windows;
    if (auto* w = dynamic_cast<frmQuillbox*>(&form)) return w->keywords;
    if (auto* w = dynamic_cast<frmRelationWeb*>(&form)) return w->keywords;
    return dynamic_cast<RemoteItemWindow&>(form).keywords;
}

struct Measure final : qb::ui::ModalRunner {
    Clock::time_point ready;
    double view = 0, relate = 0, filter = 0, rebuild = 0, refill = 0, page = 0, filesTab = 0;
    size_t nodes = 0;
    int attachments = 0, memos = 0;
    void runModal(qb::ui::Form& form) override {
        if (auto* web = dynamic_cast<qb::windows::frmRelationWeb*>(&form)) web->Form_Activate();
        ready = Clock::now();
        auto& keywords = keywordsOf(form);
        nodes = keywords.pvtreeKeys.count();
        if (auto* window = dynamic_cast<qb::windows::frmQuillbox*>(&form)) {
            attachments = window->files.lstFileRel.count();
            measureFilesTab(*window);
            auto tr = Clock::now();
            window->LoadFileRelationed();
            rebuild = ms(tr, Clock::now());
            measureMemos(*window);
        }
        auto& relation = dynamic_cast<qb::windows::RelationWindow&>(form);
        auto t0 = Clock::now();
        relation.CheckState1_ChangeView(2);
        view = ms(t0, Clock::now());
        relation.CheckState1_ChangeView(1);
        if (HTREEITEM node = keywords.SearchNode(L"1")) {
            keywords.pvtreeKeys.select(node);
            auto t1 = Clock::now();
            keywords.pvtreeKeys_LButtonDblClick(node);
            relate = ms(t1, Clock::now());
        }
        for (const wchar_t* typed : {L"1", L"12"}) {
            auto t2 = Clock::now();
            keywords.txtFilter.setText(typed);
            filter = std::max(filter, ms(t2, Clock::now()));
        }
        form.unload();
    }
    // The Files tab first chosen, on the window shown: its list is made then, with its rows.
    void measureFilesTab(qb::windows::frmQuillbox& window) {
        ::ShowWindow(window.handle(), SW_SHOWNA);
        auto t = Clock::now();
        window.ssTab.select(qb::windows::frmQuillbox::kFilesTab);
        ::RedrawWindow(window.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        filesTab = ms(t, Clock::now());
        window.ssTab.select(qb::windows::frmQuillbox::kKeywordsTab);
        ::ShowWindow(window.handle(), SW_HIDE);
    }
    void measureMemos(qb::windows::frmQuillbox& window) {
        auto& grid = window.themes.grdMemo;
        memos = grid.rows();
        auto t0 = Clock::now();
        window.LoadMemoRelationed();
        refill = ms(t0, Clock::now());
        if (!memos) return;
        ::ShowWindow(window.handle(), SW_SHOWNA);
        window.ssTab.select(3);
        ::RedrawWindow(grid.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        for (int step = 0; step < 2000; ++step) {
            RECT last = grid.rowRect(memos), client;
            ::GetClientRect(grid.handle(), &client);
            if (last.bottom <= client.bottom) break;
            auto t = Clock::now();
            ::SendMessageW(grid.handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
            ::RedrawWindow(grid.handle(), nullptr, nullptr, RDW_UPDATENOW);
            page = std::max(page, ms(t, Clock::now()));
        }
        ::ShowWindow(window.handle(), SW_HIDE);
    }
};

struct Figures {
    double ready = 1e9, view = 1e9, relate = 1e9, filter = 1e9;
    size_t nodes = 0;
    double rebuild = 1e9, filesTab = 1e9;
    int attachments = 0;
    double refill = 1e9, page = 1e9;
    int memos = 0;
    // The best of this and another run.
    void keepBest(const Figures& f) {
        ready = std::min(ready, f.ready), view = std::min(view, f.view), relate = std::min(relate, f.relate);
        filter = std::min(filter, f.filter), rebuild = std::min(rebuild, f.rebuild), refill = std::min(refill, f.refill);
        page = std::min(page, f.page), filesTab = std::min(filesTab, f.filesTab);
        nodes = f.nodes, attachments = f.attachments, memos = f.memos;
    }
};

// What a run adds to the item besides keywords.
struct Extra {
    int attachments = 0, memos = 0;
};

// The four windows, each opened by its operation on its item.
// A window and the operation that opens it.
struct Window {
    const char* name;
    void (*open)(const qb::automation::Object& engine);
};
const Window kWindows[] = {
    {"local file", [](const qb::automation::Object& e) { e.call(L"ShowRelation", {L"C:\\bench\\file.txt"}); }},
    {"server item", [](const qb::automation::Object& e) { e.call(L"ShowRelationWeb", {L"/bench/plan.doc"}); }},
    {"web page", [](const qb::automation::Object& e) { e.call(L"ShowRelationWeb", {L"http://intranet/bench", L"Bench page"}); }},
    {"mail item",
     [](const qb::automation::Object& e) { e.call(L"ShowRelationOutlook", {L"00BENCH", L"Bench mail", L"OutlookMail"}); }},
};
constexpr size_t kWindowCount = sizeof kWindows / sizeof kWindows[0];

// One run: a fresh database of N keywords (and A attachments), then each window asked for
// (`windows`: how many of kWindows, from the first) through Engine.
bool runOnce(int n, int run, Figures* out, size_t windows, Extra extra = {}) {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    std::wstring path = std::wstring(tmp) + L"qbbench-" + std::to_wstring(n) + L"-" + std::to_wstring(run) +
                       (extra.attachments ? L"-a" + std::to_wstring(extra.attachments) : L"") +
                       (extra.memos ? L"-m" + std::to_wstring(extra.memos) : L"") + L".db";
    for (const wchar_t* tail : {L"", L"-wal", L"-shm"}) ::DeleteFileW((path + tail).c_str());
    try {
        auto db = tesra::Database::open(path);
        seed(*db, n);
        if (extra.attachments) seedAttachments(*db, extra.attachments, std::wstring(tmp) + L"qbbench-files");
        if (extra.memos) seedMemos(*db, extra.memos);
    } catch (const qb::automation::ComError& e) {
        std::printf("seeding: %ls\n", e.description().c_str());
        return false;
    }
    ::SetEnvironmentVariableW(L"TESRA_SUITE_DB", path.c_str());
    // The suite opens the fresh database at its first call: a running suite has it open already.
    try {
        qb::automation::ComObjectFactory().create(L"Tesra.View").call(L"GetAll");
    } catch (const qb::automation::ComError& e) {
        std::printf("the suite: %ls\n", e.description().c_str());
        return false;
    }
    for (size_t w = 0; w < windows; ++w) {
        Measure measure;
        qb::support::ScopedServices seams(qb::support::Services{
            .objects = nullptr, .prompter = nullptr, .modal = &measure, .logFile = {}, .shell = nullptr});
        qb::automation::Object engine(qb::engine::createEngine());
        auto start = Clock::now();
        try {
            kWindows[w].open(engine);
        } catch (const qb::automation::ComError& e) {
            std::printf("%s, N=%d: error %ld %ls\n", kWindows[w].name, n, e.number(), e.description().c_str());
            return false;
        }
        Figures& f = out[w];
        f.ready = ms(start, measure.ready);
        f.view = measure.view, f.relate = measure.relate, f.filter = measure.filter, f.nodes = measure.nodes;
        f.rebuild = measure.rebuild, f.filesTab = measure.filesTab, f.attachments = measure.attachments;
        f.refill = measure.refill, f.page = measure.page, f.memos = measure.memos;
    }
    for (const wchar_t* tail : {L"", L"-wal", L"-shm"}) ::DeleteFileW((path + tail).c_str());
    return true;
}

// The best of K runs with `extra` in an empty view, and of the empty window of this same measure
// (N = 0 may not have been asked for), the local file window. Each run has databases of its own: a
// database file stays open with the suite for the process's life.
bool bestAgainstEmpty(int runs, int first, Extra extra, Figures& none, Figures& best) {
    none = best = Figures{};
    for (int run = 0; run < runs; ++run) {
        Figures f[kWindowCount];
        if (!runOnce(0, first + run, f, 1)) return false;
        none.keepBest(f[0]);
        if (!runOnce(0, first + run, f, 1, extra)) return false;
        best.keepBest(f[0]);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<int> sizes;
    int runs = 3, attachments = 1000, memos = 1000;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--runs" && i + 1 < argc) runs = std::max(1, _wtoi(argv[++i]));
        else if (std::wstring(argv[i]) == L"--attachments" && i + 1 < argc) attachments = _wtoi(argv[++i]);
        else if (std::wstring(argv[i]) == L"--memos" && i + 1 < argc) memos = _wtoi(argv[++i]);
        else sizes.push_back(_wtoi(argv[i]));
    }
    if (sizes.empty()) sizes = {0, 10000, 50000};
    std::printf("best of %d runs each; two views of N keywords in 400 groups, N/10 related\n", runs);
    std::printf("goals: ready <= 200 and growth <= 100 at 50000, empty <= 60, view <= 200 at 50000, relate <= 5, filter <= 50\n");
    std::printf("%-12s %8s %10s %10s %10s %10s %10s %8s\n", "window", "N", "ready ms", "growth ms", "view ms", "relate ms",
                "filter ms", "nodes");
    std::vector<std::array<Figures, kWindowCount>> best(sizes.size());
    for (size_t s = 0; s < sizes.size(); ++s)
        for (int run = 0; run < runs; ++run) {
            Figures f[kWindowCount];
            if (!runOnce(sizes[s], run, f, kWindowCount)) return 1;
            for (size_t w = 0; w < kWindowCount; ++w) best[s][w].keepBest(f[w]);
        }
    for (size_t w = 0; w < kWindowCount; ++w) {
        double empty = -1;  // ready with an empty view, once measured
        for (size_t s = 0; s < sizes.size(); ++s) {
            const Figures& b = best[s][w];
            if (sizes[s] == 0) empty = b.ready;
            std::printf("%-12s %8d %10.1f %10s %10.1f %10.2f %10.1f %8zu\n", kWindows[w].name, sizes[s], b.ready,
                        empty < 0 ? "-" : std::to_string(static_cast<int>(b.ready - empty + 0.5)).c_str(), b.view,
                        b.relate, b.filter, b.nodes);
        }
    }
    std::fflush(stdout);
    if (attachments > 0) {
        Figures none, best;
        if (!bestAgainstEmpty(runs, 100, Extra{.attachments = attachments}, none, best)) return 1;
        std::printf("\n%8s %10s %10s %10s %10s %12s\n", "A", "ready ms", "empty ms", "growth ms", "tab ms", "rebuild ms");
        std::printf("%8d %10.1f %10.1f %10.1f %10.1f %12.1f   (goal: growth <= 200 ms for 1000; %d rows listed)\n",
                    attachments, best.ready, none.ready, best.ready - none.ready, best.filesTab, best.rebuild,
                    best.attachments);
    }
    if (memos > 0) {
        Figures none, best;
        if (!bestAgainstEmpty(runs, 200, Extra{.memos = memos}, none, best)) return 1;
        std::printf("\n%8s %10s %10s %10s %10s %10s\n", "M", "ready ms", "empty ms", "growth ms", "refill ms", "page ms");
        std::printf("%8d %10.1f %10.1f %10.1f %10.1f %10.1f   (goal: growth <= 150 ms for 1000; %d rows shown)\n", memos,
                    best.ready, none.ready, best.ready - none.ready, best.refill, best.page, best.memos);
    }
    ::CoUninitialize();
    return 0;
}
