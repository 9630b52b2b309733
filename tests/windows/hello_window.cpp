// A bare Win32 window, the yardstick for the program's start-up time.
#include <windows.h>

static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, m, wp, lp);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"hello";
    wc.hbrBackground = CreateSolidBrush(RGB(96, 96, 96));
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"hello", L"hello window", WS_CAPTION | WS_SYSMENU, 400, 400, 469, 236,
                           nullptr, nullptr, instance, nullptr);
    ShowWindow(w, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
