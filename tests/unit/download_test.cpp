// Downloads against an HTTP server of the test's own on 127.0.0.1.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "fakes.h"
#include "platform/adodb_stream.h"
#include "shell/download.h"
#include "windows/dialogs/download_window.h"

namespace qb::testing {
namespace {

// Serves "/big.bin" (1.5 MB of every byte value) and anything else as a 404 page.
class HttpServer {
public:
    HttpServer() {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        int len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        ::listen(listener_, 8);
        thread_ = std::thread([this] { serve(); });
    }
    ~HttpServer() {
        ::closesocket(listener_);
        thread_.join();
        ::WSACleanup();
    }
    std::wstring url(const char* path) const {
        return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path, path + strlen(path));
    }
    int requests() const { return requests_; }
    static std::string big() {
        std::string body(1536 * 1024, '\0');
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
        return body;
    }
    static constexpr char kMissingPage[] = "<html><body>Not here</body></html>";

private:
    void serve() {
        for (;;) {
            SOCKET c = ::accept(listener_, nullptr, nullptr);
            if (c == INVALID_SOCKET) return;
            ++requests_;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                int n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0) break;
                request.append(buf, n);
            }
            bool found = request.rfind("GET /big.bin ", 0) == 0;
            std::string body = found ? big() : kMissingPage;
            std::string head = std::string(found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                               "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\n\r\n";
            std::string all = head + body;
            for (size_t sent = 0; sent < all.size();) {
                int n = ::send(c, all.data() + sent, static_cast<int>(all.size() - sent), 0);
                if (n <= 0) break;
                sent += n;
            }
            ::shutdown(c, SD_SEND);
            ::closesocket(c);
        }
    }
    SOCKET listener_;
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::thread thread_;
};

struct DownloadTest : ::testing::Test {
    FakeSuite suite;
    HttpServer server;
    TempFile target{L"qbdownload"};
    void SetUp() override {
        suite.factory.define(shell::kXmlHttpClass, [] { return automation::ComObjectFactory().create(shell::kXmlHttpClass); });
        suite.factory.define(L"ADODB.Stream", [] { return automation::Object(automation::makeObject<platform::AdoStream>()); });
    }
};

TEST_F(DownloadTest, ABinaryBodyIsWrittenByteForByteOverAnExistingFile) {
    HANDLE h = ::CreateFileW(target.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string old(2 * 1024 * 1024, 'o');
    DWORD written = 0;
    ::WriteFile(h, old.data(), static_cast<DWORD>(old.size()), &written, nullptr);
    ::CloseHandle(h);
    EXPECT_TRUE(shell::StartDownload(server.url("/big.bin"), target.path()).isEmpty());
    std::string got = target.read();
    ASSERT_EQ(got.size(), HttpServer::big().size()) << "the longer old file is replaced completely";
    EXPECT_TRUE(got == HttpServer::big());
}

TEST_F(DownloadTest, AnErrorStatusStillWritesItsPage) {
    shell::StartDownload(server.url("/nothing-here"), target.path());
    EXPECT_EQ(target.read(), HttpServer::kMissingPage);
}

TEST_F(DownloadTest, FailuresNameEveryProcedureOnTheWay) {
    try {
        shell::StartDownload(server.url("/big.bin"), L"Q:\\no\\such\\folder\\x.bin");
        FAIL() << "no error";
    } catch (const automation::ComError& e) {
        EXPECT_EQ(e.source(),
                  L"ADODB.Stream modDownloadFiles.CubeFileSaveAdo()  modDownloadFiles.FileSave()  "
                  L"modDownloadFiles.StartDownload() ");
    }
}

TEST_F(DownloadTest, TheWindowDownloadsOnceWhenFirstActivated) {
    windows::frmDownload window;
    window.strOrg = server.url("/big.bin");
    window.strDst = target.path();
    ui::MessageLoopRunner real;
    support::ScopedServices realLoop(
        support::Services{.objects = nullptr, .prompter = nullptr, .modal = &real, .logFile = {}, .shell = nullptr});
    window.showModal();
    EXPECT_TRUE(window.blnActive);
    EXPECT_TRUE(window.blnResult);
    EXPECT_FALSE(window.isVisible()) << "hidden when done, which ends the modal show";
    EXPECT_EQ(window.caption(), L"Download...");
    EXPECT_EQ(target.read().size(), HttpServer::big().size());
    EXPECT_EQ(server.requests(), 1);
    ::ShowWindow(window.handle(), SW_SHOW);
    ::SendMessageW(window.handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(server.requests(), 1) << "a second activation starts nothing";
    EXPECT_TRUE(suite.prompter.boxes.empty());
}

TEST_F(DownloadTest, AFailedTransferIsReportedAndTheWindowStays) {
    windows::frmDownload window;
    window.strOrg = server.url("/big.bin");
    window.strDst = L"Q:\\no\\such\\folder\\x.bin";
    window.load();
    ::ShowWindow(window.handle(), SW_SHOW);
    ::SendMessageW(window.handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(window.blnResult);
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_EQ(suite.prompter.boxes[0].caption, L"Download...");
    EXPECT_NE(suite.logFile.read().find("  frmDownload.Form_Activate() \r\n"), std::string::npos);
    window.cmdCancel_Click();
    EXPECT_FALSE(window.blnResult);
    EXPECT_FALSE(window.isLoaded());
}

TEST_F(DownloadTest, CancelPressedWhileTheActivationLetsMessagesRunEndsItWithoutLoadingAgain) {
    windows::frmDownload window;
    window.strOrg = server.url("/big.bin");
    window.strDst = target.path();
    window.load();
    // Pressed before the activation lets the pending messages run.
    ::PostMessageW(window.cmdCancel.handle(), BM_CLICK, 0, 0);
    ::ShowWindow(window.handle(), SW_SHOW);
    if (window.isLoaded()) ::SendMessageW(window.handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(window.isLoaded()) << "the window is not made again by the rest of the activation";
    EXPECT_FALSE(window.blnResult);
    EXPECT_EQ(server.requests(), 0);
    EXPECT_TRUE(suite.prompter.boxes.empty());
    EXPECT_THROW(window.Animation1.play(), automation::ComError) << "a control of an unloaded form says so";
}

}  // namespace
}  // namespace qb::testing
