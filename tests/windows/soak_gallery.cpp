// Leak soak for the gallery, run by hand (docs/benchmarks.md): 1000
// selections cycling all rows in one open window, then 200 modal
// open/close cycles, each with one selection. Prints GDI and USER objects,
// private bytes and threads before and after; exits 1 when they do not come
// back to their baseline.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "gallery/gallery.h"
#include "tests/windows/gallery_fixture.h"
#include "tests/windows/resources.h"
#include "tests/windows/support.h"
#include "toolkit/toolkit.h"

namespace {

using namespace gallery_fixture;

struct Snapshot {
    long gdi, user, threads;
    unsigned long long private_kib;
};

Snapshot snapshot() {
    support::flush_events(50);
    return {resources::gdi_objects(), resources::user_objects(), resources::threads(),
            resources::private_bytes() / 1024};
}

void print(const char* when, const Snapshot& s) {
    std::printf("  %-28s GDI %5ld  USER %4ld  threads %3ld  private %7llu KiB\n", when, s.gdi, s.user, s.threads,
                s.private_kib);
}

// Generous for heap growth that is no leak (fragmentation, lazily grown
// caches); a leaked picture a selection would be megabytes after 1000.
constexpr unsigned long long kPrivateSlackKib = 1024;

bool compare(const char* phase, const Snapshot& before, const Snapshot& after) {
    const bool ok = after.gdi == before.gdi && after.user == before.user && after.threads == before.threads &&
                    after.private_kib <= before.private_kib + kPrivateSlackKib;
    std::printf("  %s: %s\n", phase, ok ? "back to baseline" : "NOT back to baseline");
    return ok;
}

// Selects row k with one keystroke: the row above it is made current
// quietly, then a Down arrow lets the list report the change itself.
void select_row(int k) {
    HWND list = tk::native_handle(gallery::kWindow, kList);
    if (k == 0) {
        list_key(VK_HOME);
        return;
    }
    SendMessageW(list, LB_SETCURSEL, WPARAM(k - 1), 0);
    list_key(VK_DOWN);
}

// Every hand-over empties the clipboard, which tells its owner, the
// launcher: counting that proves each selection really copied.
long g_hand_overs = 0;
LRESULT CALLBACK count_hand_overs(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (message == WM_DESTROYCLIPBOARD) ++g_hand_overs;
    return DefSubclassProc(window, message, w, l);
}

bool counted(const char* phase, long want) {
    std::printf("  %s: %ld hand-overs (want %ld)\n", phase, g_hand_overs, want);
    const bool ok = g_hand_overs == want;
    g_hand_overs = 0;
    return ok;
}

int g_modal_row = 0;

void CALLBACK close_when_open(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!tk::is_open(gallery::kWindow)) return;
    KillTimer(nullptr, timer);
    select_row(g_modal_row);
    PostMessageW(tk::native_handle(gallery::kWindow), WM_CLOSE, 0, 0);
}

void modal_cycle(int row) {
    g_modal_row = row;
    SetTimer(nullptr, 0, 1, close_when_open);
    tk::open_modal(gallery::window_layout());
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    HWND launcher = start_launcher();
    if (!launcher) {
        std::printf("soak: the launcher could not be built\n");
        return 2;
    }
    SetWindowSubclass(launcher, count_hand_overs, 1, 0);
    bool ok = true;

    std::printf("1000 selections cycling rows 0..29 in one gallery window\n");
    tk::create_window(gallery::window_layout());
    for (int k = 0; k < 30; ++k) select_row(k);  // first use of every picture
    select_row(9);
    const Snapshot s1 = snapshot();
    print("after a warm-up cycle:", s1);
    g_hand_overs = 0;
    long during_row6 = -1;
    for (int i = 0; i < 1000; ++i) {
        select_row(i % 30);
        if (i % 30 == 6 && during_row6 < 0) {
            support::flush_events(30);
            during_row6 = resources::threads();
        }
        if (i % 50 == 0) tk::process_pending_events();
    }
    // The last selection (i = 999) is row 9: row 6 has been left for good.
    const Snapshot s2 = snapshot();
    print("after 1000 selections:", s2);
    ok &= counted("selections", 1000);
    std::printf("  threads while row 6 played: %ld; animation threads after leaving it: %ld\n", during_row6,
                s2.threads - s1.threads);
    ok &= compare("selections", s1, s2);
    tk::destroy_window(gallery::kWindow);

    std::printf("200 modal open/close cycles, one selection each\n");
    for (int i = 0; i < 5; ++i) modal_cycle(i);  // warm-up
    const Snapshot s3 = snapshot();
    print("after 5 warm-up cycles:", s3);
    g_hand_overs = 0;
    for (int i = 0; i < 200; ++i) modal_cycle(i % 30);
    const Snapshot s4 = snapshot();
    print("after 200 cycles:", s4);
    ok &= counted("open/close", 200);
    ok &= compare("open/close", s3, s4);

    std::printf("soak %s\n", ok ? "passed" : "FAILED");
    std::fflush(stdout);
    // The launcher is never destroyed; its destroy handler would end the
    // process from inside the toolkit.
    ExitProcess(ok ? 0 : 1);
}
