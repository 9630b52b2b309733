// The designer window as built from its layout: controls, pages, pictures,
// and what survives page switches and reopening.
#include "tests/windows/test_designer_fixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pictures/catalogue.h"

namespace designer_test {
namespace {

constexpr int kTab = -1;  // parent: the tab control

struct Expected {
    const char* name;
    tk::ControlNumber number;
    tk::ControlNumber parent;  // id::tabs or a group
    int page;                  // of the tab control, for its own children
    RECT place;                // left, top, right, bottom in the parent
    const wchar_t* text;       // nullptr: not checked (pictures, groups)
};

constexpr RECT at(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
constexpr const wchar_t* kHint = L"如果格式不对 按住鼠标可以调整位置";

// Written out from the product's tables, not from the layout code.
const Expected kControls[] = {
    {"a", id::a, id::tabs, 0, at(168, 48, 184, 200), nullptr},
    {"a1", id::a1, id::tabs, 0, at(152, 184, 224, 72), L"孩子 你需要治疗"},
    {"a2", id::a2, id::tabs, 0, at(152, 216, 224, 56), L"Don't give up cure"},
    {"分组框1", id::group1, id::tabs, 0, at(8, 272, 512, 136), nullptr},
    {"a5", id::a5, id::group1, kTab, at(16, 96, 360, 24), L""},
    {"按钮1", id::button1, id::group1, kTab, at(384, 96, 88, 24), L"复制图片"},
    {"透明标签4", id::label4, id::group1, kTab, at(272, 56, 232, 24), kHint},
    {"透明标签3", id::label3, id::group1, kTab, at(272, 24, 232, 24), kHint},
    {"a4", id::a4, id::group1, kTab, at(80, 56, 184, 24), L"Don't give up cure"},
    {"透明标签2", id::label2, id::group1, kTab, at(16, 56, 56, 24), L"第二句话"},
    {"透明标签1", id::label1, id::group1, kTab, at(16, 24, 56, 24), L"第一句话"},
    {"a3", id::a3, id::group1, kTab, at(80, 24, 184, 24), L"孩子 你需要治疗"},

    {"b", id::b, id::tabs, 1, at(168, 32, 184, 232), nullptr},
    {"b1", id::b1, id::tabs, 1, at(144, 208, 224, 48), L"谁给你的勇气？"},
    {"分组框2", id::group2, id::tabs, 1, at(8, 272, 512, 136), nullptr},
    {"b3", id::b3, id::group2, kTab, at(16, 96, 360, 24), L""},
    {"按钮2", id::button2, id::group2, kTab, at(384, 96, 88, 24), L"复制图片"},
    {"透明标签6", id::label6, id::group2, kTab, at(272, 24, 232, 24), kHint},
    {"透明标签8", id::label8, id::group2, kTab, at(16, 24, 56, 24), L"第一句话"},
    {"b2", id::b2, id::group2, kTab, at(80, 24, 184, 24), L"谁给你的勇气？"},

    {"C", id::C, id::tabs, 2, at(112, 56, 304, 182), nullptr},
    {"C1", id::C1, id::tabs, 2, at(216, 96, 224, 48), L"我读书多我不骗你"},
    {"分组框3", id::group3, id::tabs, 2, at(8, 272, 512, 136), nullptr},
    {"C3", id::C3, id::group3, kTab, at(16, 96, 360, 24), L""},
    {"按钮3", id::button3, id::group3, kTab, at(384, 96, 88, 24), L"复制图片"},
    {"透明标签5", id::label5, id::group3, kTab, at(272, 24, 232, 24), kHint},
    {"透明标签7", id::label7, id::group3, kTab, at(16, 24, 56, 24), L"第一句话"},
    {"C2", id::C2, id::group3, kTab, at(80, 24, 184, 24), L"我读书多我不骗你"},

    {"d", id::d, id::tabs, 3, at(160, 29, 200, 235), nullptr},
    {"d1", id::d1, id::tabs, 3, at(152, 40, 224, 48), L"放肆 谁让你发图了"},
    {"分组框4", id::group4, id::tabs, 3, at(8, 272, 512, 136), nullptr},
    {"D3", id::D3, id::group4, kTab, at(16, 96, 360, 24), L""},
    {"按钮4", id::button4, id::group4, kTab, at(384, 96, 88, 24), L"复制图片"},
    {"透明标签9", id::label9, id::group4, kTab, at(272, 24, 232, 24), kHint},
    {"透明标签10", id::label10, id::group4, kTab, at(16, 24, 56, 24), L"第一句话"},
    {"d2", id::d2, id::group4, kTab, at(80, 24, 184, 24), L"放肆 谁让你发图了"},

    {"e", id::e, id::tabs, 4, at(12, 40, 512, 216), nullptr},
    {"e1", id::e1, id::tabs, 4, at(160, 72, 224, 48), L"天天拍桌子 吃屎了你"},
    {"分组框5", id::group5, id::tabs, 4, at(8, 272, 512, 136), nullptr},
    {"e3", id::e3, id::group5, kTab, at(16, 96, 360, 24), L""},
    {"按钮5", id::button5, id::group5, kTab, at(384, 96, 88, 24), L"复制图片"},
    {"透明标签11", id::label11, id::group5, kTab, at(272, 24, 232, 24), kHint},
    {"透明标签12", id::label12, id::group5, kTab, at(16, 24, 56, 24), L"第一句话"},
    {"e2", id::e2, id::group5, kTab, at(80, 24, 184, 24), L"天天拍桌子 吃屎了你"},

    {"F", id::F, id::tabs, 5, at(120, 56, 284, 168), nullptr},
    {"F1", id::F1, id::tabs, 5, at(212, 61, 224, 48), L"你敢再说一百次试试？"},
    {"分组框6", id::group6, id::tabs, 5, at(8, 272, 512, 136), nullptr},
    {"F3", id::F3, id::group6, kTab, at(16, 96, 360, 24), L""},
    {"按钮6", id::button6, id::group6, kTab, at(384, 96, 88, 24), L"复制图片"},
    {"透明标签13", id::label13, id::group6, kTab, at(272, 24, 232, 24), kHint},
    {"透明标签14", id::label14, id::group6, kTab, at(16, 24, 56, 24), L"第一句话"},
    {"F2", id::F2, id::group6, kTab, at(80, 24, 184, 24), L"你敢再说一百次试试？"},
};

// Stacking order among each parent's children, top first.
const std::vector<std::vector<tk::ControlNumber>> kStacks = {
    {id::group1, id::a2, id::a1, id::a},
    {id::b1, id::group2, id::b},
    {id::C1, id::group3, id::C},
    {id::d1, id::group4, id::d},
    {id::e1, id::group5, id::e},
    {id::group6, id::F1, id::F},
    {id::a5, id::button1, id::label4, id::label3, id::a4, id::label2, id::label1, id::a3},
    {id::b3, id::button2, id::label6, id::label8, id::b2},
    {id::F3, id::button6, id::label13, id::label14, id::F2},
};

std::string show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// Page controls visible now: those of `page` and their groups' children.
bool shown_on(const Expected& c, int page) {
    if (c.page != kTab) return c.page == page;
    for (const Expected& g : kControls)
        if (g.number == c.parent) return g.page == page;
    return false;
}

void expect_only_page_visible(int page) {
    for (const Expected& c : kControls)
        EXPECT_EQ(IsWindowVisible(handle(c.number)) != 0, shown_on(c, page))
            << c.name << " with page " << page << " current";
}

TEST_F(Designer, WindowIsTitledSizedCentredAndFixed) {
    wchar_t title[32]{};
    GetWindowTextW(window_, title, 32);
    EXPECT_STREQ(title, L"设计区");
    RECT r{};
    GetWindowRect(window_, &r);
    EXPECT_EQ(r.right - r.left, 538);
    EXPECT_EQ(r.bottom - r.top, 449);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 538) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 449) / 2);
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

TEST_F(Designer, TabControlReachesPastTheClientAreaWithSevenPages) {
    HWND tabs = handle(id::tabs);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(GetParent(tabs), window_);
    EXPECT_EQ(show(place_of(tabs)), show(at(0, 0, 568, 440)));
    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_LT(client.right, 568) << "the tab control is cut at the right";
    EXPECT_LT(client.bottom, 440) << "and at the bottom";

    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 7);
    const wchar_t* headers[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G"};
    int row_top = -1;
    for (int i = 0; i < 7; ++i) {
        wchar_t buffer[8]{};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 8;
        SendMessageW(tabs, TCM_GETITEMW, WPARAM(i), LPARAM(&item));
        EXPECT_STREQ(buffer, headers[i]);
        RECT header{};
        SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(i), LPARAM(&header));
        if (row_top < 0) row_top = header.top;
        EXPECT_EQ(header.top, row_top) << "all headers in one row";
        EXPECT_EQ(header.bottom - header.top, 20) << "header " << i;
    }
    EXPECT_EQ(current_page(), 0);
}

TEST_F(Designer, EveryControlHasItsParentPlaceAndText) {
    for (const Expected& c : kControls) {
        SCOPED_TRACE(c.name);
        HWND w = handle(c.number);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(GetParent(w), handle(c.parent));
        EXPECT_EQ(show(place_of(w)), show(c.place));
        if (c.text) {
            EXPECT_EQ(text_of(c.number), std::wstring(c.text));
        }
    }
}

TEST_F(Designer, StackingOrderFollowsTheTablesFirstOnTop) {
    for (const auto& stack : kStacks) {
        for (std::size_t i = 0; i + 1 < stack.size(); ++i) {
            // Walking down from the upper control must reach the lower one.
            HWND upper = handle(stack[i]);
            HWND lower = handle(stack[i + 1]);
            bool below = false;
            for (HWND w = GetWindow(upper, GW_HWNDNEXT); w && !below; w = GetWindow(w, GW_HWNDNEXT))
                below = w == lower;
            EXPECT_TRUE(below) << std::hex << stack[i] << " should lie above " << stack[i + 1];
        }
    }
}

TEST_F(Designer, OpensOnPageAWithOnlyItsControlsVisible) {
    EXPECT_EQ(current_page(), 0);
    expect_only_page_visible(0);
}

// Compares the screen inside a natural-size picture box with the decoded
// picture, away from the caption that lies over it.
struct NaturalCase {
    int page;
    tk::ControlNumber box;
    tk::ControlNumber caption;
    pictures::ByteSet (*picture)();
    int shown_width, shown_height;  // of the picture inside the box
};

class NaturalPicture : public Designer, public ::testing::WithParamInterface<NaturalCase> {};

TEST_P(NaturalPicture, IsCutAtTheBoxOrLeavesAFaceColouredStrip) {
    const NaturalCase& c = GetParam();
    pick_page(c.page);
    std::optional<pic::Image> image = pic::decode_still(c.picture().bytes());
    ASSERT_TRUE(image);
    const support::Pixels screen = on_screen(c.box);
    RECT box = screen_rect(c.box);
    RECT caption = screen_rect(c.caption);
    OffsetRect(&caption, -box.left, -box.top);
    ASSERT_EQ(screen.width, box.right - box.left);

    int picture_mismatches = 0, strip_mismatches = 0, compared = 0;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            if (PtInRect(&caption, POINT{x, y})) continue;
            if (x < c.shown_width && y < c.shown_height) {
                ++compared;
                picture_mismatches += !support::near(screen.at(x, y), pixel(*image, x, y), 4);
            } else {
                strip_mismatches += !support::near(screen.at(x, y), face_colour(), 4);
            }
        }
    }
    EXPECT_GT(compared, screen.width * screen.height / 2);
    EXPECT_EQ(picture_mismatches, 0);
    EXPECT_EQ(strip_mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, NaturalPicture,
    ::testing::Values(
        // e: 505 x 226 in 512 x 216: the bottom 10 rows cut, 7 columns of face colour.
        NaturalCase{4, id::e, id::e1, pictures::template_e, 505, 216},
        // C: 308 x 182 in 304 x 182: the right 4 columns cut.
        NaturalCase{2, id::C, id::C1, pictures::template_C, 304, 182},
        // d: 200 x 233 in 200 x 235: a 2-row strip below.
        NaturalCase{3, id::d, id::d1, pictures::template_d, 200, 233},
        // F: 284 x 169 in 284 x 168: the bottom row cut.
        NaturalCase{5, id::F, id::F1, pictures::template_F, 284, 168}));

// Stretched pictures: block averages of the screen against a plain
// nearest-pixel scaling of the picture (the toolkit's own scaling may be
// finer, so only coarse agreement is asked for).
double block_difference(const support::Pixels& screen, const pic::Image& image, int rows) {
    const int block = 8;
    double worst = 0;
    for (int by = 0; by + block <= rows; by += block) {
        for (int bx = 0; bx + block <= screen.width; bx += block) {
            double s[3]{}, r[3]{};
            for (int y = by; y < by + block; ++y) {
                for (int x = bx; x < bx + block; ++x) {
                    const std::uint32_t a = screen.at(x, y);
                    const std::uint32_t b =
                        pixel(image, x * image.width / screen.width, y * image.height / screen.height);
                    for (int k = 0; k < 3; ++k) {
                        s[k] += (a >> (8 * k)) & 0xFF;
                        r[k] += (b >> (8 * k)) & 0xFF;
                    }
                }
            }
            for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(s[k] - r[k]) / (block * block));
        }
    }
    return worst;
}

TEST_F(Designer, PageAShowsPictureAStretchedWithBothCaptionsOverIt) {
    std::optional<pic::Image> image = pic::decode_still(pictures::template_a().bytes());
    ASSERT_TRUE(image);
    support::Pixels screen = on_screen(id::a);
    ASSERT_EQ(screen.width, 184);
    ASSERT_EQ(screen.height, 200);
    // Rows above the captions (a1 starts at box row 136) are plain picture.
    EXPECT_LT(block_difference(screen, *image, 136), 40.0);

    // The captions are drawn over the picture: clearing their texts changes
    // the pixels under them, and only there.
    tk::set_text(designer::kWindow, id::a3, L"");
    tk::set_text(designer::kWindow, id::a4, L"");
    const support::Pixels bare = on_screen(id::a);
    int changed_above = 0, changed_under = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 184; ++x)
            if (!support::near(screen.at(x, y), bare.at(x, y), 4)) ++(y < 136 ? changed_above : changed_under);
    EXPECT_EQ(changed_above, 0);
    EXPECT_GT(changed_under, 200) << "the caption texts should cover a fair number of pixels";
    EXPECT_LT(block_difference(bare, *image, 200), 40.0) << "without captions the whole box is picture";
}

TEST_F(Designer, PictureBFillsItsBoxExactly) {
    pick_page(1);
    std::optional<pic::Image> image = pic::decode_still(pictures::template_b().bytes());
    ASSERT_TRUE(image);
    tk::set_text(designer::kWindow, id::b2, L"");
    const support::Pixels screen = on_screen(id::b);
    ASSERT_EQ(screen.width, 184);
    ASSERT_EQ(screen.height, 232);
    EXPECT_LT(block_difference(screen, *image, 232), 40.0);
    // No face-coloured margin anywhere along the edges.
    int face = 0;
    for (int x = 0; x < 184; ++x) face += screen.at(x, 231) == face_colour();
    for (int y = 0; y < 232; ++y) face += screen.at(183, y) == face_colour();
    EXPECT_LT(face, 20);
}

TEST_F(Designer, EachPageShowsOnlyItsOwnControlsAndGIsEmpty) {
    for (int page : {1, 2, 3, 4, 5, 6, 0}) {
        pick_page(page);
        expect_only_page_visible(page);
    }
    pick_page(6);
    // Below the headers the page is one plain colour.
    HWND tabs = handle(id::tabs);
    RECT body{};
    GetClientRect(window_, &body);
    RECT header{};
    SendMessageW(tabs, TCM_GETITEMRECT, 0, LPARAM(&header));
    RECT area{8, header.bottom + 8, body.right - 8, body.bottom - 8};
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&area), 2);
    support::flush_events(50);
    const support::Pixels page = support::capture_screen(area);
    ASSERT_FALSE(page.empty());
    int other = 0;
    for (std::uint32_t v : page.argb) other += (v & 0xFFFFFF) != page.at(0, 0);
    EXPECT_EQ(other, 0) << "page G shows nothing below its headers";
}

TEST_F(Designer, HiddenPageKeepsAnEditedAndMovedCaption) {
    pick_page(1);
    tk::set_text(designer::kWindow, id::b2, L"新的 caption");
    SetWindowPos(handle(id::b1), nullptr, 100, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pick_page(2);
    EXPECT_FALSE(IsWindowVisible(handle(id::b1)));
    pick_page(1);
    EXPECT_TRUE(IsWindowVisible(handle(id::b1)));
    EXPECT_EQ(text_of(id::b1), L"新的 caption");
    EXPECT_EQ(text_of(id::b2), L"新的 caption");
    EXPECT_EQ(show(place_of(id::b1)), show(at(100, 150, 224, 48)));
}

TEST_F(Designer, ReopeningStartsFromTheLayout) {
    tk::set_text(designer::kWindow, id::a3, L"changed");
    tk::set_text(designer::kWindow, id::a5, L"C:\\somewhere\\a1.jpg");
    // Not over the headers: the header click below must not land on it.
    SetWindowPos(handle(id::a1), nullptr, 10, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pick_page(3);
    tk::set_text(designer::kWindow, id::D3, L"C:\\somewhere\\d1.jpg");

    tk::destroy_window(designer::kWindow);
    support::flush_events(30);
    EXPECT_FALSE(tk::is_open(designer::kWindow));
    window_ = tk::create_window(designer::window_layout());
    ASSERT_NE(window_, nullptr);
    support::flush_events(100);

    EXPECT_EQ(current_page(), 0);
    expect_only_page_visible(0);
    for (const Expected& c : kControls) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(show(place_of(c.number)), show(c.place));
        if (c.text) {
            EXPECT_EQ(text_of(c.number), std::wstring(c.text));
        }
    }
}

TEST_F(Designer, PathFieldIsReadOnly) {
    HWND path = handle(id::a5);
    EXPECT_TRUE(GetWindowLongW(path, GWL_STYLE) & ES_READONLY);
    tk::set_text(designer::kWindow, id::a5, L"C:\\x\\a1.jpg");
    SetFocus(path);
    support::type_text(L"zz");
    EXPECT_EQ(text_of(id::a5), L"C:\\x\\a1.jpg");
}

}  // namespace
}  // namespace designer_test
