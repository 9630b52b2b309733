// In-process fixture for the designer tests: the toolkit builds the designer
// window in this process, so controls are reached by their numbers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "designer/controls.h"
#include "designer/designer.h"
#include "tests/windows/support.h"
#include "toolkit/picture/image.h"
#include "toolkit/toolkit.h"

namespace designer_test {

namespace id = designer::id;

inline HWND handle(tk::ControlNumber n) { return tk::native_handle(designer::kWindow, n); }

// A control's rectangle in its parent's client coordinates.
inline RECT place_of(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
inline RECT place_of(tk::ControlNumber n) { return place_of(handle(n)); }

inline RECT screen_rect(tk::ControlNumber n) {
    RECT r{};
    GetWindowRect(handle(n), &r);
    return r;
}

inline int width_of(tk::ControlNumber n) {
    const RECT r = screen_rect(n);
    return r.right - r.left;
}

inline std::wstring text_of(tk::ControlNumber n) { return tk::text(designer::kWindow, n); }

// The template picture as decoded, top-down, as 0xRRGGBB.
inline std::uint32_t pixel(const pic::Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + 3 * x;
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

inline std::uint32_t face_colour() {
    const COLORREF c = GetSysColor(COLOR_BTNFACE);
    return support::rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

class Designer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tk::initialise(); }

    void SetUp() override {
        window_ = tk::create_window(designer::window_layout());
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        support::flush_events(150);
    }
    void TearDown() override {
        tk::destroy_window(designer::kWindow);
        support::flush_events(30);
    }

    int current_page() const { return int(SendMessageW(handle(id::tabs), TCM_GETCURSEL, 0, 0)); }

    // Picks a page header with a real click, as a user would.
    void pick_page(int page) {
        HWND tabs = handle(id::tabs);
        RECT header{};
        ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(page), LPARAM(&header)));
        POINT p = support::client_to_screen(tabs, (header.left + header.right) / 2,
                                            (header.top + header.bottom) / 2);
        support::click(p.x, p.y);
        ASSERT_TRUE(support::wait_until([&] { return current_page() == page; }, 2000))
            << "page " << page << " did not become current";
        support::flush_events(80);
    }

    // What the screen shows in a control's rectangle.
    support::Pixels on_screen(tk::ControlNumber n) {
        support::flush_events(30);
        return support::capture_screen(screen_rect(n));
    }

    HWND window_ = nullptr;
};

}  // namespace designer_test
