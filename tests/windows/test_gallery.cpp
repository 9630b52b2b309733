// The gallery window in-process: built from its layout beside the real
// launcher (the clipboard owner), driven with messages to its list box.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "gallery/gallery.h"
#include "tests/windows/gallery_fixture.h"
#include "tests/windows/resources.h"
#include "tests/windows/support.h"
#include "toolkit/toolkit.h"

namespace {

using namespace gallery_fixture;

// One hand-over seen from the clipboard owner: EmptyClipboard tells the
// previous owner (the launcher) that its content goes. At that moment the
// clipboard still holds the previous picture, and the new one must already
// be in the picture box.
struct HandOver {
    int caret = -2;            // the row being handed over
    int previous = -2;         // gallery picture the clipboard held until now
    bool box_ready = false;    // the box showed the row's picture already
};
std::vector<HandOver> g_hand_overs;

LRESULT CALLBACK owner_spy(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (message == WM_DESTROYCLIPBOARD && tk::is_open(gallery::kWindow)) {
        HandOver h;
        h.caret = tk::caret_index(gallery::kWindow, kList);
        if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)))
            h.previous = which_picture(support::from_bitmap(bitmap));
        else
            h.previous = -1;
        HWND box = tk::native_handle(gallery::kWindow, kPictureBox);
        UpdateWindow(box);
        if (h.caret >= 0 && h.caret < 30) {
            const support::Pixels shown = support::capture_client(box);
            for (const auto& frame : frames(h.caret)) h.box_ready |= !box_shows(shown, frame);
        }
        g_hand_overs.push_back(h);
    }
    return DefSubclassProc(window, message, w, l);
}

std::wstring utf8_to_wide(const std::string& s) {
    if (s.empty()) return {};
    std::wstring w(std::size_t(MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), int(w.size()));
    return w;
}

// The captions drawn into the gallery pictures, one a line, from the source tree.
std::vector<std::wstring> drawn_captions() {
    std::string root = __FILE__;
    root.resize(root.size() - std::string("tests/windows/test_gallery.cpp").size());
    if (!root.empty() && root[0] == '/') root = "Z:" + root;  // Wine maps Z: to /
    std::ifstream file(root + "pictures/assets/captions.txt", std::ios::binary);
    std::vector<std::wstring> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(utf8_to_wide(line));
    }
    return lines;
}

bool marker_on_clipboard() { return clipboard_checks::clipboard_text() == L"marker"; }

class Gallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        launcher_ = start_launcher();
        SetWindowSubclass(launcher_, owner_spy, 1, 0);
    }
    void SetUp() override {
        ASSERT_NE(launcher_, nullptr);
        ASSERT_TRUE(clipboard_checks::put_text_on_clipboard(L"marker", launcher_));
        window_ = tk::create_window(gallery::window_layout());
        ASSERT_NE(window_, nullptr);
        list_ = tk::native_handle(gallery::kWindow, kList);
        box_ = tk::native_handle(gallery::kWindow, kPictureBox);
        ASSERT_NE(list_, nullptr);
        ASSERT_NE(box_, nullptr);
        support::flush_events(50);
        g_hand_overs.clear();
    }
    void TearDown() override {
        if (tk::is_open(gallery::kWindow)) tk::destroy_window(gallery::kWindow);
        support::flush_events(20);
    }

    // A mouse click on row k, scrolled into view first, as the list sees it.
    void click_row(int k) {
        SendMessageW(list_, LB_SETTOPINDEX, WPARAM(k), 0);
        RECT r{};
        SendMessageW(list_, LB_GETITEMRECT, WPARAM(k), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(list_, WM_LBUTTONUP, 0, at);
        support::flush_events(30);
    }
    void key(WORD vk) {
        list_key(vk);
        support::flush_events(30);
    }
    support::Pixels box_pixels() {
        UpdateWindow(box_);
        return support::capture_client(box_);
    }
    int clipboard_picture() { return which_picture(support::clipboard_bitmap()); }

    static inline HWND launcher_ = nullptr;
    HWND window_ = nullptr, list_ = nullptr, box_ = nullptr;
};

TEST_F(Gallery, OpensLaidOutWithNothingChosen) {
    RECT outer{};
    GetWindowRect(window_, &outer);
    EXPECT_EQ(outer.right - outer.left, 558);
    EXPECT_EQ(outer.bottom - outer.top, 410);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 558) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 410) / 2);
    wchar_t title[64] = {};
    GetWindowTextW(window_, title, 64);
    EXPECT_STREQ(title, kTitle);

    auto client_rect = [&](HWND child) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT box = client_rect(box_), list = client_rect(list_);
    EXPECT_TRUE(EqualRect(&kBoxRect, &box));
    EXPECT_TRUE(EqualRect(&kListRect, &list));

    const LONG style = GetWindowLongW(list_, GWL_STYLE);
    EXPECT_FALSE(style & LBS_SORT);
    EXPECT_FALSE(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    EXPECT_TRUE(style & LBS_NOINTEGRALHEIGHT);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_TRUE(GetWindowLongW(list_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetWindowLongW(box_, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE), 0);
    EXPECT_FALSE(GetWindowLongW(box_, GWL_STYLE) & WS_BORDER);

    // Rows are one pixel taller than the default GUI font's.
    HDC dc = GetDC(list_);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(list_, dc);
    EXPECT_EQ(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0), tm.tmHeight + 1);

    EXPECT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(GetFocus(), list_);
    EXPECT_FALSE(box_shows(box_pixels(), empty_picture())) << "the box starts empty";
    EXPECT_TRUE(marker_on_clipboard()) << "opening must not touch the clipboard";
    EXPECT_TRUE(g_hand_overs.empty());
}

TEST_F(Gallery, ListsTheCaptionsDrawnIntoThePictures) {
    const std::vector<std::wstring> drawn = drawn_captions();
    ASSERT_EQ(drawn.size(), 30u) << "pictures/assets/captions.txt";
    ASSERT_EQ(SendMessageW(list_, LB_GETCOUNT, 0, 0), 30);
    for (int k = 0; k < 30; ++k) {
        wchar_t text[128] = {};
        ASSERT_LT(SendMessageW(list_, LB_GETTEXTLEN, k, 0), 128);
        SendMessageW(list_, LB_GETTEXT, k, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::wstring(text), drawn[std::size_t(k)]) << "row " << k;
        const std::wstring row = text;
        const bool full_width_commas = k == 2 || k == 10 || k == 18 || k == 23;
        EXPECT_EQ(row.find(L'，') != std::wstring::npos, full_width_commas) << "row " << k;
        EXPECT_EQ(row.find(L','), std::wstring::npos) << "row " << k;
        const auto spaces = std::count(row.begin(), row.end(), L' ');
        EXPECT_EQ(spaces, k == 11 || k == 12 ? 1 : 0) << "row " << k;
    }
}

TEST_F(Gallery, TilesItsBackgroundFromTheTopLeft) {
    const std::optional<pic::Image> tile = pic::decode_jpeg(pictures::tile_picture().bytes());
    ASSERT_TRUE(tile);
    const support::Pixels want = to_pixels(*tile);
    const support::Pixels client = support::capture_client(window_);
    ASSERT_GE(client.width, 400);
    // Points clear of the controls, in the first tile and in the second one across.
    for (POINT p : {POINT{5, 5}, POINT{200, 300}, POINT{358 + 3, 10}, POINT{180, 334 + 3}, POINT{358 + 50, 334 + 20}}) {
        if (p.x >= client.width || p.y >= client.height) continue;
        EXPECT_TRUE(support::near(client.at(p.x, p.y), want.at(p.x % 358, p.y % 334), 2))
            << p.x << "," << p.y;
    }
}

TEST_F(Gallery, EachRowShowsItsPictureAndThenCopiesIt) {
    for (int k = 0; k < 30; ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        g_hand_overs.clear();
        click_row(k);
        ASSERT_EQ(tk::caret_index(gallery::kWindow, kList), k);
        const support::Pixels shown = box_pixels();
        bool matches = false;
        std::string mismatch;
        for (const auto& frame : frames(k)) {
            auto m = box_shows(shown, frame);
            matches |= !m;
            if (m) mismatch = *m;
        }
        EXPECT_TRUE(matches) << mismatch;
        EXPECT_EQ(clipboard_picture(), k);
        ASSERT_EQ(g_hand_overs.size(), 1u) << "one hand-over a selection";
        EXPECT_TRUE(g_hand_overs[0].box_ready) << "the picture must be shown before it is copied";
        EXPECT_EQ(g_hand_overs[0].previous, k == 0 ? -1 : k - 1);
    }
}

TEST_F(Gallery, ArrowKeysCopyEveryRowPassedThrough) {
    click_row(4);
    g_hand_overs.clear();
    for (int i = 0; i < 3; ++i) key(VK_DOWN);
    ASSERT_EQ(g_hand_overs.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g_hand_overs[std::size_t(i)].caret, 5 + i);
        EXPECT_EQ(g_hand_overs[std::size_t(i)].previous, 4 + i);
    }
    EXPECT_EQ(clipboard_picture(), 7);
    EXPECT_FALSE(box_shows(box_pixels(), frames(7).front()));
}

TEST_F(Gallery, ARowBeyondTheCatalogueChangesNothing) {
    click_row(29);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"extra"));
    g_hand_overs.clear();
    key(VK_END);
    ASSERT_EQ(tk::caret_index(gallery::kWindow, kList), 30);
    EXPECT_TRUE(g_hand_overs.empty());
    EXPECT_EQ(clipboard_picture(), 29);
    EXPECT_FALSE(box_shows(box_pixels(), frames(29).front()));
}

TEST_F(Gallery, TheAnimatedRowPlaysAndItsThreadEndsWhenLeft) {
    click_row(5);
    support::flush_events(50);
    const long baseline = resources::threads();
    click_row(6);
    EXPECT_TRUE(support::wait_until([&] { return resources::threads() > baseline; }, 1000))
        << "row 6 plays on a drawing thread";
    ASSERT_EQ(frames(6).size(), 2u);
    bool seen[2] = {false, false};
    support::wait_until([&] {
        const support::Pixels shown = box_pixels();
        for (int f = 0; f < 2; ++f) seen[f] |= !box_shows(shown, frames(6)[std::size_t(f)]);
        return seen[0] && seen[1];
    }, 2000);
    EXPECT_TRUE(seen[0] && seen[1]) << "both frames must show in turn";
    EXPECT_TRUE(same(support::clipboard_bitmap(), frames(6).front())) << "the clipboard holds the first frame";

    click_row(7);
    EXPECT_EQ(resources::threads(), baseline) << "the drawing thread is gone once the picture changes";
}

TEST_F(Gallery, EscClosesItAlsoFromTheList) {
    ASSERT_EQ(GetFocus(), list_);
    click_row(3);
    key(VK_ESCAPE);
    EXPECT_TRUE(support::wait_until([] { return !tk::is_open(gallery::kWindow); }, 2000));
}

}  // namespace
