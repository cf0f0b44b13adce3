// recorder: stands in for the programs the shell starts (browser, text editor). Appends its
// command line to the file named by the environment variable QB_RECORDER_LOG, one line per start.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t log[MAX_PATH * 2] = {};
    if (!::GetEnvironmentVariableW(L"QB_RECORDER_LOG", log, MAX_PATH * 2)) return 1;
    HANDLE h = ::CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    const wchar_t* line = ::GetCommandLineW();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    char* utf8 = new char[n + 2];
    ::WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, n, nullptr, nullptr);
    utf8[n - 1] = '\n';
    DWORD written = 0;
    ::WriteFile(h, utf8, static_cast<DWORD>(n), &written, nullptr);
    delete[] utf8;
    ::CloseHandle(h);
    return 0;
}
