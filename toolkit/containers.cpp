// Group boxes and tab controls are parent windows of other controls: they
// fill their own background and pass their children's notifications on to
// the toolkit, as the top-level window would receive them.
#include <windows.h>
#include <commctrl.h>

#include "toolkit/internal.h"

namespace tk::detail {

namespace {

constexpr UINT_PTR kSubclassId = 1;

void fill_client(HWND hwnd, HDC dc, HBRUSH brush) {
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
}

// Messages that leave the container looking as it did. Any other one may
// change its look (focus, hot tracking, page, text, size, colours, its own
// paint), so transparent labels above it print it anew afterwards.
bool keeps_look(UINT msg) {
    switch (msg) {
    case WM_PRINTCLIENT:
    case WM_PRINT:
    case WM_ERASEBKGND:
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETFONT:
    case WM_GETDLGCODE:
    case WM_GETOBJECT:
    case WM_QUERYUISTATE:
    case TCM_GETCURSEL:
    case TCM_GETITEMCOUNT:
    case TCM_GETITEMRECT:
    case TCM_ADJUSTRECT:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK container_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* c = reinterpret_cast<Control*>(data);
    if (!keeps_look(msg)) ++c->look_generation;
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
        LRESULT result = 0;
        if (c->window && handle_child_message(*c->window, msg, wp, lp, result)) return result;
        break;
    }
    case WM_ERASEBKGND:
        fill_client(hwnd, reinterpret_cast<HDC>(wp), c->back());
        return 1;
    case WM_PRINTCLIENT:
        // Whoever composes (a transparent label, a capture) gets the
        // background too, then the frame or headers drawn over it.
        fill_client(hwnd, reinterpret_cast<HDC>(wp), c->back());
        break;
    case WM_NCHITTEST:
        // A group box is click-through by default; a press on it is its own.
        if (c->layout->kind == Kind::GroupBox) return HTCLIENT;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, container_proc, kSubclassId);
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void subclass_container(Control& c) {
    SetWindowSubclass(c.hwnd, container_proc, kSubclassId, reinterpret_cast<DWORD_PTR>(&c));
}

void show_tab_page(Window& w, Control& tab) {
    const LRESULT page = SendMessageW(tab.hwnd, TCM_GETCURSEL, 0, 0);
    // Hide the old page first, then show the new one bottom-most first.
    for (auto& c : w.controls)
        if (c->hwnd && c->layout->parent == tab.layout->number && c->layout->page != page)
            ShowWindow(c->hwnd, SW_HIDE);
    for (auto it = w.controls.rbegin(); it != w.controls.rend(); ++it) {
        Control& c = **it;
        if (c.hwnd && c.layout->parent == tab.layout->number && c.layout->page == page && c.layout->visible)
            ShowWindow(c.hwnd, SW_SHOWNA);
    }
}

}  // namespace tk::detail
