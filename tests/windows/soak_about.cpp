// Leak soak (not run by ctest):
//   scripts/with-xvfb wine build/windows/soak_about.exe [cycles]
// Opens and closes the about window and the launcher in-process and prints
// GDI/USER object counts and private bytes before and after.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "app/about.h"
#include "app/launcher.h"
#include "tests/windows/support.h"
#include "toolkit/toolkit.h"

namespace {

struct Usage {
    DWORD gdi, user;
    SIZE_T private_bytes;
};

Usage usage() {
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), m.PrivateUsage};
}

void cycle(const tk::WindowLayout& layout) {
    tk::create_window(layout);
    support::flush_events(0);
    tk::destroy_window(layout.number);
    support::flush_events(0);
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    tk::initialise();
    tk::WindowLayout launcher = app::launcher_layout();
    launcher.destroying = nullptr;
    for (int i = 0; i < 20; ++i) cycle(app::about_layout());  // settle caches first
    Usage before = usage();
    for (int i = 0; i < cycles; ++i) cycle(app::about_layout());
    Usage after = usage();
    std::printf("about x%d: GDI %lu -> %lu, USER %lu -> %lu, private bytes %zu -> %zu KiB\n", cycles,
                before.gdi, after.gdi, before.user, after.user, before.private_bytes / 1024,
                after.private_bytes / 1024);
    bool leaked = after.gdi > before.gdi || after.user > before.user ||
                  after.private_bytes > before.private_bytes + 1024 * 1024;
    std::printf("%s\n", leaked ? "LEAK" : "no leak");
    return leaked ? 1 : 0;
}
