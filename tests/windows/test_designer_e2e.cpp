// The real glimbo.exe driven with real input: the designer tile, caption
// drags, and "复制图片" with the clipboard read from this other process.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/windows/support.h"

namespace {

constexpr wchar_t kLauncherTitle[] = L"Glimbo-Orlun 1.1";
constexpr wchar_t kDesignerTitle[] = L"设计区";

// Rectangles in the designer's client coordinates (the tab control sits at
// 0, 0, and a group's children are offset by the group's place 8, 272).
constexpr RECT rect(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
constexpr RECT kBoxA = rect(168, 48, 184, 200);
constexpr RECT kA1 = rect(152, 184, 224, 72);
constexpr RECT kA2 = rect(152, 216, 224, 56);
constexpr RECT kA3 = rect(8 + 80, 272 + 24, 184, 24);
constexpr RECT kA5 = rect(8 + 16, 272 + 96, 360, 24);
constexpr RECT kButton1 = rect(8 + 384, 272 + 96, 88, 24);

bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::wstring temp_folder() {
    wchar_t buffer[MAX_PATH + 1]{};
    std::wstring t(buffer, GetTempPathW(MAX_PATH + 1, buffer));
    if (!t.empty() && t.back() != L'\\') t += L'\\';
    return t;
}

std::wstring text_of(HWND w) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring s(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, WPARAM(s.size()), LPARAM(s.data()), SMTO_ABORTIFHUNG, 2000, &copied);
    s.resize(copied);
    return s;
}

int mismatches(const support::Pixels& a, const support::Pixels& b, int tolerance = 2) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.argb.size(); ++i) n += !support::near(a.argb[i], b.argb[i], tolerance);
    return n;
}

class DesignerProgram : public ::testing::Test {
protected:
    void SetUp() override {
        process_ = std::make_unique<support::Process>(support::glimbo_exe());
        ASSERT_NO_FATAL_FAILURE(open_from_launcher());
        a1_ = control_at(kA1);
        a2_ = control_at(kA2);
        a3_ = control_at(kA3);
        ASSERT_TRUE(a1_ && a2_ && a3_) << "caption labels and field where the layout puts them";
    }

    // A press and release on tile 1 of the launcher.
    void open_from_launcher() {
        HWND launcher = support::wait_for_window(kLauncherTitle);
        ASSERT_NE(launcher, nullptr);
        support::flush_events(300);
        POINT tile = support::client_to_screen(launcher, 8 + 50, 40 + 60);
        support::click(tile.x, tile.y);
        designer_ = support::wait_for_window(kDesignerTitle);
        ASSERT_NE(designer_, nullptr) << "tile 1 opens the designer";
        support::flush_events(400);
    }

    // The visible control whose rectangle in the designer's client is `r`.
    HWND control_at(const RECT& r) const {
        struct Find {
            HWND designer;
            RECT r;
            HWND found;
        } f{designer_, r, nullptr};
        EnumChildWindows(
            designer_,
            [](HWND w, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<Find*>(p);
                RECT c{};
                GetWindowRect(w, &c);
                MapWindowPoints(nullptr, f->designer, reinterpret_cast<POINT*>(&c), 2);
                if (IsWindowVisible(w) && same(c, f->r)) {
                    f->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            LPARAM(&f));
        return f.found;
    }

    RECT place(HWND w) const {
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, designer_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    POINT screen(int x, int y) const { return support::client_to_screen(designer_, x, y); }
    support::Pixels shown(const RECT& client_rect) const {
        RECT r = client_rect;
        MapWindowPoints(designer_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return support::capture_screen(r);
    }

    // A press at (x, y) of the designer's client, moved by (dx, dy) in steps.
    void drag(int x, int y, int dx, int dy) {
        POINT p = screen(x, y);
        support::mouse_down(p.x, p.y);
        for (int step = 1; step <= 4; ++step) support::mouse_move(p.x + dx * step / 4, p.y + dy * step / 4);
        support::mouse_up(p.x + dx, p.y + dy);
        support::flush_events(150);
    }

    void clear_a3() {
        POINT p = screen((kA3.left + kA3.right) / 2, (kA3.top + kA3.bottom) / 2);
        support::click(p.x, p.y);
        support::key(VK_END);
        support::key_combo(VK_SHIFT, VK_HOME);
        support::key(VK_DELETE);
        support::flush_events(100);
    }

    std::unique_ptr<support::Process> process_;
    HWND designer_ = nullptr;
    HWND a1_ = nullptr, a2_ = nullptr, a3_ = nullptr;
};

RECT moved(RECT r, int dx, int dy) {
    OffsetRect(&r, dx, dy);
    return r;
}

TEST_F(DesignerProgram, APressAnywhereInTheLabelDragsItByThePointersMove) {
    // Beside the letters (the label's left margin, over the tab control),
    // then in the middle of the text row.
    struct Grab {
        int x, y;
    };
    RECT expected = kA1;
    for (Grab g : {Grab{kA1.left + 6, kA1.top + 8}, Grab{(kA1.left + kA1.right) / 2, kA1.top + 10}}) {
        SCOPED_TRACE(g.x);
        const RECT now = place(a1_);
        drag(now.left - kA1.left + g.x, now.top - kA1.top + g.y, 40, 25);
        expected = moved(expected, 40, 25);
        EXPECT_TRUE(same(place(a1_), expected));
        EXPECT_TRUE(same(place(a2_), kA2)) << "a2 stays";
    }
}

TEST_F(DesignerProgram, WhereA1AndA2OverlapTheUpperA2Moves) {
    drag(kA2.left + 20, kA2.top + 10, 40, 25);
    EXPECT_TRUE(same(place(a2_), moved(kA2, 40, 25)));
    EXPECT_TRUE(same(place(a1_), kA1));
}

TEST_F(DesignerProgram, APressOnThePictureOutsideTheLabelsMovesNothing) {
    HWND box = control_at(kBoxA);
    ASSERT_NE(box, nullptr);
    drag(kBoxA.left + 90, kBoxA.top + 40, 40, 25);
    EXPECT_TRUE(same(place(a1_), kA1));
    EXPECT_TRUE(same(place(a2_), kA2));
    EXPECT_TRUE(same(place(box), kBoxA));
}

TEST_F(DesignerProgram, TheRightButtonAndASecondPressOfADoubleClickDragNothing) {
    POINT p = screen(kA1.left + 30, kA1.top + 10);
    support::right_mouse_down(p.x, p.y);
    support::mouse_move(p.x + 40, p.y + 25);
    support::right_mouse_up(p.x + 40, p.y + 25);
    support::flush_events(100);
    EXPECT_TRUE(same(place(a1_), kA1)) << "right button";

    // Press, release, then a second press at once (a double click) that moves.
    support::mouse_down(p.x, p.y);
    support::mouse_up(p.x, p.y);
    support::mouse_down(p.x, p.y);
    support::mouse_move(p.x + 20, p.y + 10);
    support::mouse_move(p.x + 40, p.y + 25);
    support::mouse_up(p.x + 40, p.y + 25);
    support::flush_events(100);
    EXPECT_TRUE(same(place(a1_), kA1)) << "the second press of a double click";
}

TEST_F(DesignerProgram, AnEmptyLabelStillDragsAndAMoveLeavesNoTrace) {
    clear_a3();
    ASSERT_EQ(text_of(a1_), L"");
    const support::Pixels bare = shown(kA1);  // the place with nothing of a1 on it

    support::type_text(L"治疗 ok");
    ASSERT_EQ(text_of(a1_), L"治疗 ok");
    EXPECT_GT(mismatches(shown(kA1), bare, 24), 50) << "the typed caption shows";

    // An empty label still takes a press: clear it again and drag it.
    clear_a3();
    drag(kA1.left + 30, kA1.top + 10, 40, 25);
    ASSERT_TRUE(same(place(a1_), moved(kA1, 40, 25))) << "the empty label moved";
    support::type_text(L"治疗 ok");
    drag(kA1.left + 40 + 30, kA1.top + 25 + 10, -40, -25);
    ASSERT_TRUE(same(place(a1_), kA1));

    // Now with text: the part of the old place that the label leaves must
    // look exactly as it did with no caption there.
    drag(kA1.left + 30, kA1.top + 10, 40, 25);
    ASSERT_TRUE(same(place(a1_), moved(kA1, 40, 25)));
    const support::Pixels after = shown(kA1);
    int traces = 0;
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x)
            if ((x < 40 || y < 25) && !support::near(after.at(x, y), bare.at(x, y), 8)) ++traces;
    EXPECT_EQ(traces, 0) << "pixels of the old caption left behind";
}

// Page a (stretched picture, two captions) and page E (natural size, the
// widest box); the caption field and path field share their places.
struct CopyCase {
    const char* name;
    int page;
    RECT box, label;
    int dx, dy;  // a drag that takes the label across the box's edge
    const wchar_t* file;
};
constexpr RECT kBoxE = rect(12, 40, 512, 216);
constexpr RECT kE1 = rect(160, 72, 224, 48);
const CopyCase kCopyCases[] = {
    {"a", 0, kBoxA, kA1, 120, -60, L"a1.jpg"},
    {"E", 4, kBoxE, kE1, 300, 0, L"e1.jpg"},
    // Across the bottom edge, down to the group "属性" below the picture.
    {"E_over_group", 4, kBoxE, kE1, 0, 170, L"e1.jpg"},
};

class CopyOnPage : public DesignerProgram, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyOnPage, PutsTheBoxAsSeenOnTheClipboardEvenWhenCovered) {
    const CopyCase& c = GetParam();
    if (c.page) {
        // A click on header A gives the tab control the focus; arrows move on.
        POINT header = screen(10, 8);
        support::click(header.x, header.y);
        for (int i = 0; i < c.page; ++i) support::key(VK_RIGHT);
        support::flush_events(200);
    }
    HWND label = control_at(c.label);
    ASSERT_NE(label, nullptr);
    // Edit the caption, then drag it across the picture's edge.
    clear_a3();
    support::type_text(L"复制 me");
    ASSERT_EQ(text_of(label), L"复制 me");
    drag(c.label.left + 30, c.label.top + 10, c.dx, c.dy);
    ASSERT_TRUE(same(place(label), moved(c.label, c.dx, c.dy)));
    const support::Pixels expected = shown(c.box);
    const std::wstring capture = temp_folder() + c.file;

    // First in plain view, then with another program's window over the box.
    for (bool covered : {false, true}) {
        SCOPED_TRACE(covered ? "covered" : "in view");
        HWND cover = nullptr;
        if (covered) {
            POINT at = screen(c.box.left - 10, c.box.top - 10);
            cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, at.x,
                                    at.y, c.box.right - c.box.left + 20, c.box.bottom - c.box.top + 14, nullptr,
                                    nullptr, nullptr, nullptr);
            support::flush_events(150);
            ASSERT_GT(mismatches(shown(c.box), expected), 1000) << "the box should be hidden";
        }
        POINT button = screen((kButton1.left + kButton1.right) / 2, (kButton1.top + kButton1.bottom) / 2);
        support::click(button.x, button.y);
        support::flush_events(200);
        const support::Pixels clip = support::clipboard_bitmap();
        if (cover) DestroyWindow(cover);
        EXPECT_EQ(clip.width, c.box.right - c.box.left);
        EXPECT_EQ(clip.height, c.box.bottom - c.box.top);
        EXPECT_EQ(mismatches(clip, expected), 0) << "captions included, cut at the box's edge";
        EXPECT_EQ(GetFileAttributesW(capture.c_str()), INVALID_FILE_ATTRIBUTES) << "no capture file left";
        HWND path = control_at(kA5);
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(text_of(path), capture);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, CopyOnPage, ::testing::ValuesIn(kCopyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DesignerProgram, ClosingBringsTheLauncherBackAndReopeningStartsAfresh) {
    drag(kA1.left + 30, kA1.top + 10, 40, 25);
    SetForegroundWindow(designer_);
    support::key(VK_ESCAPE);
    ASSERT_TRUE(support::wait_for_gone(designer_));
    ASSERT_NO_FATAL_FAILURE(open_from_launcher());
    EXPECT_NE(control_at(kA1), nullptr) << "a1 is back at its stored place";
}

}  // namespace
