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
#include "designer/copy_picture.h"
#include "designer/designer.h"
#include "pictures/clipboard.h"
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

void show_page(int page) {
    HWND tabs = tk::native_handle(designer::kWindow, id::tabs);
    SendMessageW(tabs, TCM_SETCURSEL, WPARAM(page), 0);
    NMHDR change{tabs, UINT_PTR(GetDlgCtrlID(tabs)), UINT(TCN_SELCHANGE)};
    SendMessageW(GetParent(tabs), WM_NOTIFY, change.idFrom, LPARAM(&change));
    support::flush_events(200);
}

// Alternately a character and a backspace, so the text stays short;
// UpdateWindow makes the label's own repaint part of the time.
std::vector<double> type_into(tk::ControlNumber field, tk::ControlNumber label, int keystrokes) {
    HWND edit = tk::native_handle(designer::kWindow, field);
    HWND shown = tk::native_handle(designer::kWindow, label);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0x7fff, 0x7fff);
    std::vector<double> times;
    for (int i = 0; i < keystrokes; ++i) {
        const auto t0 = Clock::now();
        SendMessageW(edit, WM_CHAR, i % 2 ? VK_BACK : L'字', 1);
        UpdateWindow(shown);
        GdiFlush();
        times.push_back(ms_since(t0));
    }
    return times;
}

template <class F>
std::vector<double> time_runs(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        times.push_back(ms_since(t0));
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    const int keystrokes = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int presses = argc > 2 ? std::atoi(argv[2]) : 200;
    tk::initialise();
    HWND window = tk::create_window(designer::window_layout());
    SetForegroundWindow(window);
    support::flush_events(200);

    print("keystroke a3 -> a1 (page A)", type_into(id::a3, id::a1, keystrokes), 1);
    show_page(4);
    print("keystroke e2 -> e1 (page E)", type_into(id::e2, id::e1, keystrokes), 1);

    HWND button = tk::native_handle(designer::kWindow, id::button5);
    print("copy press, page E (512 x 216)", time_runs(presses, [&] { SendMessageW(button, BM_CLICK, 0, 0); }), 16);

    // Where the time of a press goes.
    HWND box = tk::native_handle(designer::kWindow, id::e);
    const std::wstring path = tk::join({tk::temp_folder(), L"bench-e1.jpg"});
    const pictures::OwnedBytes capture = tk::capture_window(box);
    print("  pipeline alone (no button)",
          time_runs(presses, [&] { designer::copy_picture(designer::kCopyRows[4]); }), 16);
    print("  capture_window", time_runs(presses, [&] { tk::capture_window(box); }), 16);
    print("  write, read back, delete", time_runs(presses, [&] {
              tk::write_file(path, capture);
              tk::read_file(path);
              tk::delete_file(path);
          }), 16);
    print("  clipboard hand-over", time_runs(presses, [&] { pictures::copy_to_clipboard(capture); }), 16);
    print("  path field text", time_runs(presses, [&] { tk::set_text(designer::kWindow, id::e3, path); }), 16);

    tk::destroy_window(designer::kWindow);
    return 0;
}
