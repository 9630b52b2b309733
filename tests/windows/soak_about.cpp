// Leak soak (not run by ctest):
//   scripts/with-xvfb wine build/windows/soak_about.exe [cycles]
// Opens and closes the about window and the launcher in-process and prints
// GDI/USER object counts and private bytes before and after.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/about.h"
#include "app/launcher.h"
#include "tests/windows/support.h"
#include "tests/windows/usage.h"
#include "toolkit/toolkit.h"

namespace {

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
    support::Usage before = support::usage();
    for (int i = 0; i < cycles; ++i) cycle(app::about_layout());
    bool about_ok = support::report("about open/close", before, support::usage());
    for (int i = 0; i < 20; ++i) cycle(launcher);
    before = support::usage();
    for (int i = 0; i < cycles; ++i) cycle(launcher);
    bool launcher_ok = support::report("launcher build/destroy", before, support::usage());
    return about_ok && launcher_ok ? 0 : 1;
}
