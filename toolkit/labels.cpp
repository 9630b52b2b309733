// Labels: the opaque kind fills its area and draws its text; the
// transparent kind draws only its text over a composition of what lies
// beneath it (the parent's client area, then the siblings below it).
#include <string>
#include <vector>

#include "toolkit/internal.h"

namespace tk::detail {

namespace {

std::wstring window_text(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    if (n <= 0) return {};
    std::wstring s(std::size_t(n) + 1, L'\0');
    s.resize(std::size_t(GetWindowTextW(hwnd, s.data(), n + 1)));
    return s;
}

UINT text_format(const ControlLayout& l) {
    UINT flags = DT_NOPREFIX;
    switch (l.h_align) {
    case HAlign::Left: flags |= DT_LEFT; break;
    case HAlign::Centre: flags |= DT_CENTER; break;
    case HAlign::Right: flags |= DT_RIGHT; break;
    }
    if (l.word_wrap) return flags | DT_WORDBREAK | DT_TOP;
    flags |= DT_SINGLELINE;
    switch (l.v_align) {
    case VAlign::Top: flags |= DT_TOP; break;
    case VAlign::Centre: flags |= DT_VCENTER; break;
    case VAlign::Bottom: flags |= DT_BOTTOM; break;
    }
    return flags;
}

// The text alone, with a transparent background, cut at the client edges.
void draw_text(const Control& c, HDC dc) {
    const std::wstring text = window_text(c.hwnd);
    if (text.empty()) return;
    RECT client{};
    GetClientRect(c.hwnd, &client);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.text_colour());
    SelectObject(dc, c.font);
    DrawTextW(dc, text.c_str(), int(text.size()), &client, text_format(*c.layout));
    RestoreDC(dc, saved);
}

void paint_opaque(const Control& c, HDC dc) {
    RECT client{};
    GetClientRect(c.hwnd, &client);
    FillRect(dc, &client, c.back());
    draw_text(c, dc);
}

// Where `hwnd` lies in its parent's client coordinates.
RECT rect_in_parent(HWND hwnd, HWND parent) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The parent's client area beneath the label into `dc` (label-sized, at
// its origin). A group box or tab control is printed once and the print
// kept until the container may look different or the label moves.
void print_parent(Control& label, HWND parent, const RECT& me, HDC dc) {
    const int width = me.right - me.left, height = me.bottom - me.top;
    auto print = [&](HDC into) {
        POINT old{};
        SetViewportOrgEx(into, -me.left, -me.top, &old);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(into), PRF_CLIENT | PRF_ERASEBKGND);
        SetViewportOrgEx(into, old.x, old.y, nullptr);
    };
    Control* container = label.window ? label.window->find(parent) : nullptr;
    const Surface::Fit fit = container ? label.parent_print.fit(width, height) : Surface::Fit::Failed;
    if (fit == Surface::Fit::Failed) return print(dc);
    if (fit == Surface::Fit::Made || label.parent_look != container->look_generation ||
        !EqualRect(&label.parent_print_place, &me)) {
        print(label.parent_print.dc());
        label.parent_look = container->look_generation;
        label.parent_print_place = me;
    }
    BitBlt(dc, 0, 0, width, height, label.parent_print.dc(), 0, 0, SRCCOPY);
}

// Draws into `dc` (label-sized, origin at the label's top-left) what the
// label covers: the parent's client area, then each visible sibling below
// the label that overlaps it, bottom-most first.
void compose_beneath(Control& label, HDC dc) {
    HWND parent = GetParent(label.hwnd);
    if (!parent) return;
    const RECT me = rect_in_parent(label.hwnd, parent);
    print_parent(label, parent, me, dc);

    struct Below {
        HWND hwnd;
        RECT rect;
    };
    std::vector<Below> below;
    for (HWND s = GetWindow(label.hwnd, GW_HWNDNEXT); s; s = GetWindow(s, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(s, GWL_STYLE) & WS_VISIBLE)) continue;
        const RECT r = rect_in_parent(s, parent);
        RECT overlap{};
        if (IntersectRect(&overlap, &r, &me)) below.push_back({s, r});
    }
    POINT old{};
    GetViewportOrgEx(dc, &old);
    for (auto it = below.rbegin(); it != below.rend(); ++it) {
        SetViewportOrgEx(dc, it->rect.left - me.left, it->rect.top - me.top, nullptr);
        // Each sibling is held to its own rectangle: a themed control that
        // asks its parent to paint its background (DrawThemeParentBackground
        // without a rectangle) would otherwise cover what lies beside it.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, 0, 0, it->rect.right - it->rect.left, it->rect.bottom - it->rect.top);
        SendMessageW(it->hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        RestoreDC(dc, saved);
    }
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// Composed in the label's kept canvas, then copied in one piece.
void paint_transparent(Control& c, HDC target) {
    RECT client{};
    GetClientRect(c.hwnd, &client);
    if (c.canvas.fit(client.right, client.bottom) == Surface::Fit::Failed) return draw_text(c, target);
    compose_beneath(c, c.canvas.dc());
    draw_text(c, c.canvas.dc());
    BitBlt(target, 0, 0, client.right, client.bottom, c.canvas.dc(), 0, 0, SRCCOPY);
}

void repaint_now(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

LRESULT CALLBACK label_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* c = bound_object<Control>(hwnd, msg, lp);
    if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
    const bool transparent = c->layout->kind == Kind::TransparentLabel;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (transparent) {
            paint_transparent(*c, dc);
        } else {
            RECT client{};
            GetClientRect(hwnd, &client);
            if (c->canvas.fit(client.right, client.bottom) != Surface::Fit::Failed) {
                paint_opaque(*c, c->canvas.dc());
                BitBlt(dc, 0, 0, client.right, client.bottom, c->canvas.dc(), 0, 0, SRCCOPY);
            } else {
                paint_opaque(*c, dc);
            }
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(wp);
        if (msg == WM_PRINT && !(lp & PRF_CLIENT)) return 0;
        if (msg == WM_PRINT && (lp & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return 0;
        // A transparent label prints only its text, so whoever composes
        // layers (capture, another label) sees through it.
        if (transparent)
            draw_text(*c, dc);
        else
            paint_opaque(*c, dc);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        repaint_now(hwnd);
        return r;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        // The moved bits show the old place's background: compose anew.
        if (transparent && (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE))) repaint_now(hwnd);
        return r;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void register_label_classes() {
    register_class(kLabelClass, CS_HREDRAW | CS_VREDRAW, label_proc);
    // Our own class: a move started with WM_NCLBUTTONDOWN/HTCAPTION works
    // on it under Wine, and double clicks arrive as such.
    register_class(kTransparentLabelClass, CS_DBLCLKS, label_proc);
}

}  // namespace tk::detail
