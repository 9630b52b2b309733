// The toolkit's builder, message loop and events, in-process under Wine,
// with small layouts of the tests' own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/windows/support.h"
#include "toolkit/layout.h"
#include "toolkit/toolkit.h"

namespace {

using tk::ControlLayout;
using tk::ControlNumber;
using tk::Kind;

// --- recorded events -------------------------------------------------------

struct Event {
    std::string what;
    ControlNumber control;
    int x, y, keys;
};
std::vector<Event> g_events;

template <ControlNumber N>
void on_pressed(const tk::EventArgs& a) { g_events.push_back({"pressed", N, a.x, a.y, a.keys}); }
template <ControlNumber N>
void on_released(const tk::EventArgs& a) { g_events.push_back({"released", N, a.x, a.y, a.keys}); }
template <ControlNumber N>
void on_changed(const tk::EventArgs&) { g_events.push_back({"changed", N, 0, 0, 0}); }
template <ControlNumber N>
void on_clicked(const tk::EventArgs&) { g_events.push_back({"clicked", N, 0, 0, 0}); }
template <ControlNumber N>
void on_selected(const tk::EventArgs&) { g_events.push_back({"selected", N, 0, 0, 0}); }

int count(const std::string& what, ControlNumber control) {
    int n = 0;
    for (auto& e : g_events) n += e.what == what && e.control == control;
    return n;
}

// --- the structure layout --------------------------------------------------

constexpr tk::WindowNumber kTree = 0x520100a1;
constexpr ControlNumber kCover = 0x16010001, kBox = 0x16010002, kGroup = 0x16010003, kGroupEdit = 0x16010004,
                        kGroupButton = 0x16010005, kTabs = 0x16010006, kCaption = 0x16010007,
                        kList = 0x16010008, kHiddenOnPage = 0x16010009, kHidden = 0x1601000a,
                        kEdit = 0x1601000b, kHiddenEdit = 0x1601000c, kDisabledEdit = 0x1601000d;

constexpr tk::Font kSong{.face = L"SimSun", .height = 12, .weight = 700, .charset = tk::kGb2312Charset};
constexpr const wchar_t* kPages[] = {L"第一页", L"第二页", L"第三页"};
constexpr const wchar_t* kRows[] = {L"甲", L"乙", L"丙", L"丁"};

constexpr ControlLayout kTreeControls[] = {
    {.name = L"cover", .number = kCover, .kind = Kind::Label, .x = 10, .y = 10, .width = 100, .height = 20,
     .text = L"Hello", .font = kSong},
    {.name = L"box", .number = kBox, .kind = Kind::PictureBox, .x = 0, .y = 0, .width = 200, .height = 100,
     .border = true},
    {.name = L"group", .number = kGroup, .kind = Kind::GroupBox, .x = 210, .y = 10, .width = 180, .height = 120,
     .text = L"组", .h_align = tk::HAlign::Centre},
    {.name = L"group.edit", .number = kGroupEdit, .kind = Kind::EditBox, .parent = kGroup, .x = 10, .y = 20,
     .width = 100, .height = 22, .focus_stop = true, .tab_order = 2, .text = L"abc", .font = kSong,
     .text_colour = tk::rgb(200, 0, 0), .back_colour = tk::rgb(0, 0, 80), .border = true,
     .events = {.text_changed = &on_changed<kGroupEdit>}},
    {.name = L"group.button", .number = kGroupButton, .kind = Kind::Button, .parent = kGroup, .x = 10, .y = 50,
     .width = 80, .height = 24, .focus_stop = true, .tab_order = 1, .text = L"Go",
     .events = {.clicked = &on_clicked<kGroupButton>}},
    {.name = L"tabs", .number = kTabs, .kind = Kind::TabControl, .x = 10, .y = 140, .width = 300, .height = 120,
     .font = kSong, .items = kPages},
    {.name = L"page0.caption", .number = kCaption, .kind = Kind::TransparentLabel, .parent = kTabs, .page = 0,
     .x = 10, .y = 30, .width = 80, .height = 20, .text = L"caption"},
    {.name = L"page1.list", .number = kList, .kind = Kind::ListBox, .parent = kTabs, .page = 1, .x = 10, .y = 30,
     .width = 100, .height = 60, .focus_stop = true, .tab_order = 1, .border = true, .items = kRows,
     .line_spacing = 6, .events = {.item_selected = &on_selected<kList>}},
    {.name = L"page1.hidden", .number = kHiddenOnPage, .kind = Kind::Label, .parent = kTabs, .page = 1, .x = 120,
     .y = 30, .width = 50, .height = 20, .visible = false},
    {.name = L"hidden", .number = kHidden, .kind = Kind::Label, .x = 320, .y = 200, .width = 50, .height = 20,
     .visible = false},
    {.name = L"edit", .number = kEdit, .kind = Kind::EditBox, .x = 320, .y = 140, .width = 70, .height = 22,
     .focus_stop = true, .tab_order = 1},
    // Would win the focus rule were visibility or enabledness ignored.
    {.name = L"hidden.edit", .number = kHiddenEdit, .kind = Kind::EditBox, .x = 320, .y = 170, .width = 70,
     .height = 22, .visible = false, .focus_stop = true, .tab_order = 1},
    {.name = L"disabled.edit", .number = kDisabledEdit, .kind = Kind::EditBox, .x = 320, .y = 230, .width = 70,
     .height = 22, .disabled = true, .focus_stop = true, .tab_order = 0},
};

constexpr tk::WindowLayout kTreeLayout{
    .number = kTree, .title = L"toolkit tree", .outer_width = 400, .outer_height = 300,
    .back_colour = tk::rgb(10, 20, 30), .controls = kTreeControls};

constexpr tk::WindowNumber kOther = 0x520100a2;
constexpr tk::WindowLayout kOtherLayout{.number = kOther, .title = L"toolkit other", .outer_width = 200, .outer_height = 150};

HWND handle(ControlNumber c, tk::WindowNumber w = kTree) { return tk::native_handle(w, c); }

std::wstring class_of(HWND h) {
    wchar_t name[64]{};
    GetClassNameW(h, name, 64);
    return name;
}

RECT place_in_parent(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LOGFONTW font_of(HWND h) {
    LOGFONTW lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
    GetObjectW(font, sizeof lf, &lf);
    return lf;
}

class ToolkitWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tk::initialise(); }
    void SetUp() override { g_events.clear(); }
    void TearDown() override {
        for (tk::WindowNumber w : {kTree, kOther}) tk::destroy_window(w);
        support::flush_events(20);
    }
};

TEST_F(ToolkitWindows, BuildsTheChildTreeFromTheLayout) {
    HWND window = tk::create_window(kTreeLayout);
    ASSERT_TRUE(window);
    support::flush_events();

    struct Row {
        ControlNumber control;
        ControlNumber parent;  // 0: the window
        const wchar_t* cls;
        bool visible;
    };
    const Row rows[] = {
        {kCover, 0, L"GlimboLabel", true},
        {kBox, 0, L"GlimboPictureBox", true},
        {kGroup, 0, L"Button", true},
        {kGroupEdit, kGroup, L"Edit", true},
        {kGroupButton, kGroup, L"Button", true},
        {kTabs, 0, L"SysTabControl32", true},
        {kCaption, kTabs, L"GlimboTransparentLabel", true},
        {kList, kTabs, L"ListBox", false},  // page 1 is not current
        {kHiddenOnPage, kTabs, L"GlimboLabel", false},
        {kHidden, 0, L"GlimboLabel", false},
        {kEdit, 0, L"Edit", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control);
        HWND h = handle(row.control);
        ASSERT_TRUE(h);
        EXPECT_EQ(GetParent(h), row.parent ? handle(row.parent) : window);
        EXPECT_EQ(lstrcmpiW(class_of(h).c_str(), row.cls), 0) << class_of(h).size();
        EXPECT_EQ(IsWindowVisible(h) != FALSE, row.visible);
        const ControlLayout* l = nullptr;
        for (auto& c : kTreeControls)
            if (c.number == row.control) l = &c;
        const RECT r = place_in_parent(h);
        EXPECT_EQ(r.left, l->x);
        EXPECT_EQ(r.top, l->y);
        EXPECT_EQ(r.right - r.left, l->width);
        EXPECT_EQ(r.bottom - r.top, l->height);
        EXPECT_EQ(std::wstring(tk::text(kTree, row.control)), std::wstring(l->text));
    }
    EXPECT_FALSE(IsWindowEnabled(handle(kDisabledEdit)));

    // Stacking among siblings follows the table, first on top.
    for (ControlNumber parent : {ControlNumber(0), kGroup, kTabs}) {
        std::vector<HWND> expected, actual;
        for (auto& c : kTreeControls)
            if (c.parent == parent) expected.push_back(handle(c.number));
        for (HWND h = GetWindow(parent ? handle(parent) : window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (std::find(expected.begin(), expected.end(), h) != expected.end()) actual.push_back(h);
        EXPECT_EQ(actual, expected) << "children of " << parent;
    }

    // Fonts: the layout's, or the default GUI font.
    const LOGFONTW song = font_of(handle(kGroupEdit));
    EXPECT_EQ(song.lfHeight, -12);
    EXPECT_EQ(song.lfWeight, 700);
    EXPECT_EQ(song.lfCharSet, tk::kGb2312Charset);
    EXPECT_EQ(song.lfQuality, PROOF_QUALITY);
    EXPECT_STREQ(song.lfFaceName, L"SimSun");
    EXPECT_EQ(SendMessageW(handle(kGroupButton), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));

    // Kind settings.
    const LONG group_style = GetWindowLongW(handle(kGroup), GWL_STYLE);
    EXPECT_EQ(group_style & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(group_style & BS_CENTER, BS_CENTER);
    EXPECT_TRUE(GetWindowLongW(handle(kBox), GWL_STYLE) & WS_BORDER);
    EXPECT_TRUE(GetWindowLongW(handle(kGroupEdit), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongW(handle(kEdit), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetClassLongW(handle(kCaption), GCL_STYLE) & CS_DBLCLKS, UINT(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongW(handle(kBox), GCL_STYLE) & CS_DBLCLKS, UINT(CS_DBLCLKS));
    EXPECT_EQ(SendMessageW(handle(kTabs), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(handle(kTabs), TCM_GETCURSEL, 0, 0), 0);
    RECT header{};
    SendMessageW(handle(kTabs), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(header.bottom - header.top, 20);

    HWND list = handle(kList);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & LBS_SORT);
    wchar_t row[8]{};
    SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"丙");
    {
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), tm.tmHeight + 6);
    }

    // The window itself: fixed frame, centred, outer size exact, no owner.
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 400);
    EXPECT_EQ(outer.bottom - outer.top, 300);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 400) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 300) / 2);
    EXPECT_TRUE(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    HMENU menu = GetSystemMenu(window, FALSE);
    EXPECT_NE(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), UINT(-1));
    EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), UINT(-1));
}

POINT tab_header_centre(int index) {
    RECT r{};
    SendMessageW(handle(kTabs), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void pick_page(int index) {
    const POINT p = tab_header_centre(index);
    PostMessageW(handle(kTabs), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(handle(kTabs), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    support::flush_events(50);
}

TEST_F(ToolkitWindows, TabPagesShowOnlyTheirOwnControls) {
    ASSERT_TRUE(tk::create_window(kTreeLayout));
    support::flush_events();
    tk::set_text(kTree, kCaption, L"kept");

    struct Step {
        int page;
        bool caption, list, hidden_on_page;
    };
    const Step steps[] = {
        {1, false, true, false},
        {2, false, false, false},  // a page without controls
        {0, true, false, false},
        {1, false, true, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.page);
        pick_page(s.page);
        EXPECT_EQ(SendMessageW(handle(kTabs), TCM_GETCURSEL, 0, 0), s.page);
        EXPECT_EQ(IsWindowVisible(handle(kCaption)) != FALSE, s.caption);
        EXPECT_EQ(IsWindowVisible(handle(kList)) != FALSE, s.list);
        EXPECT_EQ(IsWindowVisible(handle(kHiddenOnPage)) != FALSE, s.hidden_on_page);
    }
    EXPECT_EQ(tk::text(kTree, kCaption), L"kept");
    const RECT r = place_in_parent(handle(kCaption));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 30);
}

TEST_F(ToolkitWindows, ReopeningShowsTheLayoutNotTheLastState) {
    ASSERT_TRUE(tk::create_window(kTreeLayout));
    support::flush_events();
    tk::set_text(kTree, kGroupEdit, L"changed");
    SetWindowPos(handle(kCaption), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pick_page(1);
    SendMessageW(handle(kList), LB_SETCURSEL, 2, 0);
    tk::destroy_window(kTree);
    support::flush_events();
    ASSERT_FALSE(tk::is_open(kTree));
    EXPECT_EQ(tk::native_handle(kTree), nullptr);

    ASSERT_TRUE(tk::create_window(kTreeLayout));
    support::flush_events();
    EXPECT_EQ(tk::text(kTree, kGroupEdit), L"abc");
    const RECT r = place_in_parent(handle(kCaption));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(SendMessageW(handle(kTabs), TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(handle(kCaption)));
    EXPECT_FALSE(IsWindowVisible(handle(kList)));
    EXPECT_EQ(SendMessageW(handle(kList), LB_GETCURSEL, 0, 0), LB_ERR);
}

void activate(HWND w) {
    SetForegroundWindow(w);
    SetActiveWindow(w);
    support::flush_events(50);
}

TEST_F(ToolkitWindows, FocusGoesToTheLastFocusedControlElseByTabOrder) {
    HWND window = tk::create_window(kTreeLayout);
    ASSERT_TRUE(window);
    support::flush_events();
    // Lowest tab order among visible, enabled stops; the later of equals.
    EXPECT_EQ(GetFocus(), handle(kEdit));

    SetFocus(handle(kGroupButton));
    HWND other = tk::create_window(kOtherLayout);
    ASSERT_TRUE(other);
    support::flush_events(50);
    EXPECT_EQ(GetActiveWindow(), other);
    activate(window);
    EXPECT_EQ(GetFocus(), handle(kGroupButton));

    // Once that control is gone, the rule decides again.
    activate(other);
    DestroyWindow(handle(kGroupButton));
    activate(window);
    EXPECT_EQ(GetFocus(), handle(kEdit));
}

TEST_F(ToolkitWindows, TabMovesTheFocusInLayoutOrderAndEnterDoesNot) {
    ASSERT_TRUE(tk::create_window(kTreeLayout));
    support::flush_events();
    SetFocus(handle(kGroupEdit));
    struct Step {
        WORD key;
        ControlNumber focus_after;
    };
    // Stops in layout order: group.edit, group.button, edit (the list's page
    // is hidden; hidden and disabled stops are skipped).
    const Step steps[] = {
        {VK_TAB, kGroupButton}, {VK_RETURN, kGroupButton}, {VK_TAB, kEdit}, {VK_TAB, kGroupEdit},
    };
    for (const Step& s : steps) {
        PostMessageW(GetFocus(), WM_KEYDOWN, s.key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, s.key, 0xC0000001);
        support::flush_events(30);
        EXPECT_EQ(GetFocus(), handle(s.focus_after)) << s.key;
    }
    // Shift+Tab goes back, with real keys so the Shift state is the system's.
    SetForegroundWindow(tk::native_handle(kTree));
    support::flush_events(30);
    support::key_combo(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), handle(kEdit));
    support::key_combo(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), handle(kGroupButton));
}

TEST_F(ToolkitWindows, ChildNotificationsReachTheirHandlersThroughContainers) {
    ASSERT_TRUE(tk::create_window(kTreeLayout));
    support::flush_events();
    EXPECT_TRUE(g_events.empty()) << "no events while building";

    tk::set_text(kTree, kGroupEdit, L"new");
    EXPECT_EQ(count("changed", kGroupEdit), 1);
    SendMessageW(handle(kGroupEdit), EM_SETSEL, 3, 3);
    PostMessageW(handle(kGroupEdit), WM_CHAR, L'x', 1);
    support::flush_events();
    EXPECT_EQ(count("changed", kGroupEdit), 2);
    EXPECT_EQ(tk::text(kTree, kGroupEdit), L"newx");

    SendMessageW(handle(kGroupButton), BM_CLICK, 0, 0);
    support::flush_events();
    EXPECT_EQ(count("clicked", kGroupButton), 1);

    pick_page(1);
    HWND list = handle(kList);
    RECT row{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2));
    support::flush_events();
    EXPECT_EQ(count("selected", kList), 1);
    EXPECT_EQ(tk::caret_index(kTree, kList), 1);
    EXPECT_EQ(tk::caret_index(kTree, kEdit), -1);

    // Colours of an edit box inside a group box: its back colour shows.
    const support::Pixels edit = support::capture_client(handle(kGroupEdit));
    ASSERT_FALSE(edit.empty());
    EXPECT_TRUE(support::near(edit.at(edit.width - 4, edit.height / 2), support::rgb(0, 0, 80)))
        << std::hex << edit.at(edit.width - 4, edit.height / 2);
}

// --- mouse and keyboard ----------------------------------------------------

constexpr tk::WindowNumber kInput = 0x520100a3;
constexpr ControlNumber kPicture = 0x16010021, kFloating = 0x16010022, kPlain = 0x16010023, kLine = 0x16010024,
                        kRows2 = 0x16010025;

constexpr ControlLayout kInputControls[] = {
    {.name = L"picture", .number = kPicture, .kind = Kind::PictureBox, .x = 10, .y = 10, .width = 80, .height = 60,
     .cursor = tk::Cursor::Hand, .back_colour = tk::rgb(0, 128, 0),
     .events = {.pressed = &on_pressed<kPicture>, .released = &on_released<kPicture>}},
    {.name = L"floating", .number = kFloating, .kind = Kind::TransparentLabel, .x = 100, .y = 10, .width = 80,
     .height = 30, .text = L"B",
     .events = {.pressed = &on_pressed<kFloating>, .released = &on_released<kFloating>}},
    {.name = L"plain", .number = kPlain, .kind = Kind::Label, .x = 10, .y = 80, .width = 80, .height = 20,
     .text = L"plain", .events = {.pressed = &on_pressed<kPlain>, .released = &on_released<kPlain>}},
    {.name = L"line", .number = kLine, .kind = Kind::EditBox, .x = 100, .y = 80, .width = 80, .height = 22,
     .focus_stop = true, .border = true},
    {.name = L"rows", .number = kRows2, .kind = Kind::ListBox, .x = 10, .y = 110, .width = 100, .height = 60,
     .focus_stop = true, .tab_order = 1, .border = true, .items = kRows},
};
constexpr tk::WindowLayout kInputLayout{
    .number = kInput, .title = L"toolkit input", .outer_width = 260, .outer_height = 220, .controls = kInputControls};
constexpr tk::WindowLayout kNoEscLayout{.number = kInput, .title = L"toolkit input", .outer_width = 260,
                                        .outer_height = 220, .esc_closes = false, .controls = kInputControls};

class ToolkitInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tk::initialise(); }
    void SetUp() override {
        g_events.clear();
        window_ = tk::create_window(kInputLayout);
        ASSERT_TRUE(window_);
        support::flush_events(100);
    }
    void TearDown() override {
        tk::destroy_window(kInput);
        support::flush_events(20);
    }
    HWND h(ControlNumber c) const { return tk::native_handle(kInput, c); }
    POINT screen(ControlNumber c, int x, int y) const { return support::client_to_screen(h(c), x, y); }
    HWND window_ = nullptr;
};

TEST_F(ToolkitInput, PressAndReleaseGoToTheControlsThatGotThem) {
    // Posted messages: the release lands where it is sent, not where the press was.
    PostMessageW(h(kPicture), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, MAKELPARAM(7, 9));
    PostMessageW(h(kFloating), WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(3, 4));
    PostMessageW(h(kPlain), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));
    support::flush_events();
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_EQ(g_events[0].what, "pressed");
    EXPECT_EQ(g_events[0].control, kPicture);
    EXPECT_EQ(g_events[0].x, 7);
    EXPECT_EQ(g_events[0].y, 9);
    EXPECT_EQ(g_events[0].keys, 3);
    EXPECT_EQ(g_events[1].what, "released");
    EXPECT_EQ(g_events[1].control, kFloating);
    EXPECT_EQ(g_events[1].x, 3);
    EXPECT_EQ(g_events[1].y, 4);
    EXPECT_EQ(g_events[1].keys, 2);

    // Real input: press over the plain label, release over the picture box.
    g_events.clear();
    const POINT down = screen(kPlain, 20, 10), up = screen(kPicture, 40, 30);
    support::mouse_down(down.x, down.y);
    support::mouse_up(up.x, up.y);
    support::flush_events(100);
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_EQ(g_events[0].what, "pressed");
    EXPECT_EQ(g_events[0].control, kPlain);
    EXPECT_EQ(g_events[0].x, 20);
    EXPECT_EQ(g_events[0].y, 10);
    EXPECT_EQ(g_events[1].what, "released");
    EXPECT_EQ(g_events[1].control, kPicture);
    EXPECT_EQ(g_events[1].x, 40);
    EXPECT_EQ(g_events[1].y, 30);
}

TEST_F(ToolkitInput, TheHandCursorShowsOverControlsThatAskForIt) {
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND), arrow = LoadCursorW(nullptr, IDC_ARROW);
    struct Case {
        ControlNumber control;
        HCURSOR cursor;
    };
    for (const Case& c : {Case{kPicture, hand}, Case{kPlain, arrow}, Case{kPicture, hand}}) {
        HWND w = h(c.control);
        SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), c.cursor) << c.control;
    }
}

TEST_F(ToolkitInput, ADoubleClickRaisesOnePress) {
    for (ControlNumber c : {kPicture, kFloating}) {
        SCOPED_TRACE(c);
        g_events.clear();
        const POINT p = screen(c, 10, 10);
        support::double_click(p.x, p.y);
        support::flush_events(100);
        EXPECT_EQ(count("pressed", c), 1);
        EXPECT_EQ(count("released", c), 2);
        support::flush_events(GetDoubleClickTime() + 50);
    }
}

// A control of the test's own that claims keys through WM_GETDLGCODE.
LRESULT g_probe_answer = 0;
int g_probe_posted = 0;
LRESULT CALLBACK probe_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETDLGCODE) {
        if (g_probe_answer != DLGC_WANTMESSAGE) return g_probe_answer;
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        return m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE ? DLGC_WANTMESSAGE : 0;
    }
    if (msg == WM_APP) ++g_probe_posted;
    return DefWindowProcW(hwnd, msg, wp, lp);
}
HWND make_probe(HWND parent, LRESULT answer) {
    static bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = probe_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ToolkitTestProbe";
        return RegisterClassW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    g_probe_answer = answer;
    return CreateWindowExW(0, L"ToolkitTestProbe", L"", WS_CHILD | WS_VISIBLE, 200, 120, 40, 40, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TEST_F(ToolkitInput, EscClosesUnlessTheFocusedControlClaimsIt) {
    enum Target { WindowItself, SingleLineEdit, ListBox, MultiLineEdit, WantsAllKeys, WantsTheMessage, NoEscLayout };
    struct Case {
        const char* name;
        Target target;
        bool closes;
    };
    const Case cases[] = {
        {"window", WindowItself, true},        {"edit", SingleLineEdit, true},
        {"list box", ListBox, true},           {"multi-line edit", MultiLineEdit, false},
        {"wants all keys", WantsAllKeys, false}, {"wants the message", WantsTheMessage, false},
        {"layout without Esc", NoEscLayout, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tk::destroy_window(kInput);
        HWND window = tk::create_window(c.target == NoEscLayout ? kNoEscLayout : kInputLayout);
        ASSERT_TRUE(window);
        HWND target = window;
        switch (c.target) {
        case WindowItself: case NoEscLayout: break;
        case SingleLineEdit: target = h(kLine); break;
        case ListBox: target = h(kRows2); break;
        case MultiLineEdit:
            target = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 120, 120, 60, 40, window,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
            break;
        case WantsAllKeys: target = make_probe(window, DLGC_WANTALLKEYS); break;
        case WantsTheMessage: target = make_probe(window, DLGC_WANTMESSAGE); break;
        }
        ASSERT_TRUE(target);
        SetFocus(target);
        support::flush_events(30);
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        support::flush_events(100);
        EXPECT_EQ(!tk::is_open(kInput), c.closes);
        EXPECT_EQ(!IsWindow(window), c.closes);
    }
}

TEST_F(ToolkitInput, RealEscKeyClosesWithTheListBoxFocused) {
    SetForegroundWindow(window_);
    SetFocus(h(kRows2));
    support::flush_events(50);
    ASSERT_EQ(GetFocus(), h(kRows2));
    support::key(VK_ESCAPE);
    EXPECT_TRUE(support::wait_until([] { return !tk::is_open(kInput); }, 2000));
}

TEST_F(ToolkitInput, ProcessPendingEventsLeavesQuitQueued) {
    HWND probe = make_probe(window_, 0);
    g_probe_posted = 0;
    PostMessageW(probe, WM_APP, 0, 0);
    PostMessageW(probe, WM_APP, 0, 0);
    PostQuitMessage(7);
    PostMessageW(probe, WM_APP, 0, 0);
    tk::process_pending_events();
    EXPECT_EQ(g_probe_posted, 3);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

// --- modal windows ---------------------------------------------------------

constexpr tk::WindowNumber kModal = 0x520100a4;
struct ModalSeen {
    bool ran = false;
    bool input_enabled = true, tree_enabled = true, modal_enabled = false;
    bool modal_visible = false;
};
ModalSeen g_modal;

void CALLBACK modal_check(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_modal.ran = true;
    g_modal.input_enabled = IsWindowEnabled(tk::native_handle(kInput)) != FALSE;
    g_modal.tree_enabled = IsWindowEnabled(tk::native_handle(kTree)) != FALSE;
    g_modal.modal_enabled = IsWindowEnabled(tk::native_handle(kModal)) != FALSE;
    g_modal.modal_visible = IsWindowVisible(tk::native_handle(kModal)) != FALSE;
    // Reopening an open window only activates it: no nested loop here.
    tk::open_modal(*[] {
        static const tk::WindowLayout again{.number = kModal, .title = L"toolkit modal", .outer_width = 200,
                                            .outer_height = 120};
        return &again;
    }());
    tk::destroy_window(kModal);
}
void modal_created(const tk::EventArgs&) { SetTimer(nullptr, 0, 50, modal_check); }

constexpr tk::WindowLayout kModalLayout{.number = kModal, .title = L"toolkit modal", .outer_width = 200,
                                        .outer_height = 120, .created = &modal_created};

TEST_F(ToolkitInput, OpenModalDisablesTheOtherWindowsAndRestoresThem) {
    HWND tree = tk::create_window(kTreeLayout);
    ASSERT_TRUE(tree);
    EnableWindow(tree, FALSE);  // disabled before: stays disabled after
    g_modal = {};
    tk::open_modal(kModalLayout);
    EXPECT_TRUE(g_modal.ran) << "open_modal returned before its window was closed";
    EXPECT_FALSE(g_modal.input_enabled);
    EXPECT_FALSE(g_modal.tree_enabled);
    EXPECT_TRUE(g_modal.modal_enabled);
    EXPECT_TRUE(g_modal.modal_visible);
    EXPECT_FALSE(tk::is_open(kModal));
    EXPECT_TRUE(IsWindowEnabled(window_));
    EXPECT_FALSE(IsWindowEnabled(tree));
    tk::destroy_window(kTree);
}

}  // namespace
