// Gallery timings, run by hand (docs/benchmarks.md):
//  - the selection handler per row (the box's decode, the clipboard's decode
//    and the clipboard calls), in-process, median and worst of N runs;
//  - the process's CPU while row 6 animates and nothing else happens, next
//    to the same idle time with a still picture shown.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gallery/gallery.h"
#include "pictures/catalogue.h"
#include "pictures/clipboard.h"
#include "tests/windows/gallery_fixture.h"
#include "tests/windows/support.h"
#include "toolkit/toolkit.h"

namespace {

using namespace gallery_fixture;

double now_ms() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

tk::Handler selection_handler() {
    for (const tk::ControlLayout& c : gallery::window_layout().controls)
        if (c.number == kList) return c.events.item_selected;
    return nullptr;
}

struct Stats {
    double median, worst;
};
Stats stats(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

template <class F>
Stats time_runs(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        support::flush_events(5);  // paint and settle outside the timed part
        const double start = now_ms();
        f();
        t.push_back(now_ms() - start);
    }
    return stats(std::move(t));
}

double cpu_ms() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME f) { return double(ULARGE_INTEGER{{f.dwLowDateTime, f.dwHighDateTime}}.QuadPart) / 1e4; };
    return ms(kernel) + ms(user);
}

// Waits for messages and dispatches them, without polling, for `seconds`;
// returns the CPU share of one core used meanwhile, in percent.
double idle_cpu_percent(double seconds) {
    support::flush_events(200);
    const double wall0 = now_ms(), cpu0 = cpu_ms();
    for (;;) {
        const double left = seconds * 1000 - (now_ms() - wall0);
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left) + 1, QS_ALLINPUT);
        tk::process_pending_events();
    }
    return 100.0 * (cpu_ms() - cpu0) / (now_ms() - wall0);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;
    const double idle_seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 10.0;
    if (!start_launcher() || !tk::create_window(gallery::window_layout())) {
        std::printf("bench: the windows could not be built\n");
        return 2;
    }
    const tk::Handler handler = selection_handler();
    HWND list = tk::native_handle(gallery::kWindow, kList);
    if (!handler || !list) return 2;

    std::printf("selection handler, %d runs a row (ms, median / worst)\n", runs);
    for (int k = 0; k < pictures::kGalleryCount; ++k) {
        SendMessageW(list, LB_SETCURSEL, WPARAM(k), 0);
        const Stats s = time_runs(runs, [&] { handler({}); });
        const auto image = pic::decode_still(pictures::gallery_picture(k).bytes());
        std::printf("  row %2d  %3dx%-3d  %6.2f / %6.2f\n", k, image ? image->width : 0, image ? image->height : 0,
                    s.median, s.worst);
    }

    const auto big = pictures::gallery_picture(2).bytes();
    const Stats box = time_runs(runs, [&] { tk::set_picture(gallery::kWindow, kPictureBox, big); });
    const Stats copy = time_runs(runs, [&] { pictures::copy_to_clipboard(big); });
    const Stats decode = time_runs(runs, [&] { (void)pic::decode_jpeg(big); });
    std::printf("row 2 (400x400) parts: set_picture %.2f / %.2f, copy_to_clipboard %.2f / %.2f, "
                "decode alone %.2f / %.2f\n",
                box.median, box.worst, copy.median, copy.worst, decode.median, decode.worst);

    SendMessageW(list, LB_SETCURSEL, 5, 0);
    handler({});
    const double still = idle_cpu_percent(idle_seconds);
    SendMessageW(list, LB_SETCURSEL, 6, 0);
    handler({});
    const double animated = idle_cpu_percent(idle_seconds);
    std::printf("idle CPU over %.0f s (%% of one core): still picture %.3f, row 6 animating %.3f\n", idle_seconds,
                still, animated);
    std::fflush(stdout);
    ExitProcess(0);  // the launcher stays: its destroy handler ends the process
}
