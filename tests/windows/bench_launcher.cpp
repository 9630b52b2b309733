// Timing of the launcher and about window (not run by ctest):
//   scripts/with-xvfb wine build/windows/bench_launcher.exe
// Prints the median over many runs of: building and first paint of the
// launcher, opening and first paint of the about window, and process start
// to launcher painted against a bare Win32 window.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/launcher.h"
#include "tests/windows/support.h"
#include "toolkit/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Build, show and paint in full, then tear down again.
double time_open(const tk::WindowLayout& layout) {
    auto t0 = Clock::now();
    HWND w = tk::create_window(layout);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    double t = ms_since(t0);
    tk::destroy_window(layout.number);
    support::flush_events(0);
    return t;
}

// Start to first sight of the painted window (its first label's grey, or
// for the bare window its client colour), as another process sees it.
double time_start(const std::wstring& exe, const wchar_t* title, std::uint32_t colour, POINT client) {
    auto t0 = Clock::now();
    support::Process p(exe);
    HWND w = nullptr;
    while (ms_since(t0) < 10000) {
        w = FindWindowW(nullptr, title);
        if (w && IsWindowVisible(w)) {
            POINT s = client;
            ClientToScreen(w, &s);
            HDC screen = GetDC(nullptr);
            COLORREF c = GetPixel(screen, s.x, s.y);
            ReleaseDC(nullptr, screen);
            std::uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            if (support::near(rgb, colour, 3)) break;
        }
        Sleep(1);
    }
    return ms_since(t0);
}

std::wstring sibling(const wchar_t* name) {
    std::wstring exe = support::glimbo_exe();
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + name;
}

}  // namespace

int main() {
    tk::initialise();
    tk::WindowLayout launcher = app::launcher_layout();
    launcher.destroying = nullptr;  // closing it here must not end the benchmark

    std::vector<double> build, about, start_glimbo, start_bare;
    for (int i = 0; i < 5; ++i) time_open(launcher);  // warm up caches
    for (int i = 0; i < 50; ++i) build.push_back(time_open(launcher));
    for (int i = 0; i < 50; ++i) about.push_back(time_open(app::about_layout()));
    for (int i = 0; i < 7; ++i) {
        start_glimbo.push_back(time_start(support::glimbo_exe(), L"Glimbo-Orlun 1.1",
                                          support::rgb(96, 96, 96), POINT{12, 12}));
        start_bare.push_back(time_start(sibling(L"hello_window.exe"), L"hello window",
                                        support::rgb(96, 96, 96), POINT{12, 12}));
    }
    std::printf("launcher build + first paint: %.2f ms (median of %zu)\n", median(build), build.size());
    std::printf("about open + first paint:     %.2f ms (median of %zu)\n", median(about), about.size());
    std::printf("process start to launcher painted: %.1f ms; bare Win32 window: %.1f ms; difference %.1f ms\n",
                median(start_glimbo), median(start_bare), median(start_glimbo) - median(start_bare));
    return 0;
}
