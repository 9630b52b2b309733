// The builder: every opening creates the window and its controls anew from
// the layout table. Also the top-level window procedure, which routes the
// controls' notifications to their handlers.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "pictures/catalogue.h"
#include "toolkit/internal.h"
#include "toolkit/picture_box.h"
#include "toolkit/toolkit.h"

namespace tk::detail {

State& state() {
    // Never destroyed: a process may end with windows (and their threads)
    // still open, and static destruction must not touch them.
    static State* s = new State;
    return *s;
}

Control::Control() = default;
Control::~Control() = default;

COLORREF colour_ref(const Colour& c) { return c.face ? GetSysColor(COLOR_BTNFACE) : RGB(c.r, c.g, c.b); }
COLORREF Control::text_colour() const { return colour_ref(layout->text_colour); }
COLORREF Control::back_colour() const { return colour_ref(layout->back_colour); }
HBRUSH Control::back() const { return back_brush ? back_brush.get() : GetSysColorBrush(COLOR_BTNFACE); }

Control* Window::find(ControlNumber number) const {
    for (auto& c : controls)
        if (c->layout->number == number) return c.get();
    return nullptr;
}

Control* Window::find(HWND h) const {
    if (!h) return nullptr;
    for (auto& c : controls)
        if (c->hwnd == h) return c.get();
    return nullptr;
}

Window* find_window(WindowNumber number) {
    auto& windows = state().windows;
    auto it = windows.find(number);
    return it == windows.end() ? nullptr : it->second.get();
}

Window* window_of(HWND any) {
    if (!any) return nullptr;
    HWND root = GetAncestor(any, GA_ROOT);
    if (!root) return nullptr;
    for (auto& entry : state().windows)
        if (entry.second->hwnd == root) return entry.second.get();
    return nullptr;
}

Control* control_of(HWND hwnd) {
    Window* w = window_of(hwnd);
    return w ? w->find(hwnd) : nullptr;
}

namespace {

HWND window_parent_of(const Window& w, const ControlLayout& l) {
    if (l.parent != 0) {
        if (Control* p = w.find(l.parent))
            if (p->hwnd && (p->layout->kind == Kind::GroupBox || p->layout->kind == Kind::TabControl))
                return p->hwnd;
    }
    return w.hwnd;
}

void draw_background(const Window& w, HDC dc, const RECT& client) {
    const COLORREF back = colour_ref(w.layout->back_colour);
    if (w.layout->back_colour.face) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        BrushHandle brush(CreateSolidBrush(back));
        FillRect(dc, &client, brush.get());
    }
    if (w.background.empty()) return;
    switch (w.layout->background_mode) {
    case Background::None:
        break;
    case Background::Stretch:
        w.background.draw(dc, 0, 0, 0, client.right, client.bottom, back);
        break;
    case Background::Tile: {
        const int pw = w.background.width(), ph = w.background.height();
        for (int y = 0; y < client.bottom; y += ph)
            for (int x = 0; x < client.right; x += pw) w.background.draw(dc, 0, x, y, pw, ph, back);
        break;
    }
    }
}

void paint_background(Window& w, HDC dc) {
    RECT client{};
    GetClientRect(w.hwnd, &client);
    if (w.background.empty() || w.layout->background_mode == Background::None)
        return draw_background(w, dc, client);
    // Drawn once for the client size and back colour, then copied: the
    // screen, WM_PRINTCLIENT and captures get the same pixels, and the
    // stretch is not paid on every paint.
    const Surface::Fit fit = w.background_surface.fit(client.right, client.bottom);
    if (fit == Surface::Fit::Failed) return draw_background(w, dc, client);
    const COLORREF back = colour_ref(w.layout->back_colour);
    if (fit == Surface::Fit::Made || w.background_back != back) {
        draw_background(w, w.background_surface.dc(), client);
        w.background_back = back;
    }
    w.background_surface.copy_to(dc);
}

// An HICON from an ICO file image: the directory entry closest to `size`.
HICON icon_from_ico(std::span<const std::uint8_t> ico, int size) {
    auto u16 = [&](std::size_t at) { return unsigned(ico[at]) | unsigned(ico[at + 1]) << 8; };
    auto u32 = [&](std::size_t at) { return std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16; };
    if (ico.size() < 6 || u16(0) != 0 || u16(2) != 1) return nullptr;
    const unsigned count = u16(4);
    int best = -1, best_score = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * std::size_t(i);
        if (e + 16 > ico.size()) break;
        const int w = ico[e] ? ico[e] : 256;
        const int bpp = int(u16(e + 6));
        const int score = -std::abs(w - size) * 64 + bpp;
        if (best < 0 || score > best_score) {
            best = int(i);
            best_score = score;
        }
    }
    if (best < 0) return nullptr;
    const std::size_t e = 6 + 16 * std::size_t(best);
    const std::uint32_t length = u32(e + 8), offset = u32(e + 12);
    if (offset > ico.size() || length > ico.size() - offset || length == 0) return nullptr;
    // The function takes a writable buffer; the built-in bytes are constant.
    std::vector<BYTE> image(ico.begin() + offset, ico.begin() + offset + length);
    return CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

void set_icons(Window& w) {
    const int big = GetSystemMetrics(SM_CXICON), small = GetSystemMetrics(SM_CXSMICON);
    HICON big_icon = nullptr, small_icon = nullptr;
    if (w.layout->icon) {
        const auto bytes = w.layout->icon().bytes();
        w.own_icon.reset(icon_from_ico(bytes, big));
        w.own_small_icon.reset(icon_from_ico(bytes, small));
        big_icon = w.own_icon.get();
        small_icon = w.own_small_icon.get();
    }
    if (!big_icon) {
        HINSTANCE module = GetModuleHandleW(nullptr);
        big_icon = LoadIconW(module, L"DEFAULT_ICON");
        small_icon = static_cast<HICON>(LoadImageW(module, L"DEFAULT_ICON", IMAGE_ICON, small, small, LR_SHARED));
        if (!big_icon) {
            // Test programs carry no icon resource: build it from the picture.
            const auto bytes = pictures::program_icon().bytes();
            w.own_icon.reset(icon_from_ico(bytes, big));
            w.own_small_icon.reset(icon_from_ico(bytes, small));
            big_icon = w.own_icon.get();
            small_icon = w.own_small_icon.get();
        }
    }
    if (!small_icon) small_icon = big_icon;
    SendMessageW(w.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
    SendMessageW(w.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
}

// A fixed window: the system menu keeps only Move and Close.
void trim_system_menu(HWND hwnd) {
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu) return;
    for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(menu, command, MF_BYCOMMAND);
}

void activate(HWND hwnd) {
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = bound_object<Window>(hwnd, msg, lp);
    if (!w) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_ERASEBKGND:
        paint_background(*w, reinterpret_cast<HDC>(wp));
        return 1;
    case WM_PRINTCLIENT:
        paint_background(*w, reinterpret_cast<HDC>(wp));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (ps.fErase) paint_background(*w, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETCURSOR: {
        Control* c = w->find(reinterpret_cast<HWND>(wp));
        if (c && LOWORD(lp) == HTCLIENT && c->layout->cursor == Cursor::Hand) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) w->last_focus = focus;
        } else if (!HIWORD(wp)) {
            focus_window(*w);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (HWND target = choose_focus(*w)) SetFocus(target);
        return 0;
    case WM_DESTROY:
        w->destroying = true;
        if (w->layout->destroying && !w->building) w->layout->destroying(EventArgs{});
        break;
    case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        auto& windows = state().windows;
        for (auto it = windows.begin(); it != windows.end(); ++it) {
            if (it->second.get() == w) {
                // The window object (fonts, brushes, icons) outlives its
                // children: they are all gone by now.
                auto doomed = std::move(it->second);
                windows.erase(it);
                break;
            }
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    default: {
        LRESULT result = 0;
        if (handle_child_message(*w, msg, wp, lp, result)) return result;
        break;
    }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void make_font(Control& c) {
    const Font& f = c.layout->font;
    if (f.face) {
        c.own_font.reset(CreateFontW(-f.height, 0, 0, 0, f.weight, f.italic, f.underline, f.strike_out, f.charset,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, f.face));
        c.font = c.own_font.get();
    }
    if (!c.font) c.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int font_row_height(HWND hwnd, HFONT font) {
    WindowDc dc(hwnd);
    Selection select(dc.get(), font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    return tm.tmHeight;
}

void visible_by_layout(Window& w) {
    // Bottom-most first, so what lies beneath is there when a label composes.
    for (auto it = w.controls.rbegin(); it != w.controls.rend(); ++it) {
        Control& c = **it;
        if (!c.hwnd || !c.layout->visible) continue;
        if (Control* p = c.layout->parent ? w.find(c.layout->parent) : nullptr) {
            if (p->layout->kind == Kind::TabControl &&
                SendMessageW(p->hwnd, TCM_GETCURSEL, 0, 0) != c.layout->page)
                continue;
        }
        ShowWindow(c.hwnd, SW_SHOWNA);
    }
}

}  // namespace

void register_class(const wchar_t* name, UINT style, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
}

void register_classes() {
    register_class(kWindowClass, 0, window_proc);
    register_label_classes();
    register_picture_box_class();
}

HWND create_control_window(Control& c, HWND parent) {
    const ControlLayout& l = *c.layout;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (l.disabled) style |= WS_DISABLED;
    if (l.focus_stop) style |= WS_TABSTOP;
    DWORD ex = 0;
    const wchar_t* cls = nullptr;
    bool ours = false;
    switch (l.kind) {
    case Kind::Label:
        cls = kLabelClass;
        ours = true;
        break;
    case Kind::TransparentLabel:
        cls = kTransparentLabelClass;
        ours = true;
        break;
    case Kind::PictureBox:
        cls = kPictureBoxClass;
        ours = true;
        if (l.border) style |= WS_BORDER;
        c.picture = std::make_unique<PictureBoxState>(c);
        break;
    case Kind::EditBox:
        cls = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL;
        if (l.read_only) style |= ES_READONLY;
        if (l.border) ex |= WS_EX_CLIENTEDGE;
        break;
    case Kind::Button:
        cls = L"BUTTON";
        style |= BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
        break;
    case Kind::GroupBox:
        cls = L"BUTTON";
        style |= BS_GROUPBOX | WS_CLIPCHILDREN;
        if (l.h_align == HAlign::Centre) style |= BS_CENTER;
        else if (l.h_align == HAlign::Right) style |= BS_RIGHT;
        break;
    case Kind::TabControl:
        cls = WC_TABCONTROLW;
        style |= WS_CLIPCHILDREN;
        break;
    case Kind::ListBox:
        cls = L"LISTBOX";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL;
        if (l.border) ex |= WS_EX_CLIENTEDGE;
        break;
    }
    const auto id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(l.number & 0xFFFF));
    HWND h = CreateWindowExW(ex, cls, l.text ? l.text : L"", style, l.x, l.y, l.width, l.height, parent, id,
                             GetModuleHandleW(nullptr), ours ? &c : nullptr);
    if (!h) return nullptr;
    c.hwnd = h;
    if (!ours) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);

    switch (l.kind) {
    case Kind::PictureBox:
        if (l.picture) picture_box_set(c, l.picture().bytes(), false);
        break;
    case Kind::TabControl: {
        for (std::size_t i = 0; i < l.items.size(); ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(l.items[i]);
            SendMessageW(h, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        const int char_height = l.font.face ? l.font.height : font_row_height(h, c.font);
        // Natural widths; only the header row's height is set.
        SendMessageW(h, TCM_SETITEMSIZE, 0, MAKELPARAM(0, std::max(20, char_height)));
        SendMessageW(h, TCM_SETCURSEL, 0, 0);
        subclass_container(c);
        break;
    }
    case Kind::GroupBox:
        subclass_container(c);
        break;
    case Kind::ListBox: {
        for (const wchar_t* item : l.items) SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(h, LB_SETITEMHEIGHT, 0, MAKELPARAM(font_row_height(h, c.font) + l.line_spacing, 0));
        SendMessageW(h, LB_SETCURSEL, WPARAM(-1), 0);
        break;
    }
    default:
        break;
    }
    return h;
}

bool handle_child_message(Window& w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND: {
        Control* c = w.find(reinterpret_cast<HWND>(lp));
        if (!c) return false;
        result = 0;
        if (w.building) return true;
        const ControlEvents& ev = c->layout->events;
        const UINT code = HIWORD(wp);
        Handler h = nullptr;
        if (c->layout->kind == Kind::EditBox && code == EN_CHANGE) h = ev.text_changed;
        else if (c->layout->kind == Kind::Button && code == BN_CLICKED) h = ev.clicked;
        else if (c->layout->kind == Kind::ListBox && code == LBN_SELCHANGE) h = ev.item_selected;
        // The handler may destroy the window: nothing of it is touched after.
        if (h) h(EventArgs{});
        return true;
    }
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(lp);
        Control* c = nm ? w.find(nm->hwndFrom) : nullptr;
        if (!c || c->layout->kind != Kind::TabControl || nm->code != TCN_SELCHANGE) return false;
        show_tab_page(w, *c);
        result = 0;
        return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
        Control* c = w.find(reinterpret_cast<HWND>(lp));
        if (!c) return false;
        const Kind k = c->layout->kind;
        if (k != Kind::EditBox && k != Kind::ListBox && k != Kind::GroupBox) return false;
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, c->text_colour());
        SetBkColor(dc, c->back_colour());
        result = reinterpret_cast<LRESULT>(c->back());
        return true;
    }
    }
    return false;
}

HWND choose_focus(const Window& w) {
    auto usable = [&](HWND h) {
        return h && IsWindow(h) && IsChild(w.hwnd, h) && IsWindowVisible(h) && IsWindowEnabled(h);
    };
    if (usable(w.last_focus)) return w.last_focus;
    const Control* best = nullptr;
    for (auto& c : w.controls) {
        if (!c->layout->focus_stop || !usable(c->hwnd)) continue;
        // `<=`: among equal tab orders the later control wins.
        if (!best || c->layout->tab_order <= best->layout->tab_order) best = c.get();
    }
    return best ? best->hwnd : nullptr;
}

void focus_window(Window& w) {
    HWND target = choose_focus(w);
    SetFocus(target ? target : w.hwnd);
}

// Creates the window and every control hidden; the window is registered.
Window* build(const WindowLayout& layout) {
    auto& st = state();
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->layout = &layout;
    if (layout.background) w->background.load(layout.background().bytes());
    st.windows[layout.number] = std::move(owned);

    const int x = (GetSystemMetrics(SM_CXSCREEN) - layout.outer_width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - layout.outer_height) / 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, kWindowClass, layout.title, style, x, y, layout.outer_width,
                                layout.outer_height, nullptr, nullptr, GetModuleHandleW(nullptr), w);
    if (!hwnd) {
        st.windows.erase(layout.number);
        return nullptr;
    }
    trim_system_menu(hwnd);
    set_icons(*w);

    for (const ControlLayout& l : layout.controls) {
        auto c = std::make_unique<Control>();
        c->layout = &l;
        c->window = w;
        make_font(*c);
        if (!l.back_colour.face) c->back_brush.reset(CreateSolidBrush(colour_ref(l.back_colour)));
        Control* raw = c.get();
        w->controls.push_back(std::move(c));
        create_control_window(*raw, window_parent_of(*w, l));
    }
    // Stacking: the first control of the table on top among its siblings.
    for (auto& c : w->controls)
        if (c->hwnd)
            SetWindowPos(c->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    visible_by_layout(*w);
    return w;
}

// Centred, shown, focused; then the created event.
void present(Window& w) {
    const WindowLayout& layout = *w.layout;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - layout.outer_width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - layout.outer_height) / 2;
    SetWindowPos(w.hwnd, nullptr, x, y, layout.outer_width, layout.outer_height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(w.hwnd, SW_SHOW);
    SetForegroundWindow(w.hwnd);
    focus_window(w);
    w.building = false;
    if (layout.created) layout.created(EventArgs{});
}

void activate_window(HWND hwnd) { activate(hwnd); }

}  // namespace tk::detail
