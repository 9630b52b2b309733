// Timing of the designer (not run by ctest):
//   scripts/with-xvfb wine build/windows/bench_designer.exe [keystrokes] [presses]
// Prints the median and 95th percentile of: one keystroke in caption field
// a3 until a1 shows it (read, write, repaint beneath, painted); and one
// "复制图片" press on page E (512 x 216) end to end.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "designer/controls.h"
#include "designer/designer.h"
#include "tests/windows/support.h"
#include "toolkit/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace id = designer::id;

double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void print(const char* what, std::vector<double> v, double goal) {
    std::sort(v.begin(), v.end());
    const double median = v[v.size() / 2], p95 = v[v.size() * 95 / 100];
    std::printf("%-34s median %.3f ms, p95 %.3f ms (goal <= %.0f ms, %zu runs)\n", what, median, p95, goal,
                v.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int keystrokes = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int presses = argc > 2 ? std::atoi(argv[2]) : 200;
    tk::initialise();
    HWND window = tk::create_window(designer::window_layout());
    SetForegroundWindow(window);
    support::flush_events(200);

    // Alternately a character and a backspace, so the text stays short;
    // UpdateWindow makes the label's own repaint part of the time.
    HWND a3 = tk::native_handle(designer::kWindow, id::a3);
    HWND a1 = tk::native_handle(designer::kWindow, id::a1);
    SetFocus(a3);
    SendMessageW(a3, EM_SETSEL, 0x7fff, 0x7fff);
    std::vector<double> typing;
    for (int i = 0; i < keystrokes; ++i) {
        const auto t0 = Clock::now();
        SendMessageW(a3, WM_CHAR, i % 2 ? VK_BACK : L'字', 1);
        UpdateWindow(a1);
        GdiFlush();
        typing.push_back(ms_since(t0));
    }
    print("keystroke mirrored into a1", typing, 1);

    HWND tabs = tk::native_handle(designer::kWindow, id::tabs);
    SendMessageW(tabs, TCM_SETCURSEL, 4, 0);
    NMHDR change{tabs, UINT_PTR(GetDlgCtrlID(tabs)), UINT(TCN_SELCHANGE)};
    SendMessageW(GetParent(tabs), WM_NOTIFY, change.idFrom, LPARAM(&change));
    support::flush_events(200);
    HWND button = tk::native_handle(designer::kWindow, id::button5);
    std::vector<double> copying;
    for (int i = 0; i < presses; ++i) {
        const auto t0 = Clock::now();
        SendMessageW(button, BM_CLICK, 0, 0);
        copying.push_back(ms_since(t0));
    }
    print("copy press, page E (512 x 216)", copying, 16);

    tk::destroy_window(designer::kWindow);
    return 0;
}
