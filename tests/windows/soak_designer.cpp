// Leak soak of the designer (not run by ctest):
//   scripts/with-xvfb wine build/windows/soak_designer.exe [cycles] [presses]
// Opens and closes the designer window `cycles` times (200), then presses
// "复制图片" `presses` times (1000, round the six pages), and prints GDI/USER
// object counts and private bytes before and after each run, and the
// capture files left in the temporary folder. Exit code 1 on a leak.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "designer/controls.h"
#include "designer/copy_picture.h"
#include "designer/designer.h"
#include "tests/windows/support.h"
#include "tests/windows/usage.h"
#include "toolkit/toolkit.h"

namespace {

void open_close() {
    tk::create_window(designer::window_layout());
    support::flush_events(0);
    tk::destroy_window(designer::kWindow);
    support::flush_events(0);
}

// Each press as the button gets it, on the page that shows the button.
void press(int k) {
    HWND tabs = tk::native_handle(designer::kWindow, designer::id::tabs);
    SendMessageW(tabs, TCM_SETCURSEL, WPARAM(k), 0);
    NMHDR change{tabs, UINT_PTR(GetDlgCtrlID(tabs)), UINT(TCN_SELCHANGE)};
    SendMessageW(GetParent(tabs), WM_NOTIFY, change.idFrom, LPARAM(&change));
    const designer::CopyRow& row = designer::kCopyRows[k];
    SendMessageW(tk::native_handle(designer::kWindow, row.button), BM_CLICK, 0, 0);
}

int files_left() {
    int left = 0;
    for (const designer::CopyRow& row : designer::kCopyRows)
        left += GetFileAttributesW(tk::join({tk::temp_folder(), row.file_name}).c_str()) !=
                INVALID_FILE_ATTRIBUTES;
    return left;
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 200;
    const int presses = argc > 2 ? std::atoi(argv[2]) : 1000;
    tk::initialise();

    for (int i = 0; i < 10; ++i) open_close();  // settle caches first
    support::Usage before = support::usage();
    for (int i = 0; i < cycles; ++i) open_close();
    bool leaked = !support::report(("open/close x" + std::to_string(cycles)).c_str(), before, support::usage());

    tk::create_window(designer::window_layout());
    support::flush_events(100);
    for (int k = 0; k < 12; ++k) press(k % 6);
    before = support::usage();
    for (int i = 0; i < presses; ++i) press(i % 6);
    support::flush_events(50);
    leaked |= !support::report(("copy presses x" + std::to_string(presses)).c_str(), before, support::usage());
    tk::destroy_window(designer::kWindow);

    const int left = files_left();
    std::printf("capture files left: %d\n", left);
    std::printf("%s\n", leaked || left ? "LEAK" : "no leak");
    return leaked || left ? 1 : 0;
}
