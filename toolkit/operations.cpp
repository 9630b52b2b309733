// The operations handlers call, addressed by (window number, control number).
#include <string>

#include "toolkit/internal.h"
#include "toolkit/toolkit.h"

namespace tk {

using namespace detail;

namespace {
Control* find_control(WindowNumber window, ControlNumber control) {
    Window* w = find_window(window);
    return w ? w->find(control) : nullptr;
}
}  // namespace

HWND native_handle(WindowNumber window, ControlNumber control) {
    Window* w = find_window(window);
    if (!w) return nullptr;
    if (control == 0) return w->hwnd;
    Control* c = w->find(control);
    return c ? c->hwnd : nullptr;
}

std::wstring text(WindowNumber window, ControlNumber control) {
    HWND hwnd = native_handle(window, control);
    if (!hwnd) return {};
    const int n = GetWindowTextLengthW(hwnd);
    if (n <= 0) return {};
    std::wstring s(std::size_t(n) + 1, L'\0');
    s.resize(std::size_t(GetWindowTextW(hwnd, s.data(), n + 1)));
    return s;
}

void set_text(WindowNumber window, ControlNumber control, std::wstring_view value) {
    HWND hwnd = native_handle(window, control);
    if (!hwnd) return;
    const std::wstring copy(value);
    SetWindowTextW(hwnd, copy.c_str());
    // The handler of an edit box's change may have closed the window.
    if (!IsWindow(hwnd)) return;
    Control* c = find_control(window, control);
    if (!c || c->layout->kind != Kind::TransparentLabel) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
    if (c) refresh_labels_above(hwnd);
}

void set_picture(WindowNumber window, ControlNumber control, std::span<const std::uint8_t> bytes) {
    Control* c = find_control(window, control);
    if (c && c->layout->kind == Kind::PictureBox) picture_box_set(*c, bytes, true);
}

int caret_index(WindowNumber window, ControlNumber control) {
    Control* c = find_control(window, control);
    if (!c || c->layout->kind != Kind::ListBox) return -1;
    return int(SendMessageW(c->hwnd, LB_GETCARETINDEX, 0, 0));
}

LRESULT send_message(WindowNumber window, ControlNumber control, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND hwnd = native_handle(window, control);
    return hwnd ? SendMessageW(hwnd, message, wparam, lparam) : 0;
}

}  // namespace tk
