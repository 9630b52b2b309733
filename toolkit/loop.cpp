// The message loops and the shared pre-dispatch step: mouse events for the
// controls, Esc to close, Tab to move the focus.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <ole2.h>

#include <vector>

#include "toolkit/internal.h"
#include "toolkit/toolkit.h"

namespace tk::detail {

namespace {

bool is_edit(HWND hwnd) {
    wchar_t name[16]{};
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, L"Edit") == 0;
}

LRESULT dialog_code(HWND hwnd, MSG& msg) {
    // A system edit asked with the message enters "dialog mode", in which a
    // multi-line edit posts WM_CLOSE to its parent on Esc (and a group box
    // parent would be destroyed by it). Its answer does not depend on the
    // message, so it is asked without one.
    const LPARAM with = is_edit(hwnd) ? 0 : reinterpret_cast<LPARAM>(&msg);
    return SendMessageW(hwnd, WM_GETDLGCODE, msg.wParam, with);
}

int key_state(WPARAM mouse_keys) {
    int keys = 0;
    if (mouse_keys & MK_CONTROL) keys |= 1;
    if (mouse_keys & MK_SHIFT) keys |= 2;
    if (GetKeyState(VK_MENU) < 0) keys |= 4;
    return keys;
}

bool mouse_event(const MSG& msg) {
    Control* c = control_of(msg.hwnd);
    if (!c || c->window->building) return false;
    const Handler h = msg.message == WM_LBUTTONDOWN ? c->layout->events.pressed : c->layout->events.released;
    if (h) h(EventArgs{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam), key_state(msg.wParam)});
    return false;  // the control still gets the message
}

bool escape(MSG& msg) {
    Window* w = window_of(msg.hwnd);
    if (!w || w->building || !w->layout->esc_closes) return false;
    if (msg.hwnd != w->hwnd && (dialog_code(msg.hwnd, msg) & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) return false;
    SendMessageW(w->hwnd, WM_CLOSE, 0, 0);
    return true;
}

bool tab(MSG& msg) {
    Window* w = window_of(msg.hwnd);
    if (!w || w->building) return false;
    if (msg.hwnd != w->hwnd &&
        (dialog_code(msg.hwnd, msg) & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)))
        return false;
    std::vector<HWND> stops;
    for (auto& c : w->controls)
        if (c->layout->focus_stop && c->hwnd && IsWindowVisible(c->hwnd) && IsWindowEnabled(c->hwnd))
            stops.push_back(c->hwnd);
    if (stops.empty()) return true;
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    const int n = int(stops.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (stops[i] == msg.hwnd || IsChild(stops[i], msg.hwnd)) at = i;
    const int next = at < 0 ? (backwards ? n - 1 : 0) : (at + (backwards ? n - 1 : 1)) % n;
    SetFocus(stops[next]);
    if (is_edit(stops[next])) SendMessageW(stops[next], EM_SETSEL, 0, -1);
    return true;
}

}  // namespace

bool pre_dispatch(MSG& msg) {
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return mouse_event(msg);
    case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) return escape(msg);
        if (msg.wParam == VK_TAB) return tab(msg);
        break;
    }
    return false;
}

void dispatch(MSG& msg) {
    if (pre_dispatch(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace tk::detail

namespace tk {

using namespace detail;

void initialise() {
    State& st = state();
    if (st.initialised) return;
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // The clipboard's picture objects need OLE on this thread.
    OleInitialize(nullptr);
    register_classes();
    st.initialised = true;
}

HWND create_window(const WindowLayout& layout) {
    initialise();
    if (Window* open = find_window(layout.number)) {
        activate_window(open->hwnd);
        return open->hwnd;
    }
    Window* w = build(layout);
    if (!w) return nullptr;
    present(*w);
    return native_handle(layout.number);
}

int start(const WindowLayout& main_window) {
    initialise();
    state().main_window = main_window.number;
    create_window(main_window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg);
    return 0;
}

void open_modal(const WindowLayout& layout) {
    initialise();
    if (Window* open = find_window(layout.number)) {
        activate_window(open->hwnd);
        return;
    }
    Window* w = build(layout);
    if (!w) return;
    const HWND hwnd = w->hwnd;
    struct Saved {
        HWND hwnd;
        bool enabled;
    };
    std::vector<Saved> saved;
    for (auto& entry : state().windows) {
        Window* other = entry.second.get();
        if (other == w || !other->hwnd) continue;
        saved.push_back({other->hwnd, IsWindowEnabled(other->hwnd) != FALSE});
        EnableWindow(other->hwnd, FALSE);
    }
    present(*w);
    auto still_open = [&] { return native_handle(layout.number) == hwnd && IsWindow(hwnd); };
    MSG msg;
    while (still_open()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The outer loop must see the quit request too.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got < 0) break;
        dispatch(msg);
    }
    for (const Saved& s : saved)
        if (IsWindow(s.hwnd)) EnableWindow(s.hwnd, s.enabled);
}

void set_visible(WindowNumber window, bool visible) {
    HWND hwnd = native_handle(window);
    if (!hwnd) return;
    if (!visible) {
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
}

void process_pending_events() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
        if (msg.message == WM_QUIT) {
            // Arrived between the two peeks: put it back.
            PostQuitMessage(int(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

void end_process(int exit_code) {
    State& st = state();
    if (!st.ending) {
        st.ending = true;
        for (auto& entry : st.windows)
            for (auto& c : entry.second->controls) picture_box_stop(*c);
        std::vector<HWND> windows;
        for (auto& entry : st.windows)
            if (!entry.second->destroying) windows.push_back(entry.second->hwnd);
        for (HWND hwnd : windows)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    ExitProcess(UINT(exit_code));
}

void destroy_window(WindowNumber window) {
    if (HWND hwnd = native_handle(window)) DestroyWindow(hwnd);
}

bool is_open(WindowNumber window) {
    Window* w = find_window(window);
    return w && !w->destroying;
}

WindowNumber main_window() { return state().main_window; }

void set_main_window(WindowNumber window) { state().main_window = window; }

}  // namespace tk
