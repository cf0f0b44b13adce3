// OUTLOOK.EXE stand-in: a program that only has to be running (the suite checks the process list
// for it). It keeps a hidden window and ends when that window is closed or after the number of
// seconds given on its command line (default: never).
#include <windows.h>

#include <cwchar>

static LRESULT CALLBACK windowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY || m == WM_TIMER) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(h, m, w, l);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"rctrl_renwnd32";
    ::RegisterClassW(&wc);
    HWND h = ::CreateWindowW(wc.lpszClassName, L"Outlook (stand-in)", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, instance, nullptr);
    if (int seconds = _wtoi(args); seconds > 0) ::SetTimer(h, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
