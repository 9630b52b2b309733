// The real glimbo.exe driven as a user would: real mouse and keyboard input,
// windows found by title, pixels read back from the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "pictures/catalogue.h"
#include "tests/windows/support.h"
#include "toolkit/picture/image.h"

namespace {

constexpr wchar_t kLauncherTitle[] = L"Glimbo-Orlun 1.1";
constexpr wchar_t kAboutTitle[] = L"关于Orlun";

// Client-area places of the launcher's controls.
constexpr POINT kTile1{8 + 50, 40 + 60};    // 图片框1: designer
constexpr POINT kTile3{216 + 50, 40 + 60};  // 图片框2: about
constexpr POINT kTile4{320 + 52, 40 + 60};  // 图片框4: does nothing
constexpr POINT kLabel1{8 + 50, 161 + 12};  // 标签1

class Launcher : public ::testing::Test {
protected:
    void SetUp() override {
        process_ = std::make_unique<support::Process>(support::glimbo_exe());
        launcher_ = support::wait_for_window(kLauncherTitle);
        ASSERT_NE(launcher_, nullptr) << "the launcher did not appear";
        support::flush_events(300);
    }

    POINT at(POINT client) const { return support::client_to_screen(launcher_, client.x, client.y); }
    void press(POINT client) { POINT p = at(client); support::mouse_down(p.x, p.y); }
    void release(POINT client) { POINT p = at(client); support::mouse_up(p.x, p.y); }
    void click(POINT client) { POINT p = at(client); support::click(p.x, p.y); }

    HWND about_window(int timeout_ms = 3000) { return support::wait_for_window(kAboutTitle, timeout_ms); }

    void close_about_with_esc(HWND about) {
        SetForegroundWindow(about);
        support::key(VK_ESCAPE);
        ASSERT_TRUE(support::wait_for_gone(about));
        ASSERT_TRUE(support::wait_until([&] { return IsWindowVisible(launcher_) != 0; }));
    }

    std::unique_ptr<support::Process> process_;
    HWND launcher_ = nullptr;
};

TEST_F(Launcher, IsTitledSizedAndCentredOnTheScreen) {
    RECT r{};
    GetWindowRect(launcher_, &r);
    EXPECT_EQ(r.right - r.left, 469);
    EXPECT_EQ(r.bottom - r.top, 236);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 469) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 236) / 2);
    LONG style = GetWindowLongW(launcher_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(Launcher, ReleaseWithoutPressOpensNothing) {
    release(kTile3);
    EXPECT_EQ(about_window(800), nullptr);
    EXPECT_TRUE(IsWindowVisible(launcher_));
}

TEST_F(Launcher, TheReleaseDecidesWhichWindowOpens) {
    press(kTile1);
    POINT p = at(kTile3);
    support::mouse_move(p.x, p.y);
    release(kTile3);
    HWND about = about_window();
    ASSERT_NE(about, nullptr) << "press on tile 1 and release on tile 3 must open the about window";
    EXPECT_FALSE(IsWindowVisible(launcher_)) << "the launcher hides while a window is open";
    close_about_with_esc(about);
}

TEST_F(Launcher, AReleaseElsewhereKeepsTheFlagForALaterRelease) {
    press(kLabel1);  // labels never touch the flag
    release(kLabel1);
    EXPECT_EQ(about_window(500), nullptr);
    press(kTile3);
    release(kTile4);  // tile 4 is inert: the flag stays set
    EXPECT_EQ(about_window(500), nullptr);
    release(kTile3);  // no press here, yet the earlier one still counts
    HWND about = about_window();
    ASSERT_NE(about, nullptr);
    close_about_with_esc(about);
}

TEST_F(Launcher, DoubleClickOpensOnce) {
    POINT p = at(kTile3);
    support::double_click(p.x, p.y);
    HWND about = about_window();
    ASSERT_NE(about, nullptr);
    support::flush_events(500);
    int count = 0;
    EnumWindows([](HWND w, LPARAM n) -> BOOL {
        wchar_t title[64] = {};
        GetWindowTextW(w, title, 64);
        if (IsWindowVisible(w) && std::wstring(title) == kAboutTitle) ++*reinterpret_cast<int*>(n);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 1);
    close_about_with_esc(about);
    EXPECT_EQ(about_window(500), nullptr) << "the second press must not open it again";
}

TEST_F(Launcher, ComesBackWhereItWasAfterTheAboutWindowCloses) {
    RECT before{};
    GetWindowRect(launcher_, &before);
    click(kTile3);
    HWND about = about_window();
    ASSERT_NE(about, nullptr);
    RECT r{};
    GetWindowRect(about, &r);
    EXPECT_EQ(r.right - r.left, 430);
    EXPECT_EQ(r.bottom - r.top, 306);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 430) / 2);
    close_about_with_esc(about);
    RECT after{};
    GetWindowRect(launcher_, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(process_->wait(0), DWORD(STILL_ACTIVE)) << "closing the about window keeps the program running";
}

TEST_F(Launcher, ShowsItsLayoutOnScreen) {
    support::Pixels shot = support::capture_client(launcher_);
    ASSERT_FALSE(shot.empty());
    const std::uint32_t grey = support::rgb(96, 96, 96);
    // Label backgrounds, away from their centred text.
    for (POINT p : {POINT{10, 10}, POINT{446, 30}, POINT{10, 163}, POINT{114, 183}, POINT{322, 162}}) {
        EXPECT_TRUE(support::near(shot.at(p.x, p.y), grey, 4)) << p.x << "," << p.y;
    }
    // 标签5's text is red.
    int red = 0;
    for (int y = 160; y < 184; ++y)
        for (int x = 320; x < 424; ++x) {
            std::uint32_t c = shot.at(x, y);
            red += ((c >> 16) & 0xFF) > 180 && ((c >> 8) & 0xFF) < 90 && (c & 0xFF) < 90;
        }
    EXPECT_GT(red, 20);
    // Around the tiles the backdrop shows, stretched over the client area;
    // most sample points match it (a confetti edge may blur one).
    auto backdrop = pic::decode_jpeg(pictures::backdrop_picture().bytes());
    ASSERT_TRUE(backdrop);
    int matches = 0;
    const POINT samples[] = {{440, 100}, {4, 100}, {200, 36}, {60, 192}, {300, 195}, {450, 60}};
    for (POINT p : samples) {
        int bx = p.x * backdrop->width / shot.width, by = p.y * backdrop->height / shot.height;
        const std::uint8_t* px = backdrop->row(by) + 3 * bx;
        matches += support::near(shot.at(p.x, p.y), support::rgb(px[2], px[1], px[0]), 40);
    }
    EXPECT_GE(matches, 5) << "the backdrop picture should show around the tiles";
}

TEST_F(Launcher, AboutWindowShowsItsLabels) {
    click(kTile3);
    HWND about = about_window();
    ASSERT_NE(about, nullptr);
    support::flush_events(300);
    support::Pixels shot = support::capture_client(about);
    ASSERT_FALSE(shot.empty());
    // The slogan label's white background above its one line of text.
    EXPECT_TRUE(support::near(shot.at(20, 34), support::rgb(255, 255, 255), 4));
    EXPECT_TRUE(support::near(shot.at(320, 78), support::rgb(255, 255, 255), 4));
    // Red text in it, and none in the lower half: no second line is drawn.
    int red_upper = 0, red_lower = 0;
    for (int y = 32; y < 80; ++y)
        for (int x = 16; x < 328; ++x) {
            std::uint32_t c = shot.at(x, y);
            bool red = ((c >> 16) & 0xFF) > 180 && ((c >> 8) & 0xFF) < 120 && (c & 0xFF) < 120;
            (y < 62 ? red_upper : red_lower) += red;
        }
    EXPECT_GT(red_upper, 50);
    EXPECT_EQ(red_lower, 0);
    close_about_with_esc(about);
}

struct CloseCase {
    const char* name;
    void (*close)(HWND launcher);
};

class LauncherCloses : public Launcher, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(LauncherCloses, EndsTheProcessWithExitCodeZero) {
    SetForegroundWindow(launcher_);
    support::flush_events(100);
    GetParam().close(launcher_);
    EXPECT_EQ(process_->wait(5000), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LauncherCloses,
    ::testing::Values(
        CloseCase{"Esc", [](HWND) { support::key(VK_ESCAPE); }},
        CloseCase{"AltF4", [](HWND) { support::key_combo(VK_MENU, VK_F4); }},
        CloseCase{"CloseButton",
                  [](HWND w) {
                      // Find the close button by asking the window itself.
                      RECT r{};
                      GetWindowRect(w, &r);
                      int y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
                      int x = r.right - 1;
                      while (x > r.right - 80 &&
                             SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE)
                          --x;
                      ASSERT_GT(x, r.right - 80) << "no close button found";
                      support::click(x - 4, y);
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
