// The real glimbo.exe driven as a user would: the gallery opened from its
// launcher tile, rows chosen with the mouse and the keyboard, and the
// clipboard read back from this, another, process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "tests/windows/gallery_fixture.h"
#include "tests/windows/support.h"

namespace {

using namespace gallery_fixture;

constexpr wchar_t kLauncherTitle[] = L"Glimbo-Orlun 1.1";
constexpr POINT kGalleryTile{112 + 50, 40 + 60};  // launcher's 图片框3

bool marker_on_clipboard() { return clipboard_checks::clipboard_text() == L"marker"; }

int clipboard_picture() { return which_picture(support::clipboard_bitmap()); }

class GalleryE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(clipboard_checks::put_text_on_clipboard(L"marker"));
        process_ = std::make_unique<support::Process>(support::glimbo_exe());
        launcher_ = support::wait_for_window(kLauncherTitle);
        ASSERT_NE(launcher_, nullptr) << "the launcher did not appear";
        support::flush_events(300);
        const POINT tile = support::client_to_screen(launcher_, kGalleryTile.x, kGalleryTile.y);
        support::click(tile.x, tile.y);
        gallery_ = support::wait_for_window(kTitle);
        ASSERT_NE(gallery_, nullptr) << "the gallery tile did not open the gallery";
        support::flush_events(300);
        list_ = child_at({kListRect.left + 10, kListRect.top + 10});
        box_ = child_at({kBoxRect.left + 10, kBoxRect.top + 10});
        ASSERT_NE(list_, gallery_);
        ASSERT_NE(box_, gallery_);
        row_height_ = int(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
        ASSERT_GT(row_height_, 0);
    }

    HWND child_at(POINT client) {
        return ChildWindowFromPointEx(gallery_, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    }
    // Rows 0..9 are in view while the list has not scrolled.
    void click_row(int k) {
        const POINT p = support::client_to_screen(list_, 20, k * row_height_ + row_height_ / 2);
        support::click(p.x, p.y);
    }
    bool clipboard_becomes(int k) {
        return support::wait_until([&] { return clipboard_picture() == k; }, 3000);
    }
    // Read from the screen, as a person sees it: Wine gives no pixels for a
    // DC of another process's child window.
    support::Pixels client_pixels() {
        RECT r{};
        GetClientRect(gallery_, &r);
        MapWindowPoints(gallery_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return support::capture_screen(r);
    }
    support::Pixels box_pixels() { return crop(client_pixels(), kBoxRect); }

    std::unique_ptr<support::Process> process_;
    HWND launcher_ = nullptr, gallery_ = nullptr, list_ = nullptr, box_ = nullptr;
    int row_height_ = 0;
};

TEST_F(GalleryE2E, OpensFromItsTileWithNothingChosen) {
    EXPECT_FALSE(IsWindowVisible(launcher_)) << "the launcher hides while the gallery is open";
    EXPECT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list_, LB_GETCOUNT, 0, 0), 30);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(gallery_, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, list_) << "the list has the keyboard focus from the start";
    EXPECT_EQ(box_shows(box_pixels(), empty_picture()), std::nullopt);
    EXPECT_TRUE(marker_on_clipboard()) << "opening must not touch the clipboard";
}

TEST_F(GalleryE2E, ClickingARowShowsItAndPutsItOnTheClipboard) {
    click_row(0);
    ASSERT_TRUE(clipboard_becomes(0));
    EXPECT_EQ(GetClipboardOwner(), launcher_) << "the hidden launcher owns the clipboard";
    EXPECT_EQ(box_shows(box_pixels(), frames(0).front()), std::nullopt);
    click_row(3);
    ASSERT_TRUE(clipboard_becomes(3)) << "choosing another row replaces the clipboard's picture";
    EXPECT_EQ(box_shows(box_pixels(), frames(3).front()), std::nullopt);
    EXPECT_FALSE(marker_on_clipboard());
}

TEST_F(GalleryE2E, DownArrowFromRow4To7LeavesPicture7) {
    click_row(4);
    ASSERT_TRUE(clipboard_becomes(4));
    for (int i = 0; i < 3; ++i) support::key(VK_DOWN);
    EXPECT_TRUE(clipboard_becomes(7));
    EXPECT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), 7);
    EXPECT_EQ(box_shows(box_pixels(), frames(7).front()), std::nullopt);
}

// Picture 2 (400 x 400) is cut at the box's right and bottom edges: the
// tiled background goes on right next to the box, not the picture.
TEST_F(GalleryE2E, ALargePictureIsCutAtTheBoxEdges) {
    click_row(2);
    ASSERT_TRUE(clipboard_becomes(2));
    support::flush_events(100);
    const support::Pixels client = client_pixels();
    ASSERT_GE(client.width, kBoxRect.right + 8);
    ASSERT_GE(client.height, kBoxRect.bottom + 8);
    EXPECT_EQ(box_shows(crop(client, kBoxRect), frames(2).front()), std::nullopt);

    const std::optional<pic::Image> tile = pic::decode_jpeg(pictures::tile_picture().bytes());
    ASSERT_TRUE(tile);
    const support::Pixels want = to_pixels(*tile);
    const support::Pixels& picture = frames(2).front();
    int tile_right = 0, tile_below = 0, picture_like = 0;
    for (int i = 0; i < 60; ++i) {
        const int rx = kBoxRect.right + 2, ry = kBoxRect.top + 4 * i;          // right of the box
        const int bx = kBoxRect.left + 4 * i, by = kBoxRect.bottom + 2;        // below it
        tile_right += support::near(client.at(rx, ry), want.at(rx % 358, ry % 334), 2);
        tile_below += support::near(client.at(bx, by), want.at(bx % 358, by % 334), 2);
        picture_like += client.at(rx, ry) == picture.at(rx - kBoxRect.left, ry - kBoxRect.top);
    }
    EXPECT_EQ(tile_right, 60);
    EXPECT_EQ(tile_below, 60);
    EXPECT_LT(picture_like, 10);
}

TEST_F(GalleryE2E, TheAnimatedRowPlaysWhileTheClipboardHoldsOneFrame) {
    click_row(6);
    ASSERT_TRUE(clipboard_becomes(6));
    const RECT frame_area{0, 0, 61, 66};
    std::set<std::vector<std::uint32_t>> seen;
    for (int i = 0; i < 12 && seen.size() < 2; ++i) {
        support::flush_events(45);
        const support::Pixels shot = crop(box_pixels(), frame_area);
        EXPECT_TRUE(same(shot, frames(6)[0]) || same(shot, frames(6)[1])) << "capture " << i;
        seen.insert(shot.argb);
    }
    EXPECT_EQ(seen.size(), 2u) << "two captures of the box must differ";
    EXPECT_TRUE(same(support::clipboard_bitmap(), frames(6).front()));
}

TEST_F(GalleryE2E, EscClosesItAndTheLastPictureOutlivesTheProgram) {
    click_row(9);
    ASSERT_TRUE(clipboard_becomes(9));
    support::key(VK_ESCAPE);
    ASSERT_TRUE(support::wait_for_gone(gallery_));
    ASSERT_TRUE(support::wait_until([&] { return IsWindowVisible(launcher_) != 0; }));
    SetForegroundWindow(launcher_);
    support::flush_events(100);
    support::key(VK_ESCAPE);
    ASSERT_EQ(process_->wait(5000), 0u);
    support::flush_events(200);
    EXPECT_EQ(clipboard_picture(), 9) << "the picture must still be there after the program ended";
}

struct CloseCase {
    const char* name;
    void (*close)(HWND gallery);
};
class GalleryCloses : public GalleryE2E, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(GalleryCloses, AndTheLauncherComesBack) {
    GetParam().close(gallery_);
    ASSERT_TRUE(support::wait_for_gone(gallery_));
    EXPECT_TRUE(support::wait_until([&] { return IsWindowVisible(launcher_) != 0; }));
    EXPECT_EQ(process_->wait(0), DWORD(STILL_ACTIVE));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, GalleryCloses,
    ::testing::Values(CloseCase{"EscFromTheList", [](HWND) { support::key(VK_ESCAPE); }},
                      CloseCase{"AltF4", [](HWND) { support::key_combo(VK_MENU, VK_F4); }},
                      CloseCase{"CloseButton",
                                [](HWND w) {
                                    RECT r{};
                                    GetWindowRect(w, &r);
                                    const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
                                    const int button = GetSystemMetrics(SM_CXSIZE);
                                    support::click(r.right - frame - button / 2 - 1,
                                                   r.top + frame + GetSystemMetrics(SM_CYCAPTION) / 2);
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
